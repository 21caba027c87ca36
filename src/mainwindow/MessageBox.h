#pragma once

#include <QString>

// The program's message box: title "Kelvado", one OK button, no icon,
// modal to the application.
void showMessageBox(const QString &text);

// Routes every message to the user through showMessageBox.
void installMessageBoxSink();
