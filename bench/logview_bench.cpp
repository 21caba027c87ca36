// The log viewer on large logs: how soon its first rows are there and painted,
// how long until every line has its row, how long the event loop is ever kept
// from painting meanwhile, and the program's peak memory. Each log is made at
// run time in a temporary folder; each measurement is a fresh process (the
// benchmark starts itself with --child), so the peak memory is the viewer's
// own. Offscreen platform.
#include "common/UserMessage.h"
#include "log/Form2.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QProcess>
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

const char *const kChildFlag = "--child";
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

bool runOnce(const QString &dir, QHash<QString, qint64> *values, QString *error)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(dir);
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kChildFlag)});
    if (!child.waitForFinished(kChildTimeoutMs + 10000) || child.exitStatus() != QProcess::NormalExit
        || child.exitCode() != 0) {
        *error = QStringLiteral("child failed: ") + QString::fromLocal8Bit(child.readAllStandardError()).trimmed();
        return false;
    }
    const QString report = QString::fromLatin1(child.readAllStandardOutput()).trimmed();
    for (const QString &pair : report.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        if (eq > 0)
            values->insert(pair.left(eq), pair.mid(eq + 1).toLongLong());
    }
    if (!values->contains(QStringLiteral("rss"))) {
        *error = QStringLiteral("child report incomplete: ") + report;
        return false;
    }
    return true;
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

    QTextStream out(stdout);
    out << "Log viewer, median of " << runs << " fresh processes (offscreen); ms from creating the window\n";
    out << QStringLiteral("%1%2%3%4%5%6%7%8%9\n")
               .arg(QStringLiteral("log"), -16)
               .arg(QStringLiteral("rows"), 10)
               .arg(QStringLiteral("created"), 9)
               .arg(QStringLiteral("painted"), 9)
               .arg(QStringLiteral("all rows"), 10)
               .arg(QStringLiteral("max gap"), 9)
               .arg(QStringLiteral("End"), 6)
               .arg(QStringLiteral("base MB"), 9)
               .arg(QStringLiteral("peak MB"), 9);
    out.flush();
    for (const Scenario &scenario : scenarios) {
        QTemporaryDir dir;
        if (!dir.isValid() || !writeLog(dir.filePath(QStringLiteral("Kelvado.LOG")), scenario)) {
            std::fprintf(stderr, "cannot write the %s\n", qPrintable(scenario.name));
            return 1;
        }
        QHash<QString, std::vector<qint64>> columns;
        for (int run = 0; run < runs; ++run) {
            QHash<QString, qint64> values;
            QString error;
            if (!runOnce(dir.path(), &values, &error)) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(scenario.name), qPrintable(error));
                return 1;
            }
            for (auto it = values.cbegin(); it != values.cend(); ++it)
                columns[it.key()].push_back(it.value());
        }
        auto at = [&](const char *key) { return median(columns.value(QString::fromLatin1(key))); };
        out << QStringLiteral("%1%2%3%4%5%6%7%8%9\n")
                   .arg(scenario.name, -16)
                   .arg(at("rows"), 10)
                   .arg(at("created"), 9)
                   .arg(at("painted"), 9)
                   .arg(at("indexed"), 10)
                   .arg(at("gap"), 9)
                   .arg(at("end"), 6)
                   .arg(double(at("base")) / 1024.0, 9, 'f', 1)
                   .arg(double(at("rss")) / 1024.0, 9, 'f', 1);
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
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], kChildFlag) == 0)
            return runChild(argc, argv);
    }
    return runParent(argc, argv);
}
