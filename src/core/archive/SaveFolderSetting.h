#pragma once

#include <QString>

// Where saved recordings go, kept in its own small file in the working folder
// so the connection settings file stays as it always was. No file means the
// working folder, as before the choice existed.
QString saveFolderFileName();

// The chosen folder; empty for the working folder or when nothing was chosen.
QString readSaveFolder();

// Why a folder cannot be kept as the save folder; empty when it can. A line
// break cannot be kept in the one line the choice is remembered as.
QString unusableSaveFolder(const QString &folder);

// Keeps the choice for the next run. Choosing the working folder removes the
// file. A link in the file's place is refused, not followed nor removed.
bool writeSaveFolder(const QString &folder, QString *error = nullptr);

// The folder as the session takes it: empty when it is the working folder itself.
QString effectiveSaveFolder(const QString &chosen);
