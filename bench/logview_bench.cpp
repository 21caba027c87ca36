// The log viewer on large logs: how soon its first rows are there and painted,
// how long until every line has its row, how long the event loop is ever kept
// from painting meanwhile, and the program's peak memory. Each log is made at
// run time in a temporary folder; each measurement is a fresh process (the
// benchmark starts itself with --child), so the peak memory is the viewer's
// own. Offscreen platform.
#include "common/UserMessage.h"
#include "log/Form2.h"

#include "ChildRun.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kChildTimeoutMs = 600000;

qint64 peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// ---- Child: one viewer on the log in the working folder ----

// Notes the first paint of the list after `armed`, once it is on screen.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget *viewport)
        : m_viewport(viewport)
    {
        viewport->installEventFilter(this);
    }

    void arm() { paintedAt = -1; }
    qint64 paintedAt = -1;
    QElapsedTimer *clock = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_viewport && event->type() == QEvent::Paint && paintedAt < 0)
            QTimer::singleShot(0, this, [this] { paintedAt = paintedAt < 0 ? clock->elapsed() : paintedAt; });
        return false;
    }

private:
    QWidget *m_viewport;
};

bool waitFor(const std::function<bool()> &done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > kChildTimeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

int runChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUserMessageSink([](const QString &text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); });
    const qint64 baseKb = peakRssKb();

    QElapsedTimer clock;
    clock.start();
    Form2 viewer; // what View Log does: create the window, then show it
    const qint64 createdAt = clock.elapsed();
    const int rowsAtOnce = viewer.Log_List->model()->rowCount();
    PaintWatch watch(viewer.Log_List->viewport());
    watch.clock = &clock;
    viewer.show();
    if (!waitFor([&] { return watch.paintedAt >= 0; }))
        return 1;
    const qint64 paintedAt = watch.paintedAt;

    // The longest the event loop went without a turn while the rest was indexed.
    qint64 longestGap = 0;
    qint64 lastTurn = clock.elapsed();
    QTimer heartbeat;
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestGap = std::max(longestGap, now - lastTurn);
        lastTurn = now;
    });
    heartbeat.start();
    if (!waitFor([&] { return viewer.isLogIndexed(); }))
        return 1;
    heartbeat.stop();
    const qint64 indexedAt = clock.elapsed();

    // To the last line, and painted there.
    watch.arm();
    const qint64 endPressedAt = clock.elapsed();
    QTest::keyClick(viewer.Log_List, Qt::Key_End);
    if (!waitFor([&] { return watch.paintedAt >= 0; }))
        return 1;
    const qint64 endShownMs = watch.paintedAt - endPressedAt;

    std::printf("created=%lld painted=%lld indexed=%lld gap=%lld end=%lld rows0=%d rows=%d base=%lld rss=%lld\n",
                createdAt, paintedAt, indexedAt, longestGap, endShownMs, rowsAtOnce,
                viewer.Log_List->model()->rowCount(), baseKb, peakRssKb());
    return 0;
}

// ---- Parent: makes each log, runs the viewer on it several times ----

struct Scenario
{
    QString name;
    qint64 bytes;
    bool oneLine;
};

// Lines like a long-used log's: sessions of started and finished titles, a few
// with non-ASCII titles, the one-blank lines between.
bool writeLog(const QString &path, const Scenario &scenario)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block;
    qint64 written = 0;
    int session = 0;
    while (written < scenario.bytes) {
        block.clear();
        if (scenario.oneLine) {
            block.fill('x', std::min<qint64>(1 << 20, scenario.bytes - written));
        } else {
            while (block.size() < (1 << 20)) {
                ++session;
                block += "Kelvado 1.5 log for 12-05-2003 20:00:00\r\n        \r\n";
                for (int t = 0; t < 4; ++t) {
                    const QByteArray title = (t == 2 ? QByteArray("Caf\xc3\xa9 Ol\xc3\xa9 ") : QByteArray("Nova "))
                        + QByteArray::number(session) + "_12 05 2003.mpg";
                    block += title + "  Started: 20:00:00  Delay = Default\r\n";
                    block += title + " Finished: 20:31:00\r\n \r\n";
                }
                block += " \r\nEnd of Download Session \r\n";
            }
            block.truncate(std::min<qint64>(block.size(), scenario.bytes - written));
        }
        if (file.write(block) != block.size())
            return false;
        written += block.size();
    }
    return file.flush();
}

qint64 median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int runParent(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The log viewer on large logs, offscreen."));
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Fresh processes per log."),
                                        QStringLiteral("n"), QStringLiteral("3"));
    const QCommandLineOption sizeOption(QStringLiteral("mb"), QStringLiteral("Size of the log of many lines."),
                                        QStringLiteral("MB"), QStringLiteral("200"));
    const QCommandLineOption lineOption(QStringLiteral("line-mb"), QStringLiteral("Size of the log of one line."),
                                        QStringLiteral("MB"), QStringLiteral("50"));
    parser.addOptions({runsOption, sizeOption, lineOption});
    parser.process(app);
    const int runs = std::max(1, parser.value(runsOption).toInt());
    const qint64 mb = 1000 * 1000;
    const std::vector<Scenario> scenarios{
        {QStringLiteral("%1 MB log").arg(parser.value(sizeOption)), parser.value(sizeOption).toLongLong() * mb, false},
        {QStringLiteral("%1 MB one line").arg(parser.value(lineOption)), parser.value(lineOption).toLongLong() * mb,
         true},
    };

    // Columns: the name, then the child's figures, with the widths they print in.
    struct Column
    {
        const char *title;
        const char *key;
        int width;
    };
    const std::vector<Column> columns{{"rows", "rows", 10},       {"created", "created", 9}, {"painted", "painted", 9},
                                      {"all rows", "indexed", 10}, {"max gap", "gap", 9},     {"End", "end", 6},
                                      {"base MB", "base", 9},      {"peak MB", "rss", 9}};
    QTextStream out(stdout);
    out << "Log viewer, median of " << runs << " fresh processes (offscreen); ms from creating the window\n";
    out << QStringLiteral("%1").arg(QStringLiteral("log"), -16);
    for (const Column &column : columns)
        out << QStringLiteral("%1").arg(QString::fromLatin1(column.title), column.width);
    out << '\n';
    out.flush();
    for (const Scenario &scenario : scenarios) {
        QTemporaryDir dir;
        if (!dir.isValid() || !writeLog(dir.filePath(QStringLiteral("Kelvado.LOG")), scenario)) {
            std::fprintf(stderr, "cannot write the %s\n", qPrintable(scenario.name));
            return 1;
        }
        QHash<QString, std::vector<qint64>> figures;
        for (int run = 0; run < runs; ++run) {
            bench::ChildReport report;
            QString error;
            if (!bench::runChild(dir.path(), kChildTimeoutMs + 10000, &report, &error)
                || !report.values.contains(QStringLiteral("rss"))) {
                std::fprintf(stderr, "%s: %s %s\n", qPrintable(scenario.name), qPrintable(error),
                             qPrintable(report.line));
                return 1;
            }
            for (auto it = report.values.cbegin(); it != report.values.cend(); ++it)
                figures[it.key()].push_back(it.value());
        }
        out << QStringLiteral("%1").arg(scenario.name, -16);
        for (const Column &column : columns) {
            const qint64 value = median(figures.value(QString::fromLatin1(column.key)));
            const bool megabytes = QByteArray(column.title).endsWith("MB");
            out << (megabytes ? QStringLiteral("%1").arg(double(value) / 1024.0, column.width, 'f', 1)
                              : QStringLiteral("%1").arg(value, column.width));
        }
        out << '\n';
        out.flush();
    }
    out << "rows: the list's rows at the end (the first is \"Log_List\"); painted: first rows on screen;\n"
           "all rows: every line has its row; max gap: longest the event loop waited meanwhile;\n"
           "End: End key to the last line painted; base: the program before the viewer.\n"
           "targets: painted below 500 ms, peak memory below 150 MB\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    return bench::childOrParent(argc, argv, runChild, runParent);
}
