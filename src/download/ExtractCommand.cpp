// Placeholder reaction, replaced as the download session is built.
#include "mainwindow/Form1.h"

void Form1::Extract_Click() {}
