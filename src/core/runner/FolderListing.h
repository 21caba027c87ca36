#pragma once

#include <QString>
#include <QStringList>

// The entries of a folder whose names match a name without regard to letter
// case, in name order. The working folder is listed once and then kept up to
// date from the kernel's notes of what was created, removed or renamed in it,
// so looking up many names in a folder of 100,000 files costs one listing.
// Any other folder, or one that cannot be watched, is read anew each time.
QStringList entriesMatchingIgnoringCase(const QString &folder, const QString &name);
