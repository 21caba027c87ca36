#include "GuideListing.h"

#include "Console.h"
#include "archive/SaveFolderSetting.h"
#include "archive/SavedRecords.h"
#include "common/TextTrim.h"
#include "guide/GuideFetch.h"
#include "runner/FileNames.h"
#include "settings/SettingsFile.h"
#include "startup/CommandLine.h"
#include "startup/FolderStart.h"

#include <QSet>

#include <optional>

namespace {
// As many recordings as the window's list holds.
constexpr int kGuideRows = 201;

std::optional<CommandConnection> commandConnection(const StartRequest &request)
{
    StoredSettings stored;
    if (FileExists(kSettingsFileName) && !readSettingsFile(&stored))
        Console::error(QStringLiteral("kelvado: %1 cannot be read.").arg(kSettingsFileName));
    CommandConnection connection{request.address.value_or(stored.address), request.delay.value_or(stored.delay)};
    if (connection.address.isEmpty()) {
        Console::error(QStringLiteral("kelvado: No recorder address: set one in the window or give --address."));
        return std::nullopt;
    }
    if (withoutTrailingBlanks(connection.delay).isEmpty())
        connection.delay = QStringLiteral("Default");
    return connection;
}

std::optional<QList<ListedRecording>> listRecordings(const QString &address)
{
    startInWorkingFolder(readSaveFolder());
    const GuideFetch fetch = fetchGuide(address, kGuideRows, {});
    if (fetch.outcome != GuideFetch::Outcome::Listed) {
        if (!fetch.message.isEmpty())
            Console::error(Console::oneLine(fetch.message));
        return std::nullopt;
    }
    if (!fetch.message.isEmpty())
        Console::error(Console::oneLine(fetch.message));

    QSet<QByteArray> keys;
    for (const GuideEntry &entry : fetch.parsed.entries)
        keys.insert(SavedRecords::key(entry.fileName, entry.title, entry.recordDate));
    const SavedRecords record = SavedRecords::load(keys);
    QList<ListedRecording> recordings;
    for (const GuideEntry &entry : fetch.parsed.entries)
        recordings.append({entry, record.find(entry.fileName, entry.title, entry.recordDate) != nullptr});
    return recordings;
}

} // namespace

CommandGuide commandGuide(const StartRequest &request)
{
    CommandGuide guide;
    const std::optional<CommandConnection> connection = commandConnection(request);
    if (!connection) {
        guide.status = CommandLine::kUsageStatus;
        return guide;
    }
    guide.connection = *connection;
    std::optional<QList<ListedRecording>> recordings = listRecordings(connection->address);
    if (!recordings)
        guide.status = CommandLine::kFailedStatus;
    else
        guide.recordings = std::move(*recordings);
    return guide;
}

QString plainTitle(const GuideEntry &entry)
{
    return withoutTrailingBlanks(entry.title);
}

QString listLine(const ListedRecording &recording)
{
    const GuideEntry &entry = recording.entry;
    return QStringList{Console::field(entry.fileName), Console::field(plainTitle(entry)),
                       Console::field(entry.recordDate), Console::field(entry.duration.trimmed()),
                       recording.saved ? QStringLiteral("saved") : QStringLiteral("new")}
        .join(u'\t');
}
