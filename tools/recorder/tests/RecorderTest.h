#pragma once
// The simulated recorder's own tests: the built Tolvane and Tamrick run as child
// processes in a scratch working directory, with only the SIMREC_* variables a
// case sets.
#include "RecordingContent.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// The first n bytes of a recording, as Tolvane must write them.
inline QByteArray recording(const QString &name, qint64 n)
{
    QByteArray bytes(n, Qt::Uninitialized);
    recorder::recordingBytes(name.toStdString(), 0, bytes.data(), std::size_t(qMax<qint64>(n, 0)));
    return bytes;
}

// The catalog several cases use: written by the test, so every expected value
// is known independently of the tools.
struct CatalogRow
{
    QString title, quality, date, time, fileName;
    int duration;
    qint64 size;
};

inline const QList<CatalogRow> &testRows()
{
    static const QList<CatalogRow> rows{
        {QStringLiteral("Alpha: \"One\"; (Two) 1/2"), "High", "02/29/2004", "23:59:59", "1077000000.mpg", 5, 1000003},
        {QStringLiteral("Ümlaut Über Straße"), "Standard", "01/01/2002", "00:00:00", "1009872000.mpg", 1234, 65536},
        {"Zero", "Medium", "12/31/2005", "12:00:00", "1136059200.mpg", 0, 0},
        {"Small", "High", "06/15/2003", "08:30:00", "small.mpg", 30, 300001},
    };
    return rows;
}

const QString kBig = QStringLiteral("1077000000.mpg"); // 1000003 bytes in the test catalog

struct ToolRun
{
    int exitCode = -1; // -1 when it did not end by itself
    QByteArray out, err;
};

class Sandbox
{
public:
    QMap<QString, QString> env;

    QString work(const QString &name = {}) const { return m_work.filePath(name); }
    QString aux(const QString &name) const { return m_aux.filePath(name); }

    void start(QProcess &process, const QString &tool, const QStringList &args) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString &name : environment.keys())
            if (name.startsWith(QStringLiteral("SIMREC_")))
                environment.remove(name);
        for (auto it = env.cbegin(); it != env.cend(); ++it)
            environment.insert(it.key(), it.value());
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(work());
        process.start(QStringLiteral(RECORDER_BIN_DIR "/") + tool, args);
    }

    ToolRun run(const QString &tool, const QStringList &args) const
    {
        QProcess process;
        start(process, tool, args);
        const bool ended = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
        return {ended ? process.exitCode() : -1, process.readAllStandardOutput(), process.readAllStandardError()};
    }

    // The size "Tamrick NAME" reports; -1 unless FStat.txt has exactly the helper's layout.
    qint64 statSize(const QString &name) const
    {
        QFile::remove(work(QStringLiteral("FStat.txt")));
        if (run(QStringLiteral("Tamrick"), {name}).exitCode != 0)
            return -1;
        const QRegularExpression layout(QStringLiteral("^FileStat,Size=(\\d+),Name=%1\r\n$")
                                            .arg(QRegularExpression::escape(name)));
        const auto match = layout.match(QString::fromUtf8(read(QStringLiteral("FStat.txt"))));
        return match.hasMatch() ? match.captured(1).toLongLong() : -1;
    }

    QByteArray read(const QString &name) const { return readPath(work(name)); }

    static QByteArray readPath(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QString write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    bool exists(const QString &name) const { return QFileInfo::exists(work(name)); }
    QStringList workEntries() const { return QDir(work()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }

    // The test catalog; SIMREC_RATE left unset when rate is null.
    void useTestCatalog(const char *rate = "0")
    {
        // Comments, blank lines and one CR LF line end must all be accepted.
        QByteArray text = "# test catalog\n\n";
        for (const CatalogRow &r : testRows())
            text += QStringList{r.title, r.quality, r.date, r.time, r.fileName, QString::number(r.duration),
                                QString::number(r.size)}.join(u'\t').toUtf8()
                    + (r.size == 65536 ? "\r\n   \n# more\n" : "\n");
        env[QStringLiteral("SIMREC_CATALOG")] = write(aux(QStringLiteral("catalog.tsv")), text);
        if (rate)
            env[QStringLiteral("SIMREC_RATE")] = QString::fromLatin1(rate);
    }

private:
    QTemporaryDir m_work, m_aux; // the tools' working directory; inputs kept out of it
};

class RecorderTest : public QObject
{
    Q_OBJECT

private slots:
    void guideDemo();
    void guideFromCatalog();
    void guideWithoutUsableDat();
    void extractContent();
    void extractRatePaces();
    void faults_data();
    void faults();
    void faultHang();
    void journalLines();
    void journalConcurrent();
    void usageHelp();
    void usageErrors_data();
    void usageErrors();
    void invalidEnvironment_data();
    void invalidEnvironment();
    void malformedCatalog_data();
    void malformedCatalog();
    void contentFunction();
};
