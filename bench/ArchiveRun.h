#pragma once
// Runs `kelvado archive` as a child and takes its own CPU time, not its
// tools': the child is looked at as a zombie (waitid with WNOWAIT), when
// /proc still gives its own user and system time apart from its children's.
// Its peak memory is its VmHWM, looked at every 10 ms while it runs: the
// rusage peak would count this benchmark's own memory, as the kernel keeps the
// peak a process had before its exec.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <vector>
#include <csignal>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace bench {

struct ArchiveRun
{
    bool ran = false;
    int exitCode = -1;
    double cpuSeconds = 0;   // the command's own, user + system
    double wallSeconds = 0;  // start to end
    long peakRssKb = 0;      // the command's own
};

inline ArchiveRun runArchive(const QByteArray &program, const QList<QByteArray> &arguments, const QString &folder,
                             const QString &outputFile)
{
    ArchiveRun run;
    QList<QByteArray> words{program, "archive"};
    words += arguments;
    words << QFile::encodeName(folder);
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, QFile::encodeName(outputFile).constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;
    for (;;) {
        siginfo_t info{};
        if (waitid(P_PID, id_t(pid), &info, WEXITED | WNOWAIT | WNOHANG) == 0 && info.si_pid == pid)
            break;
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : status.readAll().split('\n')) {
                if (line.startsWith("VmHWM:"))
                    run.peakRssKb = std::max(run.peakRssKb, line.mid(6).trimmed().split(' ').first().toLong());
            }
        }
        usleep(10000);
    }
    clock_gettime(CLOCK_MONOTONIC, &end);
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray text = stat.readAll();
        // Fields after the command's name in brackets: state is field 3, utime 14, stime 15.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 12)
            run.cpuSeconds = double(fields.at(11).toLongLong() + fields.at(12).toLongLong()) / double(sysconf(_SC_CLK_TCK));
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.ran = WIFEXITED(status);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.wallSeconds = double(end.tv_sec - start.tv_sec) + double(end.tv_nsec - start.tv_nsec) / 1e9;
    return run;
}

} // namespace bench
