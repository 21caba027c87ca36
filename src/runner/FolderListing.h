#pragma once

#include <QString>
#include <QStringList>

// The entries of a folder whose names match a name without regard to letter
// case, in name order. The folder is listed once and the listing is reused
// until the folder changes (its modification time moves), so looking up many
// names costs one listing, even in a folder of 100,000 files.
QStringList entriesMatchingIgnoringCase(const QString &folder, const QString &name);
