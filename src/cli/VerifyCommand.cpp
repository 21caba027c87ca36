#include "VerifyCommand.h"

#include "archive/SavedRecords.h"
#include "fixity/FixityCheck.h"
#include "fixity/Manifest.h"
#include "runner/EndOnSignal.h"
#include "runner/FileNames.h"
#include "startup/CommandLine.h"
#include "startup/WorkingFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

void printLine(std::FILE *stream, const QString &text)
{
    std::fputs((text.endsWith(u'\n') ? text : text + u'\n').toUtf8().constData(), stream);
    std::fflush(stream);
}

// On a terminal, how much of a long verify is done, on a line of its own that
// each printed line clears first; elsewhere (a pipe, a log) nothing.
class TerminalProgress
{
public:
    void show(qint64 done, qint64 total)
    {
        const int percent = total > 0 ? int(done * 100 / total) : 100;
        if (!m_terminal || percent == m_shown)
            return;
        m_shown = percent;
        std::fprintf(stderr, "\rkelvado: %d %% read", percent);
        std::fflush(stderr);
    }
    void clear()
    {
        if (m_terminal && m_shown >= 0)
            std::fputs("\r\033[K", stderr);
        m_shown = -1;
    }

private:
    bool m_terminal = ::isatty(STDERR_FILENO) == 1;
    int m_shown = -1;
};

int refused(const QString &text)
{
    printLine(stderr, QStringLiteral("kelvado: ") + text);
    return CommandLine::kUsageStatus;
}

bool failed(const QString &error)
{
    printLine(stderr, QStringLiteral("kelvado: ") + error);
    return false;
}

// Records the sums of the recordings that had none, trusting their files as
// they are now, and rewrites the checksum list of each folder they lie in.
bool recordSums(const QList<SavedRecording> &summed)
{
    QSet<QString> folders;
    QString error;
    for (const SavedRecording &recording : summed) {
        if (!SavedRecords::note(recording, &error))
            return failed(error);
        folders.insert(QFileInfo(recording.path).path());
    }
    for (const QString &folder : std::as_const(folders)) {
        if (!Manifest::write(folder, &error))
            return failed(error);
    }
    if (!summed.isEmpty())
        printLine(stderr, QStringLiteral("kelvado: Sums recorded: %1.").arg(summed.size()));
    return true;
}

} // namespace

int runVerifyCommand(const QList<QByteArray> &arguments)
{
    bool addSums = false;
    QList<QByteArray> rest{QByteArrayLiteral("kelvado")};
    for (const QByteArray &argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            printLine(stdout,
                      QStringLiteral("Usage: kelvado verify [--add-missing-sums] [--videos-folder | folder]\n"
                                     "Reads every saved recording again and compares it with its recorded "
                                     "sum.\n  --add-missing-sums  records the sums of those saved without one"));
            return 0;
        }
        if (argument == "--add-missing-sums" && !rest.contains("--"))
            addSums = true;
        else
            rest << argument;
    }
    const StartRequest request
        = CommandLine::read(rest, QStandardPaths::writableLocation(QStandardPaths::MoviesLocation));
    if (!request.opensWindow) {
        if (!request.output.isEmpty())
            printLine(stdout, request.output);
        if (!request.error.isEmpty())
            printLine(stderr, request.error);
        return request.exitStatus;
    }
    // Verifying never makes a folder: one not there holds nothing to verify.
    if (!request.folder.isEmpty()) {
        const QString error = enterWorkingFolder(request.folder, false);
        if (!error.isEmpty()) {
            printLine(stderr, error);
            return CommandLine::kUsageStatus;
        }
    }
    if (!QFileInfo(resolveFileName(SavedRecords::fileName())).isFile())
        return refused(QStringLiteral("No record of saved recordings (%1) in '%2'.")
                           .arg(SavedRecords::fileName(), QDir::currentPath()));

    FixityCheck check(SavedRecords::loadAll().recordings, addSums);
    FixityTally tally;
    QList<SavedRecording> summed;
    TerminalProgress shown;
    QObject::connect(&check, &FixityCheck::progress, [&shown](qint64 done, qint64 total) { shown.show(done, total); });
    QObject::connect(&check, &FixityCheck::checked, [&](const FixityResult &result) {
        shown.clear();
        tally.add(result.verdict);
        printLine(stdout, QStringList{verdictName(result.verdict), escapedField(result.recording.recorderName),
                                      escapedField(result.recording.path)}
                              .join(u'\t'));
        if (!result.reason.isEmpty())
            printLine(stderr, QStringLiteral("kelvado: %1: %2").arg(result.recording.path, result.reason));
        if (result.verdict == Verdict::Unchecked && !result.sumNow.isEmpty()) {
            summed << result.recording;
            summed.last().sha256 = result.sumNow;
        }
    });
    QObject::connect(&check, &FixityCheck::finished, QCoreApplication::instance(), &QCoreApplication::quit);
    int endedBy = 0;
    // Ended by a signal, the check stops at its next block, and nothing is recorded.
    const EndOnSignal endOnSignal([&](int signalNumber) {
        endedBy = signalNumber;
        check.stop();
    });
    check.start();
    QCoreApplication::exec();
    if (endedBy != 0) {
        std::signal(endedBy, SIG_DFL);
        std::raise(endedBy);
    }
    shown.clear();
    printLine(stdout, tally.text());
    if (!recordSums(summed))
        return CommandLine::kUsageStatus;
    return tally.allWell() ? 0 : 1;
}
