#pragma once

#include "guide/GuideParser.h"
#include "guide/WorkingFiles.h"

#include <functional>

class LineStream;

// The guide file read and parsed as it streams in: memory stays bounded
// whatever its size or the length of its lines, and every line is decoded on
// its own.
struct GuideFileRead
{
    using Status = TextFileRead::Status;
    Status status = Status::Missing;
    QString error; // for Unreadable, why
    GuideParseResult parsed;
};

// Called every few thousand lines, so the caller can keep its window painting.
using ReadProgress = std::function<void()>;

// Parses the guide as its lines arrive. Every line is read to its end, so the
// records are those of the whole text read at once; of a field only as much is
// kept as the guide's rules look at.
GuideParseResult parseGuideLines(LineStream &lines, int capacity, const ReadProgress &progress = {});

// Reads the guide file of that name (any letter case) from the working folder;
// only a regular file is read.
GuideFileRead readGuideFile(const QString &name, int capacity, const ReadProgress &progress = {});
