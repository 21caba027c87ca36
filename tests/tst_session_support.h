#pragma once
// Shared by the download-session suites: a simulated recorder with its catalog
// and journal kept outside the working directory, the main window driven through
// its controls, and readers for the log and the downloaded files.

#include "mainwindow/Form1.h"
#include "mainwindow/ScreenPointer.h"

#include "RecordingContent.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
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

// The bytes the simulated recorder sends for a recording, from its start.
inline QByteArray recordingBytes(const QString &fileName, qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    recorder::recordingBytes(fileName.toStdString(), 0, bytes.data(), static_cast<std::size_t>(size));
    return bytes;
}

// The recorder's own environment: catalog, rate, journal and faults. Kelvado
// reads none of it; the tools it starts inherit it.
class Recorder
{
public:
    Recorder()
        : m_path(qgetenv("PATH"))
    {
        qputenv("SIMREC_JOURNAL", journalPath().toLocal8Bit());
        qputenv("SIMREC_RATE", "0");
        qunsetenv("SIMREC_FAULT");
        qunsetenv("SIMREC_FAULT_FILE");
        qunsetenv("SIMREC_GUIDE_FILE");
    }
    ~Recorder()
    {
        for (const char *name : {"SIMREC_JOURNAL", "SIMREC_RATE", "SIMREC_FAULT", "SIMREC_FAULT_FILE",
                                 "SIMREC_CATALOG", "SIMREC_GUIDE_FILE"})
            qunsetenv(name);
        qputenv("PATH", m_path);
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
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(text), qint64(text.size()));
        file.close();
        qputenv("SIMREC_CATALOG", path.toLocal8Bit());
    }

    void setRate(qint64 bytesPerSecond) { qputenv("SIMREC_RATE", QByteArray::number(bytesPerSecond)); }

    void setFault(const QByteArray &fault, const QString &onlyFile = {})
    {
        qputenv("SIMREC_FAULT", fault);
        if (onlyFile.isEmpty())
            qunsetenv("SIMREC_FAULT_FILE");
        else
            qputenv("SIMREC_FAULT_FILE", onlyFile.toLocal8Bit());
    }

    // Leaves the tools off the search path.
    void hideTools() { qputenv("PATH", QByteArrayLiteral("/usr/bin:/bin")); }

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

// The window after start-up, with the address typed in: the delay is then
// "Default" and the check box ticked, as on a first run.
inline std::unique_ptr<Form1> startWindow(const QString &address = QStringLiteral("10.0.0.5"))
{
    auto w = std::make_unique<Form1>();
    w->Form_Load();
    w->show();
    QTest::keyClicks(w->IPAddress, address);
    return w;
}

inline void typeDelay(Form1 &w, const QString &delay)
{
    w.Text9->clear();
    QTest::keyClicks(w.Text9, delay);
}

// Fills the title table and the list as a guide would, each row unticked.
inline void fillTitles(Form1 &w, const QList<Recording> &recordings)
{
    for (int i = 0; i < recordings.size(); ++i) {
        w.Titles[i] = recordings[i].title;
        w.RecordDates[i] = recordings[i].date;
        w.FileNames[i] = recordings[i].fileName;
        auto *item = new QListWidgetItem(recordings[i].title + QStringLiteral("  ") + recordings[i].date);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        w.List1->addItem(item);
    }
    w.TitleCount = static_cast<short>(recordings.size());
}

inline void tick(Form1 &w, const QList<int> &rows, Qt::CheckState state = Qt::Checked)
{
    for (int row : rows)
        w.List1->item(row)->setCheckState(state);
}

inline QList<int> tickedRows(const Form1 &w)
{
    QList<int> rows;
    for (int row = 0; row < w.List1->count(); ++row) {
        if (w.List1->item(row)->checkState() == Qt::Checked)
            rows << row;
    }
    return rows;
}

// A click on a row's text: the list measures the ticked titles.
inline void clickList(Form1 &w, int row = 0)
{
    const QRect rect = w.List1->visualItemRect(w.List1->item(row));
    const QPoint at(std::min(rect.center().x(), w.List1->viewport()->width() / 2), rect.center().y());
    QTest::mouseClick(w.List1->viewport(), Qt::LeftButton, {}, at);
}

inline void pressExtract(Form1 &w)
{
    QTest::mouseClick(w.Extract, Qt::LeftButton);
}

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

// The log after its creation header, with every time and date replaced by a
// fixed placeholder so the lines can be compared exactly.
inline QStringList sessionLog()
{
    static const QRegularExpression time(QStringLiteral("\\b\\d\\d:\\d\\d:\\d\\d\\b"));
    static const QRegularExpression date(QStringLiteral("\\b\\d\\d-\\d\\d-\\d\\d\\d\\d\\b"));
    QStringList lines = logLines().mid(2);
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
inline QStringList finished(const QString &saveName)
{
    return {saveName + QStringLiteral(" Finished: hh:mm:ss"), QStringLiteral(" ")};
}
inline QStringList failed(const QString &saveName, const QString &reason)
{
    return {saveName + QStringLiteral(" Failed: hh:mm:ss  ") + reason, QStringLiteral(" ")};
}
inline QStringList sessionEnd()
{
    return {QStringLiteral(" "), QStringLiteral("End of Download Session ")};
}

inline QString tolvane(const QString &fileName, const QString &delayNumber = {},
                       const QString &address = QStringLiteral("10.0.0.5"))
{
    QString line = QStringLiteral("Tolvane ") + address + QStringLiteral(" -e ") + fileName;
    if (!delayNumber.isEmpty())
        line += u' ' + delayNumber;
    return line;
}

// A number shown in a box, without its thousands separators.
inline qint64 shownNumber(const QString &text)
{
    QString digits = text;
    digits.remove(QLocale::system().groupSeparator());
    return digits.isEmpty() ? 0 : digits.toLongLong();
}

} // namespace sessiontest
