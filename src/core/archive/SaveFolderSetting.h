#pragma once

#include <QString>

// Where saved recordings go, kept in its own small file in the working folder
// so the connection settings file stays as it always was. No file means the
// working folder, as before the choice existed.
QString saveFolderFileName();

// The chosen folder; empty for the working folder or when nothing was chosen.
QString readSaveFolder();

// Keeps the choice for the next run. Choosing the working folder removes the file.
bool writeSaveFolder(const QString &folder, QString *error = nullptr);

// The folder as the session takes it: empty when it is the working folder itself.
QString effectiveSaveFolder(const QString &chosen);
