#pragma once

#include "common/ByteCount.h"

#include <QString>

// File names in the working directory are matched without regard to letter
// case: the exact name when present, else the first directory entry whose name
// matches ignoring case, else the name unchanged. Every existence test, read,
// delete and free-name check goes through here.
QString resolveFileName(const QString &name);

// True when the name is a file (not a folder) that can be opened for reading now.
bool FileExists(const QString &name);

// The current size of a file, even one another program is writing; needs no read
// access. 0 when the file does not exist or is not a regular file.
ByteCount BigFileLen(const QString &name);

// Deletes the file the name resolves to. False (with the reason) when it is
// there but cannot be removed; true when it is gone.
bool deleteFile(const QString &name, QString *error = nullptr);

// Renames a file without ever replacing one: fails when the new name, in any
// letter case, already exists.
bool renameNoReplace(const QString &from, const QString &to, QString *error = nullptr);

// The same for two paths taken as they are: 0, or the system's error number
// (EEXIST when the target is there; EXDEV when it is on another file system).
int renamePathNoReplace(const QString &from, const QString &to);

// A name that can safely be used as a file in the working directory:
// not empty, not "." or "..", no "/" and no NUL.
bool isPlainFileName(const QString &name);

// The recorder's file name as the tools write it: without the trailing blanks
// the guide's field may carry (the recorder's file system ignores them). Empty
// unless the rest is one plain name that a tool also cannot take for anything
// else: no "\\", no leading "-", no control character, double quote or blank.
QString usableRecorderName(const QString &guideField);

// Every entry of the working directory whose name matches ignoring letter case,
// the exact name first when present. One listing of the folder.
QStringList nameVariants(const QString &name);
