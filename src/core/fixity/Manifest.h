#pragma once

#include "archive/SavedRecords.h"

#include <QByteArray>
#include <QList>
#include <QString>

// "SHA256SUMS" in each folder recordings are saved into: one line per
// recording Kelvado saved there with a sum, in the form coreutils' sha256sum
// writes, so `sha256sum -c SHA256SUMS` checks the folder with no Kelvado
// installed. Nothing else in the folder is ever listed.
namespace Manifest {

QString fileName();

// One line as sha256sum writes it: a name holding "\\", LF or CR has them
// escaped and the line starts with "\\".
QByteArray line(const QByteArray &hex, const QString &name);

// The lines for the saved recordings with a sum whose file lies directly in
// `folder` (absolute), one per file, in the order of their names.
QByteArray text(const QList<SavedRecording> &saved, const QString &folder);

// Rewrites the folder's manifest whole from the record of saved recordings,
// so a crash leaves the old one or the new one. `folder` empty: the working folder.
bool write(const QString &folder, QString *error = nullptr);

} // namespace Manifest
