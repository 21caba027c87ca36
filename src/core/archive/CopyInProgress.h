#pragma once

#include <QByteArray>
#include <QString>

// The copy of a recording being made in a save folder, before it takes its
// name. Where the file system allows, it has no name at all until then, so
// nothing is left of it however the program ends. Elsewhere (vfat, exFAT,
// network shares) it is ".kelvado-copy-PID@HOST-XXXXXX", locked while it is
// written and removed when a signal ends the program; a copy left by a run
// that was killed is removed by a later start (removeLeftoverCopies).
class CopyInProgress
{
public:
    explicit CopyInProgress(const QString &folder);
    ~CopyInProgress(); // removes the copy unless it was given its name
    CopyInProgress(const CopyInProgress &) = delete;
    CopyInProgress &operator=(const CopyInProgress &) = delete;

    // -1 when no copy could be made; error() is the system's reason.
    int handle() const { return m_fd; }
    int error() const { return m_error; }

    // Gives the copy its name in the folder, never replacing anything: 0, or
    // the system's error number (EEXIST when the name is taken).
    int giveName(const QString &name);

    // Tests: every copy is named, as on a file system without unnamed files.
    static void setUnnamedRefused(bool refused);

private:
    QString m_folder;
    QByteArray m_path; // empty while the copy has no name
    int m_fd = -1;
    int m_error = 0;
    bool m_named = false;
};

// Removes from the folder the named copies this program made in a run on this
// machine that is gone (killed, or cut off by a power failure), and nothing
// else. How many it removed.
int removeLeftoverCopies(const QString &folder);
