// Time from process start to the main window on screen, and the peak memory
// of the started program, over several fresh processes on the offscreen
// platform. The benchmark starts itself with --child for each run; the child
// does what the program's main does (application, Form1, Form_Load, show),
// waits until the window is exposed and painted, and reports the monotonic
// clock at each step. The parent read that clock just before starting it.
#include "common/UserMessage.h"
#include "mainwindow/Form1.h"

#include "ChildRun.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

using bench::monotonicNs;

constexpr int kChildTimeoutMs = 20000;

// The steps of a start, in order, as the child reports them.
const QStringList kSteps{QStringLiteral("main"),   QStringLiteral("app"),     QStringLiteral("window"),
                         QStringLiteral("loaded"), QStringLiteral("shown"),   QStringLiteral("exposed"),
                         QStringLiteral("painted")};

// ---- Child: one start of the program ----

class ScreenWatch : public QObject
{
public:
    ScreenWatch(QWidget *window, QEventLoop *loop)
        : m_window(window)
        , m_loop(loop)
    {
    }

    qint64 exposedAt = 0;
    qint64 paintedAt = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && !exposedAt && m_window->windowHandle()
            && watched == m_window->windowHandle() && m_window->windowHandle()->isExposed())
            exposedAt = monotonicNs();
        if (event->type() == QEvent::Paint && watched == m_window && !m_paintSeen) {
            m_paintSeen = true;
            // Stops once this paint, and the flush after it, have been handled.
            QTimer::singleShot(0, m_loop, [this] {
                paintedAt = monotonicNs();
                m_loop->quit();
            });
        }
        return false;
    }

private:
    QWidget *m_window;
    QEventLoop *m_loop;
    bool m_paintSeen = false;
};

int runChild(int argc, char *argv[])
{
    const qint64 mainAt = monotonicNs();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvado"));
    QApplication::setApplicationVersion(QStringLiteral("1.6.17"));
    QStringList messages;
    setUserMessageSink([&messages](const QString &text) { messages << text; });
    const qint64 appAt = monotonicNs();

    Form1 window;
    const qint64 windowAt = monotonicNs();
    window.Form_Load();
    const qint64 loadedAt = monotonicNs();

    QEventLoop loop;
    ScreenWatch watch(&window, &loop);
    app.installEventFilter(&watch);
    window.show();
    const qint64 shownAt = monotonicNs();
    QTimer::singleShot(kChildTimeoutMs, &loop, &QEventLoop::quit);
    if (!watch.paintedAt)
        loop.exec();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    if (!watch.exposedAt || !watch.paintedAt) {
        std::fprintf(stderr, "the window was not exposed and painted within %d ms\n", kChildTimeoutMs);
        return 1;
    }
    for (const QString &message : messages)
        std::fprintf(stderr, "message: %s\n", qPrintable(message));
    const qint64 steps[] = {mainAt, appAt, windowAt, loadedAt, shownAt, watch.exposedAt, watch.paintedAt};
    QByteArray report;
    for (int i = 0; i < kSteps.size(); ++i)
        report += kSteps.at(i).toLatin1() + '=' + QByteArray::number(steps[i]) + ' ';
    report += "rss=" + QByteArray::number(qint64(usage.ru_maxrss)) + " messages=" + QByteArray::number(messages.size());
    std::printf("%s\n", report.constData());
    return 0;
}

// ---- Parent: many starts, each in a fresh working directory ----

struct Start
{
    std::vector<double> stepMs; // from process start, one per step
    double peakMb = 0;
};

enum class Scenario { FirstStart, UsualStart };

QString scenarioName(Scenario scenario)
{
    return scenario == Scenario::FirstStart ? QStringLiteral("first start") : QStringLiteral("usual start");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A first start finds an empty folder; a usual one finds the settings, a log
// and the guide files of an earlier run.
bool prepare(const QString &dir, Scenario scenario)
{
    if (scenario == Scenario::FirstStart)
        return true;
    QByteArray log("------------------------------------------------------------\r\n"
                   "New Kelvado Log V. 1.5  Started   -  12-05-2003\r\n");
    for (int i = 0; i < 200; ++i)
        log += "Show_12 05 2003.mpg  Started: 20:00:00  Delay = Default\r\n"
               "Show_12 05 2003.mpg Finished: 20:01:00\r\n \r\n";
    return writeBytes(dir + QStringLiteral("/RPTVIP.dat"), "\"192.168.0.20\",\"Default\"\r\n")
        && writeBytes(dir + QStringLiteral("/Kelvado.LOG"), log)
        && writeBytes(dir + QStringLiteral("/Guide.txt"), "Show #1\r\n")
        && writeBytes(dir + QStringLiteral("/Guide.dat"), "x");
}

bool startOnce(Scenario scenario, Start *start, QString *error)
{
    QTemporaryDir dir;
    if (!dir.isValid() || !prepare(dir.path(), scenario)) {
        *error = QStringLiteral("cannot prepare a working folder");
        return false;
    }
    bench::ChildReport report;
    if (!bench::runChild(dir.path(), kChildTimeoutMs + 10000, &report, error))
        return false;
    const QHash<QString, qint64> &values = report.values;
    if (values.value(QStringLiteral("messages")) != 0) {
        *error = QStringLiteral("the start told the user something: ") + report.errors;
        return false;
    }
    start->stepMs.clear();
    for (const QString &step : kSteps) {
        if (!values.contains(step)) {
            *error = QStringLiteral("child report lacks %1: %2").arg(step, report.line);
            return false;
        }
        start->stepMs.push_back(double(values.value(step) - report.startedAtNs) / 1e6);
    }
    start->peakMb = double(values.value(QStringLiteral("rss"))) / 1024.0;
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int runParent(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Start-up time to the main window shown, and peak memory, offscreen."));
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Fresh processes per scenario."),
                                        QStringLiteral("n"), QStringLiteral("15"));
    parser.addOption(runsOption);
    parser.process(app);
    const int runs = std::max(1, parser.value(runsOption).toInt());

    QTextStream out(stdout);
    out << "Start-up to the main window shown (offscreen), median of " << runs
        << " fresh processes; ms from process start\n";
    QString header = QStringLiteral("%1").arg(QStringLiteral("scenario"), -12);
    for (const QString &step : kSteps)
        header += QStringLiteral("%1").arg(step, 9);
    header += QStringLiteral("%1%2\n").arg(QStringLiteral("peak MB"), 9).arg(QStringLiteral("max MB"), 8);
    out << header;
    out.flush();

    for (const Scenario scenario : {Scenario::FirstStart, Scenario::UsualStart}) {
        std::vector<std::vector<double>> steps(std::size_t(kSteps.size()));
        std::vector<double> peaks;
        for (int run = 0; run < runs; ++run) {
            Start start;
            QString error;
            if (!startOnce(scenario, &start, &error)) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(scenarioName(scenario)), qPrintable(error));
                return 1;
            }
            for (std::size_t i = 0; i < start.stepMs.size(); ++i)
                steps[i].push_back(start.stepMs[i]);
            peaks.push_back(start.peakMb);
        }
        QString row = QStringLiteral("%1").arg(scenarioName(scenario), -12);
        for (const std::vector<double> &values : steps)
            row += QStringLiteral("%1").arg(median(values), 9, 'f', 1);
        row += QStringLiteral("%1%2\n")
                   .arg(median(peaks), 9, 'f', 1)
                   .arg(*std::max_element(peaks.begin(), peaks.end()), 8, 'f', 1);
        out << row;
        out.flush();
    }
    out << "targets: painted below 300 ms, peak memory below 80 MB\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    return bench::childOrParent(argc, argv, runChild, runParent);
}
