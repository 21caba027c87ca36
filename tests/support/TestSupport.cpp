#include "TestSupport.h"

#include "common/UserMessage.h"

#include <QFile>
#include <QFileInfo>

#include <sys/mount.h>
#include <sys/stat.h>

ScratchDir::ScratchDir()
    : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
}

ScratchDir::~ScratchDir()
{
    QDir::setCurrent(m_previous);
}

MessageCapture::MessageCapture()
{
    setUserMessageSink([this](const QString &text) { messages.append(text); });
    setUserQuestionSink([this](const QString &text) {
        questions.append(text);
        return answer;
    });
}

MessageCapture::~MessageCapture()
{
    setUserMessageSink({});
    setUserQuestionSink({});
}

OtherDisk::OtherDisk(qint64 bytes)
{
    const QByteArray options = "size=" + QByteArray::number(bytes);
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) == 0;
    struct stat here, shm;
    if (m_mounted)
        m_path = m_dir.path();
    else if (::stat(".", &here) == 0 && ::stat("/dev/shm", &shm) == 0 && here.st_dev != shm.st_dev)
        m_path = QDir("/dev/shm").filePath(QFileInfo(m_dir.path()).fileName());
    if (!m_mounted && !m_path.isEmpty() && !QDir().mkpath(m_path))
        m_path.clear();
}

OtherDisk::~OtherDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    else if (!m_path.isEmpty())
        QDir(m_path).removeRecursively();
}

void writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QByteArray readFile(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList workingDirEntries()
{
    return QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                     QDir::Name);
}

