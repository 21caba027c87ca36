#include "TestSupport.h"

#include "common/UserMessage.h"

#include <QFile>

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
}

MessageCapture::~MessageCapture()
{
    setUserMessageSink({});
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

