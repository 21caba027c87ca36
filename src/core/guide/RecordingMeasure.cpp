#include "guide/RecordingMeasure.h"

#include "guide/FileStatReader.h"
#include "guide/GuideMessages.h"
#include "guide/WorkingFiles.h"
#include "runner/FileNames.h"
#include "runner/ToolRunner.h"

namespace {
QString fileStatName()
{
    return QStringLiteral("FStat.txt");
}
// The helper writes one short line; a size not found in this much is no size.
constexpr qint64 kFileStatPrefix = 4096;
}

Measurement measureRecording(const QString &guideField, StallLimits limits)
{
    Measurement result;
    const QString fileName = usableRecorderName(guideField);
    // "guide" would ask the helper for the whole guide instead of a size.
    if (fileName.isEmpty() || fileName.compare(QLatin1String("guide"), Qt::CaseInsensitive) == 0)
        return result;
    if (!removeWorkingFile(fileStatName(), &result.deleteError))
        return result; // whatever is there now would not be this recording's size

    const ToolRunResult run = ShellAndWait({QStringLiteral("Tamrick"), {fileName}}, {fileStatName(), limits});
    if (run.abandoned) {
        result.abandoned = true;
        return result;
    }

    // A helper stopped as stuck may have left half a line.
    const TextFileRead file = run.stalled ? TextFileRead{} : readWorkingTextFile(fileStatName(), kFileStatPrefix);
    if (file.status == TextFileRead::Status::Ok) {
        const FileStatReading reading = readFileStat(file.text);
        result.size = reading.size;
        result.measured = reading.ok();
    }
    if (run.stalled || file.status != TextFileRead::Status::Missing)
        removeWorkingFile(fileStatName(), &result.deleteError);
    return result;
}

TaggingTotals measureTitles(const QList<TitleToMeasure> &titles, StallLimits limits)
{
    TaggingTotals totals;
    QStringList notMeasured;
    QStringList deleteErrors;
    for (const TitleToMeasure &title : titles) {
        const Measurement measurement = measureRecording(title.recorderName, limits);
        if (measurement.abandoned) {
            totals.abandoned = true;
            return totals;
        }
        totals.sizes.append(measurement.size);
        totals.total += measurement.size;
        if (!measurement.measured)
            notMeasured << GuideMessages::titleForMessage(title.title, title.recorderName);
        if (!measurement.deleteError.isEmpty() && !deleteErrors.contains(measurement.deleteError))
            deleteErrors << measurement.deleteError;
    }
    if (!notMeasured.isEmpty())
        totals.messages << GuideMessages::titlesNotMeasured(notMeasured);
    if (!deleteErrors.isEmpty())
        totals.messages << deleteErrors.join(u'\n');
    return totals;
}
