#pragma once
// Reads Guide.txt the way Kelvado will: records start at "Show #" lines,
// fields are found by their line prefix. Checks the layout on the way.

#include <string>
#include <vector>

namespace rectest {

struct GuideShow {
    std::string title, quality, recorded, fileName, duration, description;
};

struct Guide {
    std::vector<std::string> header; // lines before the first "Show #"
    std::vector<GuideShow> shows;
};

// Parses text and CHECKs CR LF line ends, record numbering, field order and
// value positions; REQUIREs that every record has all fields.
Guide parseAndCheckGuide(const std::string& text);

} // namespace rectest
