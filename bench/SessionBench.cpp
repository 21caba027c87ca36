// Runs download sessions through the main window, offscreen, against the
// simulated recorder at a set rate, and reports what the session itself costs:
// Kelvado's CPU time per second of transfer (its children, the tools, are not
// counted), its peak memory, and the time per title beyond the transfer and the
// session's fixed pauses. Each delay runs twice, keeping sums and without,
// so what keeping them costs is seen side by side, with the longest the
// window ever waited for a turn.
#include "common/UserMessage.h"
#include "mainwindow/Control.h"
#include "mainwindow/Form1.h"

#include "ArchiveRun.h"
#include "RecordingContent.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <sys/resource.h>

namespace {

struct Options
{
    int titles = 4;
    qint64 size = 8'000'000;
    qint64 rate = 8'000'000;
    QStringList delays{QStringLiteral("Default"), QStringLiteral("10")};
};

struct Figures
{
    QString delay;
    bool sums = true;
    double wallSeconds = 0;
    qint64 longestWaitMs = 0; // the longest the event loop went without a turn
    double cpuSeconds = 0;
    double transferSeconds = 0; // all titles, at the set rate
    double toolSeconds = 0;     // one title: the transfer tool on its own, start to end
    double overheadMsPerTitle = 0;
    long peakRssKb = 0;
    int complete = 0;
    QStringList messages;
};

double seconds(const timeval &tv)
{
    return double(tv.tv_sec) + double(tv.tv_usec) / 1e6;
}

double ownCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QString recorderName(int i)
{
    return QStringLiteral("10800000%1.mpg").arg(i, 2, 10, QChar(u'0'));
}

QString saveName(int i)
{
    return QStringLiteral("Bench title %1_01 %2 2005.mpg").arg(i).arg(i + 10, 2, 10, QChar(u'0'));
}

// Compared in small pieces, so checking leaves the peak memory figure alone.
bool holdsRecording(const QString &path, const QString &name, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != size)
        return false;
    constexpr qint64 kPiece = 64 * 1024;
    QByteArray expected(kPiece, Qt::Uninitialized);
    for (qint64 offset = 0; offset < size; offset += kPiece) {
        const qint64 n = std::min(kPiece, size - offset);
        recorder::recordingBytes(name.toStdString(), static_cast<std::uint64_t>(offset), expected.data(),
                                 static_cast<std::size_t>(n));
        if (file.read(n) != QByteArrayView(expected.constData(), n))
            return false;
    }
    return true;
}

// How long the transfer tool alone takes for one title, from its start to its
// end: the yardstick for the session's own overhead.
double timeToolAlone(const QString &folder, const QString &name)
{
    QProcess tool;
    tool.setWorkingDirectory(folder);
    tool.setStandardOutputFile(QProcess::nullDevice());
    tool.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    tool.start(QStringLiteral(KELVADO_RECORDER_BIN "/Tolvane"),
               {QStringLiteral("10.0.0.5"), QStringLiteral("-e"), name});
    if (!tool.waitForFinished(-1) || tool.exitCode() != 0)
        qFatal("the transfer tool failed on its own");
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    QFile::remove(QDir(folder).filePath(name));
    return elapsed;
}

void writeCatalog(const QString &path, const Options &options)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write the catalog %s", qPrintable(path));
    for (int i = 0; i < options.titles; ++i) {
        const QString line = QStringLiteral("Bench title %1\tStandard\t01/%2/2005\t20:00:00\t%3\t60\t%4\n")
                                 .arg(i)
                                 .arg(i + 10, 2, 10, QChar(u'0'))
                                 .arg(recorderName(i))
                                 .arg(options.size);
        file.write(line.toUtf8());
    }
}

Figures runSession(const Options &options, const QString &delay, bool sums)
{
    Figures figures;
    figures.delay = delay;
    figures.sums = sums;
    QTemporaryDir work;
    QTemporaryDir aux;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());
    writeCatalog(aux.filePath(QStringLiteral("catalog.tsv")), options);
    qputenv("SIMREC_CATALOG", aux.filePath(QStringLiteral("catalog.tsv")).toLocal8Bit());
    qputenv("SIMREC_RATE", QByteArray::number(options.rate));
    setUserMessageSink([&figures](const QString &text) { figures.messages << text; });
    // The quicker of two runs: the tool's own start-up noise stays out of the yardstick.
    figures.toolSeconds
        = std::min(timeToolAlone(aux.path(), recorderName(0)), timeToolAlone(aux.path(), recorderName(0)));

    {
        SessionTiming timing;
        timing.sums = sums;
        Form1 w(timing);
        w.Form_Load();
        w.show();
        QListWidget *list = control<QListWidget>(w, "List1");
        control<QLineEdit>(w, "IPAddress")->setText(QStringLiteral("10.0.0.5"));
        if (delay == QStringLiteral("Default"))
            control<QCheckBox>(w, "Check1")->setChecked(true);
        else
            control<QLineEdit>(w, "Text9")->setText(delay);
        for (int i = 0; i < options.titles; ++i) {
            w.Titles[i] = QStringLiteral("Bench title %1").arg(i).leftJustified(58, u' ');
            w.RecordDates[i] = QStringLiteral("01/%1/2005").arg(i + 10, 2, 10, QChar(u'0'));
            w.FileNames[i] = recorderName(i);
            auto *item = new QListWidgetItem(w.Titles[i]);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
            list->addItem(item);
        }
        w.TitleCount = static_cast<short>(options.titles);
        w.List1_Click(); // measures every title through the helper

        QElapsedTimer sinceTick;
        QTimer ticker;
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout,
                         [&] { figures.longestWaitMs = std::max(figures.longestWaitMs, sinceTick.restart()); });
        ticker.start();
        sinceTick.start();
        const double cpuBefore = ownCpuSeconds();
        QElapsedTimer clock;
        clock.start();
        w.Extract_Click();
        figures.wallSeconds = double(clock.nsecsElapsed()) / 1e9;
        figures.cpuSeconds = ownCpuSeconds() - cpuBefore;
    }
    figures.peakRssKb = peakRssKb();
    for (int i = 0; i < options.titles; ++i)
        figures.complete += holdsRecording(saveName(i), recorderName(i), options.size) ? 1 : 0;

    figures.transferSeconds = double(options.size) / double(options.rate) * options.titles;
    // The waited run holds the session for the whole transfer, then 0.5 s + 1 s
    // of pauses; the unwaited run overlaps the 0.5 s pause with the transfer.
    const bool waited = delay.startsWith(QStringLiteral("Default"));
    const double tool = figures.toolSeconds;
    const double fixed = waited ? tool + 1.5 : std::max(tool, 0.5) + 1.0;
    figures.overheadMsPerTitle = (figures.wallSeconds / options.titles - fixed) * 1000.0;

    setUserMessageSink({});
    QDir::setCurrent(previous);
    return figures;
}

// The same titles downloaded by `kelvado archive` as a process of its own,
// with no window: its own CPU time against the window's, side by side.
Figures runArchiveSession(const Options &options, const QString &delay)
{
    Figures figures;
    figures.delay = delay;
    QTemporaryDir work;
    QTemporaryDir aux;
    writeCatalog(aux.filePath(QStringLiteral("catalog.tsv")), options);
    qputenv("SIMREC_CATALOG", aux.filePath(QStringLiteral("catalog.tsv")).toLocal8Bit());
    qputenv("SIMREC_RATE", QByteArray::number(options.rate));
    figures.toolSeconds = std::min(timeToolAlone(aux.path(), recorderName(0)),
                                   timeToolAlone(aux.path(), recorderName(0)));
    const bench::ArchiveRun run =
        bench::runArchive(KELVADO_PROGRAM, {"--address", "10.0.0.5", "--delay", delay.toUtf8()}, work.path(),
                          aux.filePath(QStringLiteral("archive.out")));
    if (!run.ran || run.exitCode != 0)
        figures.messages << QStringLiteral("kelvado archive ended with status %1").arg(run.exitCode);
    figures.wallSeconds = run.wallSeconds;
    figures.cpuSeconds = run.cpuSeconds;
    figures.peakRssKb = run.peakRssKb;
    for (int i = 0; i < options.titles; ++i)
        figures.complete +=
            holdsRecording(QDir(work.path()).filePath(saveName(i)), recorderName(i), options.size) ? 1 : 0;
    figures.transferSeconds = double(options.size) / double(options.rate) * options.titles;
    return figures;
}

Options parseOptions(const QApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Download-session benchmark over the simulated recorder."));
    parser.addHelpOption();
    const QCommandLineOption titles(QStringLiteral("titles"), QStringLiteral("Titles per session."),
                                    QStringLiteral("n"), QStringLiteral("4"));
    const QCommandLineOption size(QStringLiteral("size"), QStringLiteral("Bytes per title."), QStringLiteral("bytes"),
                                  QStringLiteral("8000000"));
    const QCommandLineOption rate(QStringLiteral("rate"), QStringLiteral("Transfer rate in bytes per second."),
                                  QStringLiteral("bytes"), QStringLiteral("8000000"));
    const QCommandLineOption delays(QStringLiteral("delay"),
                                    QStringLiteral("Delay text of a session; repeat for several (default: Default "
                                                   "and 10)."),
                                    QStringLiteral("text"));
    parser.addOptions({titles, size, rate, delays});
    parser.process(app);

    Options options;
    options.titles = std::clamp(parser.value(titles).toInt(), 1, 200);
    options.size = std::max<qint64>(1, parser.value(size).toLongLong());
    options.rate = std::max<qint64>(1, parser.value(rate).toLongLong());
    if (parser.isSet(delays))
        options.delays = parser.values(delays);
    return options;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("PATH", QByteArray(KELVADO_RECORDER_BIN) + ':' + qgetenv("PATH"));
    QApplication app(argc, argv);
    const Options options = parseOptions(app);

    QTextStream out(stdout);
    out << QStringLiteral("%1 titles of %2 bytes at %3 bytes/s\n\n")
               .arg(options.titles)
               .arg(options.size)
               .arg(options.rate);
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10\n")
               .arg(QStringLiteral("delay"), -10)
               .arg(QStringLiteral("run"), -12)
               .arg(QStringLiteral("complete"), 9)
               .arg(QStringLiteral("tool s"), 7)
               .arg(QStringLiteral("wall s"), 8)
               .arg(QStringLiteral("cpu s"), 7)
               .arg(QStringLiteral("cpu s/s"), 8)
               .arg(QStringLiteral("over ms/title"), 14)
               .arg(QStringLiteral("peak RSS MB"), 12)
               .arg(QStringLiteral("longest wait ms"), 16);
    out.flush();

    int failures = 0;
    for (const QString &delay : options.delays) {
        double withoutSums = 0;
        for (int kind = 0; kind < 3; ++kind) {
            // The window without sums, with them, and `kelvado archive` (which always sums).
            const bool sums = kind > 0;
            const bool archive = kind == 2;
            const Figures f = archive ? runArchiveSession(options, delay) : runSession(options, delay, sums);
            out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10\n")
                       .arg(f.delay, -10)
                       .arg(archive ? QStringLiteral("archive") : sums ? QStringLiteral("window") : QStringLiteral("window -sums"), -12)
                       .arg(QStringLiteral("%1/%2").arg(f.complete).arg(options.titles), 9)
                       .arg(f.toolSeconds, 7, 'f', 3)
                       .arg(f.wallSeconds, 8, 'f', 2)
                       .arg(f.cpuSeconds, 7, 'f', 3)
                       .arg(f.cpuSeconds / f.transferSeconds, 8, 'f', 4)
                       .arg(archive ? QStringLiteral("-") : QString::number(f.overheadMsPerTitle, 'f', 1), 14)
                       .arg(double(f.peakRssKb) / 1024.0, 12, 'f', 1)
                       .arg(archive ? QStringLiteral("-") : QString::number(f.longestWaitMs), 16);
            if (kind == 1)
                out << QStringLiteral("  keeping sums: %1 % of the session's time\n")
                           .arg((f.wallSeconds / withoutSums - 1.0) * 100.0, 0, 'f', 2);
            withoutSums = f.wallSeconds;
            for (const QString &message : f.messages)
                out << QStringLiteral("  message: ") << QString(message).replace(u'\n', QStringLiteral(" / ")) << '\n';
            out.flush();
            if (f.complete != options.titles || !f.messages.isEmpty())
                ++failures;
        }
    }
    out << QStringLiteral("\ntool s: one title's transfer by the tool alone, start to end.\n"
                          "cpu s/s: Kelvado's own CPU seconds per second of transfer (tools excluded): the window's\n"
                          "  from the Extract click on, `kelvado archive`'s whole run, guide and measuring included.\n"
                          "run: the window's session without sums, with them, and the same titles by `kelvado archive`\n"
                          "  in a process of its own, no window (it always keeps sums);\n"
                          "  over ms/title is not worked out for them (their run holds the guide and measuring too).\n"
                          "over ms/title: wall time per title beyond the tool's time and the fixed pauses.\n"
                          "longest wait ms: the longest the window's event loop went without a turn.\n");
    return failures == 0 ? 0 : 1;
}
