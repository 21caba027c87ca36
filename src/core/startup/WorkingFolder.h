#pragma once

#include <QByteArray>
#include <QString>

// Makes `folder` the working directory, first creating it when `create` is set.
// Returns one line for standard error when the folder cannot be used, else empty.
QString enterWorkingFolder(const QByteArray &folder, bool create);

// The working folder as the window names it: under the home folder it starts with "~".
QString shortFolderName(const QString &folder, const QString &home);
