#include "CatalogText.h"

#include "NumberText.h"

#include <limits>
#include <set>

namespace recorder {

const Recording* findRecording(const Catalog& catalog, const std::string& fileName)
{
    for (const Recording& r : catalog)
        if (r.fileName == fileName)
            return &r;
    return nullptr;
}

namespace {

std::vector<std::string> splitTabs(const std::string& line)
{
    std::vector<std::string> columns;
    std::string::size_type start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        columns.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return columns;
        start = tab + 1;
    }
}

bool isValidUtf8(const std::string& s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t extra;
        std::uint32_t cp;
        if (c < 0x80) { ++i; continue; }
        if (c >= 0xc2 && c <= 0xdf) { extra = 1; cp = c & 0x1f; }
        else if (c >= 0xe0 && c <= 0xef) { extra = 2; cp = c & 0x0f; }
        else if (c >= 0xf0 && c <= 0xf4) { extra = 3; cp = c & 0x07; }
        else return false;
        if (i + extra >= s.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xc0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3f);
        }
        // Overlong forms, surrogates and values beyond U+10FFFF.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000)
            || (cp >= 0xd800 && cp <= 0xdfff) || cp > 0x10ffff)
            return false;
        i += extra + 1;
    }
    return true;
}

bool hasControlChar(const std::string& s)
{
    for (unsigned char c : s)
        if (c < 0x20 || c == 0x7f)
            return true;
    return false;
}

bool allDigits(const std::string& s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

int twoDigits(const std::string& s, std::size_t pos)
{
    return (s[pos] - '0') * 10 + (s[pos + 1] - '0');
}

bool isValidDate(const std::string& s)
{
    if (s.size() != 10 || s[2] != '/' || s[5] != '/')
        return false;
    if (!allDigits(s.substr(0, 2)) || !allDigits(s.substr(3, 2)) || !allDigits(s.substr(6, 4)))
        return false;
    const int month = twoDigits(s, 0);
    const int day = twoDigits(s, 3);
    const int year = std::stoi(s.substr(6, 4));
    static const int monthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > monthDays[month - 1])
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return !(month == 2 && day == 29 && !leap);
}

bool isValidTime(const std::string& s)
{
    if (s.size() != 8 || s[2] != ':' || s[5] != ':')
        return false;
    if (!allDigits(s.substr(0, 2)) || !allDigits(s.substr(3, 2)) || !allDigits(s.substr(6, 2)))
        return false;
    return twoDigits(s, 0) <= 23 && twoDigits(s, 3) <= 59 && twoDigits(s, 6) <= 59;
}

Recording parseLine(const std::string& line, int lineNumber)
{
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    const std::vector<std::string> c = splitTabs(line);
    if (c.size() != 7)
        throw CatalogSyntaxError(where + "expected 7 TAB-separated columns "
                                 "(title, quality, date, time, filename, duration, size), found "
                                 + std::to_string(c.size()));
    Recording r;
    r.title = c[0];
    if (!isValidUtf8(r.title) || hasControlChar(r.title))
        throw CatalogSyntaxError(where + "title is not valid UTF-8 text without control characters");
    r.quality = c[1];
    if (r.quality != "Standard" && r.quality != "Medium" && r.quality != "High")
        throw CatalogSyntaxError(where + "quality \"" + c[1] + "\" is not Standard, Medium or High");
    r.date = c[2];
    if (!isValidDate(r.date))
        throw CatalogSyntaxError(where + "date \"" + c[2] + "\" is not a valid MM/DD/YYYY date");
    r.time = c[3];
    if (!isValidTime(r.time))
        throw CatalogSyntaxError(where + "time \"" + c[3] + "\" is not a valid HH:MM:SS time");
    r.fileName = c[4];
    if (r.fileName.empty() || r.fileName == "." || r.fileName == ".."
        || r.fileName.find('/') != std::string::npos || hasControlChar(r.fileName)
        || !isValidUtf8(r.fileName))
        throw CatalogSyntaxError(where + "filename \"" + c[4]
                                 + "\" is empty, \".\", \"..\", or contains '/' or control characters");
    std::uint64_t duration = 0;
    if (!parseUnsigned(c[5], std::numeric_limits<std::uint32_t>::max(), duration))
        throw CatalogSyntaxError(where + "duration \"" + c[5] + "\" is not a whole number of minutes");
    r.durationMinutes = static_cast<std::uint32_t>(duration);
    if (!parseUnsigned(c[6], std::numeric_limits<std::uint64_t>::max(), r.sizeBytes))
        throw CatalogSyntaxError(where + "size \"" + c[6] + "\" is not a whole number of bytes");
    return r;
}

bool isBlank(const std::string& line)
{
    return line.find_first_not_of(" \t\r") == std::string::npos;
}

} // namespace

Catalog parseCatalogText(const std::string& text, int firstLineNumber)
{
    Catalog catalog;
    std::set<std::string> names;
    std::string::size_type start = 0;
    // A leading byte order mark is tolerated: editors add it to UTF-8 files.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3;
    int lineNumber = firstLineNumber;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        // CR LF files are accepted too.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!isBlank(line) && line[0] != '#') {
            Recording r = parseLine(line, lineNumber);
            if (!names.insert(r.fileName).second)
                throw CatalogSyntaxError("line " + std::to_string(lineNumber) + ": filename \""
                                         + r.fileName + "\" appears twice");
            catalog.push_back(std::move(r));
        }
        ++lineNumber;
    }
    return catalog;
}

std::string formatCatalogLine(const Recording& r)
{
    return r.title + '\t' + r.quality + '\t' + r.date + '\t' + r.time + '\t' + r.fileName + '\t'
           + std::to_string(r.durationMinutes) + '\t' + std::to_string(r.sizeBytes);
}

} // namespace recorder
