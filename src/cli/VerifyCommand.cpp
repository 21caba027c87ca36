#include "Commands.h"
#include "Console.h"

#include "archive/SavedRecords.h"
#include "fixity/FixityCheck.h"
#include "fixity/ManifestUpdate.h"
#include "runner/EndOnSignal.h"
#include "runner/FileNames.h"
#include "startup/CommandLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <csignal>
#include <utility>

namespace {

int refused(const QString &text)
{
    Console::error(QStringLiteral("kelvado: ") + text);
    return CommandLine::kUsageStatus;
}

bool failed(const QString &error)
{
    Console::error(QStringLiteral("kelvado: ") + error);
    return false;
}

// Records the sums of the recordings that had none, trusting their files as
// they are now, and rewrites the checksum list of each folder they lie in; a
// list there that Kelvado did not write is kept aside first, as after a save.
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
        const ManifestUpdate update = updateManifest(folder);
        if (!update.error.isEmpty())
            return failed(update.error);
        if (!update.keptAs.isEmpty())
            Console::error(QStringLiteral("kelvado: ") + update.keptText(folder));
    }
    if (!summed.isEmpty())
        Console::error(QStringLiteral("kelvado: Sums recorded: %1.").arg(summed.size()));
    return true;
}

} // namespace

// Reads every recording the record names again, in the folder the command
// holds alone; checking changes nothing unless sums are to be added.
int runVerify(const StartRequest &request)
{
    const bool addSums = request.addMissingSums;
    if (!QFileInfo(resolveFileName(SavedRecords::fileName())).isFile())
        return refused(QStringLiteral("No record of saved recordings (%1) in '%2'.")
                           .arg(SavedRecords::fileName(), QDir::currentPath()));

    FixityCheck check(SavedRecords::loadAll().recordings, addSums);
    FixityTally tally;
    QList<SavedRecording> summed;
    int shownPercent = -1;
    QObject::connect(&check, &FixityCheck::progress, [&shownPercent](qint64 done, qint64 total) {
        const int percent = total > 0 ? int(done * 100 / total) : 100;
        if (percent != std::exchange(shownPercent, percent))
            Console::progress(QStringLiteral("kelvado: verifying"), QStringLiteral("%1 % read").arg(percent));
    });
    QObject::connect(&check, &FixityCheck::checked, [&](const FixityResult &result) {
        Console::endProgress();
        tally.add(result.verdict);
        Console::out(QStringList{verdictName(result.verdict), Console::field(result.recording.recorderName),
                                 Console::field(result.recording.path)}
                         .join(u'\t'));
        if (!result.reason.isEmpty())
            Console::error(QStringLiteral("kelvado: %1: %2").arg(result.recording.path, result.reason));
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
    const auto endIfSignalled = [&endedBy] {
        if (endedBy != 0) {
            std::signal(endedBy, SIG_DFL);
            std::raise(endedBy);
        }
    };
    check.start();
    QCoreApplication::exec();
    endIfSignalled();
    Console::endProgress();
    Console::out(tally.text());
    // Sums being recorded are recorded whole; a signal meanwhile ends the program after that.
    const bool recorded = recordSums(summed);
    QCoreApplication::processEvents();
    endIfSignalled();
    if (!recorded)
        return CommandLine::kUsageStatus;
    return tally.allWell() ? 0 : 1;
}
