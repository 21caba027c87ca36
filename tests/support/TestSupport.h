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

// Records every message meant for the user instead of showing a dialog.
class MessageCapture
{
public:
    MessageCapture();
    ~MessageCapture();
    QStringList messages;
};

void writeFile(const QString &name, const QByteArray &bytes);
QByteArray readFile(const QString &name);
// Names in the working directory, sorted.
QStringList workingDirEntries();
