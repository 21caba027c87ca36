#pragma once

#include <QString>

// What became of a folder's SHA256SUMS after a recording was saved there.
struct ManifestUpdate
{
    QString keptAs; // a list there that Kelvado did not write, now under this name
    QString error;  // why the folder's list was not written; empty when it was

    // "FOLDER held a SHA256SUMS Kelvado did not write; it is kept as SHA256SUMS.kept-1."
    // or nothing, when no list was kept aside.
    QString keptText(const QString &folder) const;
};

// Rewrites the folder's SHA256SUMS from the record of saved recordings. A list
// already there holding any line Kelvado would not write (another program's,
// or one the user made) is someone's work: it is first moved to
// "SHA256SUMS.kept-N", the first N free, and is never written over. `folder`
// empty: the working folder.
ManifestUpdate updateManifest(const QString &folder);
