#include "guide/GuideFile.h"

#include "common/FieldReader.h"
#include "common/LineStream.h"
#include "guide/GuideRules.h"
#include "guide/WorkingFiles.h"

#include <QFile>

namespace {
constexpr int kLinesBetweenProgress = 4096;
}

GuideParseResult parseGuideLines(LineStream &lines, int capacity, const ReadProgress &progress)
{
    int linesRead = 0;
    // Every few thousand lines, and for every block read: a line of any length
    // keeps the window painting.
    if (progress)
        lines.setBlockRead(progress);
    FieldReader reader(
        [&](QString &text) {
            if (!lines.next(text))
                return false;
            if (progress && ++linesRead % kLinesBetweenProgress == 0)
                progress();
            return true;
        },
        GuideRules::kCharsUsed);
    return parseGuide(reader, capacity);
}

GuideFileRead readGuideFile(const QString &name, int capacity, const ReadProgress &progress)
{
    GuideFileRead read;
    QFile file;
    read.status = openWorkingFile(name, file, &read.error);
    if (read.status != GuideFileRead::Status::Ok)
        return read;
    LineStream lines(file);
    read.parsed = parseGuideLines(lines, capacity, progress);
    if (lines.failed()) {
        read.status = GuideFileRead::Status::Unreadable;
        read.error = file.errorString();
        read.parsed = {};
        return read;
    }
    return read;
}
