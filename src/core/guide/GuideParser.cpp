#include "guide/GuideParser.h"

#include "guide/GuideRules.h"
#include "common/FieldReader.h"

#include <optional>

namespace {

constexpr QStringView kRecordStart = u"Show #";
constexpr QStringView kQualityMarker = u"Quality:";
constexpr QStringView kRecordedMarker = u"Recorded:";
constexpr QStringView kFilenameMarker = u"Filename:";
constexpr QStringView kDurationMarker = u"Duration:";

// Reads fields until one begins with the marker, testing the field already
// held first. Nothing when the text ends before such a field.
std::optional<QString> scanFor(FieldReader &reader, QString held, QStringView marker)
{
    while (!held.startsWith(marker)) {
        if (reader.atEnd())
            return std::nullopt;
        held = reader.readField();
    }
    return held;
}

// The rest of one record, after its "Show #" line. Nothing when the text ends
// inside it.
std::optional<GuideEntry> readRecord(FieldReader &reader)
{
    if (reader.atEnd())
        return std::nullopt;
    // The title stands after the line's first colon, however far along it is.
    const QString titleLine = reader.readLine(u':');

    const auto quality = scanFor(reader, titleLine, kQualityMarker);
    if (!quality)
        return std::nullopt;
    const auto recorded = scanFor(reader, *quality, kRecordedMarker);
    if (!recorded)
        return std::nullopt;
    const auto filename = scanFor(reader, *recorded, kFilenameMarker);
    if (!filename)
        return std::nullopt;
    const auto duration = scanFor(reader, *filename, kDurationMarker);
    if (!duration)
        return std::nullopt;

    GuideEntry entry;
    entry.title = GuideRules::titleFromLine(titleLine);
    entry.recordDate = GuideRules::recordedDate(*recorded);
    entry.fileName = GuideRules::recorderFileName(*filename);
    entry.duration = GuideRules::durationValue(*duration);
    entry.row = GuideRules::listRow(entry.title, GuideRules::qualityColumn(*quality), entry.duration,
                                    entry.recordDate);
    return entry;
}

} // namespace

GuideParseResult parseGuide(const QString &text, int capacity)
{
    FieldReader reader(text);
    return parseGuide(reader, capacity);
}

GuideParseResult parseGuide(FieldReader &reader, int capacity)
{
    GuideParseResult result;
    while (!reader.atEnd()) {
        if (!reader.readLine().startsWith(kRecordStart))
            continue;
        std::optional<GuideEntry> entry = readRecord(reader);
        if (!entry) {
            ++result.incompleteRecords;
            break; // the text has ended
        }
        if (result.entries.size() < capacity)
            result.entries.append(std::move(*entry));
        else
            ++result.leftOut;
    }
    return result;
}
