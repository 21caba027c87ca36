#include "GuideFile.h"

#include "common/FieldReader.h"
#include "common/LineStream.h"
#include "common/TextCodec.h"
#include "runner/FileNames.h"
#include "runner/RegularFile.h"

#include <QFile>
#include <QFileInfo>

namespace {
constexpr int kLinesBetweenProgress = 4096;
}

GuideParseResult parseGuideLines(LineStream &lines, int capacity, const ReadProgress &progress)
{
    int linesRead = 0;
    QByteArray line, ending;
    FieldReader reader([&](QString &text) {
        if (!lines.next(line, ending))
            return false;
        text += decodeText(line);
        text += QLatin1String(ending);
        if (progress && ++linesRead % kLinesBetweenProgress == 0)
            progress();
        return true;
    });
    return parseGuide(reader, capacity);
}

GuideFileRead readGuideFile(const QString &name, int capacity, const ReadProgress &progress)
{
    GuideFileRead read;
    const QString path = resolveFileName(name);
    QFileInfo info(path);
    info.setCaching(false);
    if (!info.exists())
        return read;
    QFile file;
    if (!openRegularFile(file, path, QIODevice::ReadOnly, &read.error)) {
        read.status = GuideFileRead::Status::Unreadable;
        return read;
    }
    LineStream lines(file);
    read.parsed = parseGuideLines(lines, capacity, progress);
    if (lines.failed()) {
        read.status = GuideFileRead::Status::Unreadable;
        read.error = file.errorString();
        read.parsed = {};
        return read;
    }
    read.status = GuideFileRead::Status::Ok;
    return read;
}
