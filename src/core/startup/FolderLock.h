#pragma once

#include <QString>

// One Kelvado per working folder: the window and every command hold this lock
// on the folder for as long as they run. It is a lock on the folder itself
// (flock on a descriptor of it), so no file is made, and the kernel lets it
// go when the process ends however it ends. The descriptor is closed on exec:
// the tools never hold it.
class FolderLock
{
public:
    enum class State {
        Held,      // this process works in the folder alone
        Busy,      // another Kelvado works there
        NoLocking, // the file system keeps no locks (some network shares): not held
        Failed,    // the folder could not be opened
    };

    // Takes the lock on the folder ("" for the current one) at once, never waiting.
    explicit FolderLock(const QString &folder = {});
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    State state() const { return m_state; }
    // One line telling why the folder is not held; empty when it is.
    QString message() const;

private:
    int m_fd = -1;
    State m_state = State::Failed;
    QString m_folder; // absolute, for the messages
    QString m_error;
};
