// Placeholder reactions, replaced as guide retrieval and tagging are built.
#include "mainwindow/Form1.h"

void Form1::GetGuide_Click() {}
void Form1::List1_Click() {}
void Form1::List1_ItemCheck(int) {}
