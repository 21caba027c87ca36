#pragma once

#include "guide/GuideFile.h"
#include "runner/StallWatch.h"

// Get Guide without the window: the transfer tool fetches "Guide.dat", the
// helper turns it into "Guide.txt", and that is read and parsed.
struct GuideFetch
{
    enum class Outcome
    {
        Listed,    // parsed: the titles can be listed
        NotListed, // nothing to list; message says why
        Abandoned, // the window was closed during a tool's run: the program is ending
    };
    Outcome outcome = Outcome::NotListed;
    GuideParseResult parsed;
    QString message; // for NotListed, what went wrong; for Listed, records left out (may be empty)
};

// The address goes to the tool exactly as typed. A tool that neither ends nor
// writes for the running limit is stopped and its file is not used.
GuideFetch fetchGuide(const QString &address, int capacity, StallLimits limits, const ReadProgress &progress = {});
