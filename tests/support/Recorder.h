#pragma once
// Shared by the session suites: the simulated recorder, and readers for the
// log and the files.

#include "RecordingContent.h"
#include "TestSupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace sessiontest {

struct Recording
{
    QString title;
    QString fileName;
    qint64 size = 0;
    QString date = QStringLiteral("12/05/2003");
    QString quality = QStringLiteral("Standard");
    QString time = QStringLiteral("20:00:00");
    int minutes = 60;
};

inline QByteArray recordingBytes(const QString &fileName, qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    recorder::recordingBytes(fileName.toStdString(), 0, bytes.data(), static_cast<std::size_t>(size));
    return bytes;
}

// The recorder's environment; the tools Kelvado starts inherit it.
class Recorder
{
public:
    Recorder() : m_path(qgetenv("PATH"))
    {
        clearEnvironment();
        qputenv("SIMREC_JOURNAL", journalPath().toLocal8Bit());
        qputenv("SIMREC_RATE", "0");
    }
    ~Recorder()
    {
        clearEnvironment();
        qputenv("PATH", m_path);
    }
    static void clearEnvironment()
    {
        for (const char *name : {"SIMREC_JOURNAL", "SIMREC_RATE", "SIMREC_FAULT", "SIMREC_FAULT_FILE",
                                 "SIMREC_CATALOG", "SIMREC_GUIDE_FILE"})
            qunsetenv(name);
    }

    void setCatalog(const QList<Recording> &recordings)
    {
        QByteArray text;
        for (const Recording &r : recordings) {
            text += QStringList{r.title, r.quality, r.date, r.time, r.fileName, QString::number(r.minutes),
                                QString::number(r.size)}
                        .join(u'\t')
                        .toUtf8()
                    + '\n';
        }
        const QString path = m_aux.filePath(QStringLiteral("catalog.tsv"));
        writeFile(path, text);
        qputenv("SIMREC_CATALOG", path.toLocal8Bit());
    }

    void setFault(const QByteArray &fault, const QString &onlyFile = {})
    {
        qputenv("SIMREC_FAULT", fault);
        if (onlyFile.isEmpty())
            qunsetenv("SIMREC_FAULT_FILE");
        else
            qputenv("SIMREC_FAULT_FILE", onlyFile.toLocal8Bit());
    }


    QString journalPath() const { return m_aux.filePath(QStringLiteral("journal.txt")); }
    QStringList journal() const
    {
        QFile file(journalPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    void clearJournal() { QFile::remove(journalPath()); }

private:
    QByteArray m_path;
    QTemporaryDir m_aux;
};

// The log's lines; fails the test when a line end is not CR LF.
inline QStringList logLines()
{
    const QByteArray bytes = readFile(QStringLiteral("Kelvado.LOG"));
    if (bytes.isEmpty())
        return {};
    [&] { QVERIFY2(bytes.endsWith("\r\n"), "the log does not end with CR LF"); }();
    QList<QByteArray> raw = bytes.split('\n');
    raw.removeLast();
    QStringList lines;
    for (const QByteArray &line : raw) {
        [&] { QVERIFY2(line.endsWith('\r') && line.count('\r') == 1, "a log line end is not CR LF"); }();
        lines << QString::fromUtf8(line.chopped(1));
    }
    return lines;
}

// The log from its first line on (skip: lines left out at its start), times and
// dates replaced by placeholders.
inline QStringList sessionLog(int skip = 0)
{
    static const QRegularExpression time(QStringLiteral("\\b\\d\\d:\\d\\d:\\d\\d\\b"));
    static const QRegularExpression date(QStringLiteral("\\b\\d\\d-\\d\\d-\\d\\d\\d\\d\\b"));
    QStringList lines = logLines().mid(skip);
    for (QString &line : lines)
        line.replace(time, QStringLiteral("hh:mm:ss")).replace(date, QStringLiteral("mm-dd-yyyy"));
    return lines;
}

inline QStringList sessionHeader()
{
    return {QStringLiteral("Kelvado 1.5 log for mm-dd-yyyy hh:mm:ss"), QStringLiteral("        ")};
}
inline QStringList started(const QString &saveName, const QString &delay)
{
    return {saveName + QStringLiteral("  Started: hh:mm:ss  Delay = ") + delay};
}
inline QStringList sessionEnd()
{
    return {QStringLiteral(" "), QStringLiteral("End of Download Session ")};
}
// One title's lines: started, then finished, or failed when there is a reason.
inline QStringList titleLog(const QString &saveName, const QString &delay, const QString &reason = {})
{
    return started(saveName, delay)
        << (reason.isEmpty() ? saveName + QStringLiteral(" Finished: hh:mm:ss")
                             : saveName + QStringLiteral(" Failed: hh:mm:ss  ") + reason)
        << QStringLiteral(" ");
}

inline QString failedLine(const QString &saveName, const QString &fileName, const QString &reason)
{
    return saveName + QStringLiteral(" (") + fileName + QStringLiteral("): ") + reason;
}
inline QString failureMessage(const QStringList &lines)
{
    return QStringLiteral("Not downloaded completely (the rows stay ticked; any partial file is kept in ")
        + QDir::toNativeSeparators(QDir::currentPath())
        + QStringLiteral(" under the recorder's name, given in brackets):\n") + lines.join(u'\n');
}
inline QString uncheckedMessage(const QStringList &lines)
{
    return QStringLiteral("Saved, but not checked against a size (the recorder's size could not be measured):\n")
        + lines.join(u'\n');
}
inline QString tolvane(const QString &fileName, const QString &delayNumber = {},
                       const QString &address = QStringLiteral("10.0.0.5"))
{
    QString line = QStringLiteral("Tolvane ") + address + QStringLiteral(" -e ") + fileName;
    if (!delayNumber.isEmpty())
        line += u' ' + delayNumber;
    return line;
}

} // namespace sessiontest
