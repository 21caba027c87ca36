#include "GuideParse.h"

#include "TestSupport.h"

namespace rectest {

namespace {

// Index of the single line starting with prefix, REQUIREd to exist once.
std::size_t fieldLine(const std::vector<std::string>& lines, const std::string& prefix)
{
    std::size_t found = lines.size();
    int count = 0;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (startsWith(lines[i], prefix)) {
            found = i;
            ++count;
        }
    if (!CHECK_EQ(count, 1)) {
        reportFailure(__FILE__, __LINE__, "field prefix: \"" + prefix + "\"");
        throw RequireFailed();
    }
    return found;
}

bool isDigits(const std::string& s)
{
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

GuideShow checkShow(const std::vector<std::string>& lines, std::size_t number)
{
    REQUIRE_EQ(lines.at(0), "Show #" + std::to_string(number));
    REQUIRE(lines.size() > 1 && startsWith(lines[1], "Title:"));
    const std::size_t q = fieldLine(lines, "Quality: ");
    const std::size_t r = fieldLine(lines, "Recorded: ");
    const std::size_t f = fieldLine(lines, "Filename: ");
    const std::size_t d = fieldLine(lines, "Duration: ");
    const std::size_t desc = fieldLine(lines, "Description: ");
    CHECK(1 < q && q < r && r < f && f < d && d < desc);
    // Other lines sit between the fields, as in a real dump.
    CHECK(d - 1 > 4);
    for (std::size_t i = 1; i < lines.size(); ++i)
        if (i != desc && !CHECK(lines[i].find(',') == std::string::npos))
            reportFailure(__FILE__, __LINE__, "comma in line: " + lines[i]);

    GuideShow show;
    show.title = lines[1].substr(6);
    show.quality = lines[q].substr(9);    // value starts at character 10
    show.recorded = lines[r].substr(10);  // ... at character 11
    show.fileName = lines[f].substr(10);
    show.duration = lines[d].substr(10);
    show.description = lines[desc].substr(13);
    CHECK(show.recorded.size() == 19 && show.recorded[10] == ' ');
    CHECK(show.duration.size() >= 7 && isDigits(show.duration.substr(0, show.duration.size() - 4))
          && show.duration.substr(show.duration.size() - 4) == " min");
    return show;
}

} // namespace

Guide parseAndCheckGuide(const std::string& text)
{
    bool bareLineFeeds = false;
    const std::vector<std::string> lines = splitCrLf(text, bareLineFeeds);
    CHECK(!bareLineFeeds);
    CHECK(!text.empty() && text.size() >= 2 && text.substr(text.size() - 2) == "\r\n");

    Guide guide;
    std::size_t i = 0;
    while (i < lines.size() && !startsWith(lines[i], "Show #"))
        guide.header.push_back(lines[i++]);
    while (i < lines.size()) {
        std::vector<std::string> record;
        while (i < lines.size() && !lines[i].empty())
            record.push_back(lines[i++]);
        // Each record ends with one blank line.
        REQUIRE(i < lines.size());
        ++i;
        guide.shows.push_back(checkShow(record, guide.shows.size() + 1));
    }
    return guide;
}

} // namespace rectest
