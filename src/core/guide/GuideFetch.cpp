#include "guide/GuideFetch.h"

#include "common/UserMessage.h"
#include "guide/GuideMessages.h"
#include "runner/ToolRunner.h"

namespace {

QString guideFileName()
{
    return QStringLiteral("Guide.txt");
}

QString guideDataName()
{
    return QStringLiteral("Guide.dat");
}

// A tool stopped as stuck may have left its file half written: it goes, so
// that no later step takes it for whole. False when it is still there.
bool dropPartialFile(const QString &name)
{
    QString error;
    if (removeWorkingFile(name, &error))
        return true;
    tellUser(error);
    return false;
}

} // namespace

GuideFetch fetchGuide(const QString &address, int capacity, StallLimits limits, const ReadProgress &progress)
{
    GuideFetch fetch;
    const ToolRunResult fetched =
        ShellAndWait({QStringLiteral("Tolvane"), {address, QStringLiteral("-g")}}, {guideDataName(), limits});
    if (fetched.abandoned) {
        fetch.outcome = GuideFetch::Outcome::Abandoned;
        return fetch;
    }
    // The helper goes on as after any failed fetch, but never from a partial Guide.dat.
    bool guideTrusted = !fetched.stalled || dropPartialFile(guideDataName());
    if (guideTrusted) {
        const ToolRunResult converted =
            ShellAndWait({QStringLiteral("Tamrick"), {QStringLiteral("guide")}}, {guideFileName(), limits});
        if (converted.abandoned) {
            fetch.outcome = GuideFetch::Outcome::Abandoned;
            return fetch;
        }
        if (converted.stalled) {
            guideTrusted = false;
            dropPartialFile(guideFileName());
        }
    }

    const GuideFileRead guide = guideTrusted ? readGuideFile(guideFileName(), capacity, progress) : GuideFileRead{};
    if (guide.status != GuideFileRead::Status::Ok) {
        fetch.message = guide.status == GuideFileRead::Status::Missing ? GuideMessages::guideMissing()
                                                                       : GuideMessages::guideUnreadable(guide.error);
        return fetch;
    }
    fetch.outcome = GuideFetch::Outcome::Listed;
    fetch.parsed = guide.parsed;
    fetch.message = GuideMessages::guideShortfall(fetch.parsed.incompleteRecords, fetch.parsed.leftOut, capacity);
    return fetch;
}
