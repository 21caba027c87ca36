#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Makes a fresh temporary folder the working directory for its lifetime.
class ScratchDir
{
public:
    ScratchDir();
    ~ScratchDir();
    QString path() const { return m_dir.path(); }
    bool isValid() const { return m_dir.isValid(); }

private:
    QString m_previous;
    QTemporaryDir m_dir;
};

// Records every message and question meant for the user instead of showing a dialog.
class MessageCapture
{
public:
    MessageCapture();
    ~MessageCapture();
    QStringList messages;
    QStringList questions;
    bool answer = false;
};

// A file system of its own for a test, so moves into it cross file systems:
// a tmpfs of the given size when this user may mount one, else a folder in
// /dev/shm when that is another file system than the working folder's; else
// path() is empty.
class OtherDisk
{
public:
    explicit OtherDisk(qint64 bytes);
    ~OtherDisk();
    QString path() const { return m_path; }
    bool sized() const { return m_mounted; } // false: /dev/shm, without the size

private:
    QTemporaryDir m_dir;
    QString m_path;
    bool m_mounted = false;
};

void writeFile(const QString &name, const QByteArray &bytes);
QByteArray readFile(const QString &name);
// Names in the working directory, sorted.
QStringList workingDirEntries();
