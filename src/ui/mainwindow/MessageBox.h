#pragma once

#include <QString>

class QWidget;

// The program's message box: title "Kelvado", one OK button, no icon, the
// text shown as plain text. It belongs to the window that raised it (the
// active one, else the main window when shown): centred over it and modal to
// it, so that window is active again, with its focus, once the box closes.
void showMessageBox(const QString &text);

// The same box asking yes or no; No is the default.
bool showQuestionBox(const QString &text);

// Routes every message and question to the user through showMessageBox; the main window
// is the owner of messages raised while none of the program's windows is active.
void installMessageBoxSink(QWidget *mainWindow);
