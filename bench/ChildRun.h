#pragma once
// For benchmarks that measure fresh processes: the benchmark starts itself
// again with --child in a prepared working folder, on the offscreen platform,
// and the child reports its figures on one line of "name=value" pairs.

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QProcess>
#include <QString>

#include <ctime>

namespace bench {

inline const char *const kChildFlag = "--child";

// The same clock in parent and child: CLOCK_MONOTONIC is system-wide.
inline qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

struct ChildReport
{
    qint64 startedAtNs = 0; // the monotonic clock just before the start
    QHash<QString, qint64> values;
    QString line;   // the report as written
    QString errors; // what the child wrote on stderr
};

// Runs the child in the folder and reads its report. False, with the reason,
// when it does not end normally within the time.
inline bool runChild(const QString &dir, int timeoutMs, ChildReport *report, QString *error)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(dir);
    report->startedAtNs = monotonicNs();
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kChildFlag)});
    const bool ended = child.waitForFinished(timeoutMs);
    report->errors = QString::fromLocal8Bit(child.readAllStandardError()).trimmed();
    if (!ended || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        *error = QStringLiteral("child failed: ") + report->errors;
        return false;
    }
    report->line = QString::fromLatin1(child.readAllStandardOutput()).trimmed();
    for (const QString &pair : report->line.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        if (eq > 0)
            report->values.insert(pair.left(eq), pair.mid(eq + 1).toLongLong());
    }
    return true;
}

// main(): the child's part when started with --child, else the parent's.
inline int childOrParent(int argc, char *argv[], int (*child)(int, char *[]), int (*parent)(int, char *[]))
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], kChildFlag) == 0)
            return child(argc, argv);
    }
    return parent(argc, argv);
}

} // namespace bench
