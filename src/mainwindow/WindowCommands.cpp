// Placeholder reactions, replaced as the window commands are built.
#include "Form1.h"

#include <QCloseEvent>

void Form1::Quit_Click() {}
void Form1::LogView_Click() {}
void Form1::GetPath_Click() {}
void Form1::mnuAbout_Click() {}
void Form1::setProgramExit(std::function<void()>) {}
void Form1::closeEvent(QCloseEvent *event) { QMainWindow::closeEvent(event); }
