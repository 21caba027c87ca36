// Guide.dat / Guide.txt: "Tolvane ADDRESS -g" then "Tamrick guide".

#include "GuideParse.h"
#include "Harness.h"

#include <set>

using namespace rectest;

namespace {

Guide fetchGuide(const Harness& h)
{
    REQUIRE_EQ(h.run("Tolvane", {"192.168.1.20", "-g"}).exitCode, 0);
    REQUIRE(fileExists(h.inWork("Guide.dat")));
    const RunResult r = h.run("Tamrick", {"guide"});
    REQUIRE_EQ(r.exitCode, 0);
    REQUIRE(fileExists(h.inWork("Guide.txt")));
    return parseAndCheckGuide(readFile(h.inWork("Guide.txt")));
}

std::size_t codePoints(const std::string& utf8)
{
    std::size_t n = 0;
    for (unsigned char c : utf8)
        if ((c & 0xc0) != 0x80)
            ++n;
    return n;
}

bool anyTitle(const Guide& g, bool (*pred)(const std::string&))
{
    for (const GuideShow& s : g.shows)
        if (pred(s.title))
            return true;
    return false;
}

} // namespace

RECORDER_TEST(guide_demo)
{
    Harness h;
    const Guide g = fetchGuide(h);
    REQUIRE_EQ(g.shows.size(), 12u);
    bool totalLine = false;
    for (const std::string& line : g.header) {
        CHECK(!startsWith(line, "Show #"));
        totalLine = totalLine || line == "Total shows: 12";
    }
    CHECK(totalLine);

    // The demo titles must exercise every awkward case Kelvado handles.
    CHECK(anyTitle(g, [](const std::string& t) { return t.find('(') != std::string::npos && t.find(')') != std::string::npos; }));
    CHECK(anyTitle(g, [](const std::string& t) { return t.find('"') != std::string::npos; }));
    CHECK(anyTitle(g, [](const std::string& t) { return t.find(':') != std::string::npos; }));
    CHECK(anyTitle(g, [](const std::string& t) { return t.find(';') != std::string::npos; }));
    CHECK(anyTitle(g, [](const std::string& t) { return t.find('/') != std::string::npos; }));
    CHECK(anyTitle(g, [](const std::string& t) { return codePoints(t) > 58; }));
    CHECK(anyTitle(g, [](const std::string& t) {
        for (unsigned char c : t)
            if (c >= 0x80)
                return true;
        return false;
    }));

    std::set<std::string> qualities, names;
    std::set<std::uint64_t> sizes;
    bool descriptionComma = false;
    for (const GuideShow& s : g.shows) {
        qualities.insert(s.quality);
        names.insert(s.fileName);
        descriptionComma = descriptionComma || s.description.find(',') != std::string::npos;
        CHECK(s.fileName.size() <= 26 && s.fileName.size() > 4);
        CHECK(s.fileName.substr(s.fileName.size() - 4) == ".mpg");
        CHECK(s.fileName.find_first_not_of("0123456789") == s.fileName.size() - 4);
        const int year = std::stoi(s.recorded.substr(6, 4));
        CHECK(year >= 2002 && year <= 2005);
        CHECK(std::stoi(s.duration) > 0);
        const std::uint64_t size = statSize(h, s.fileName);
        CHECK(size >= 2000000 && size <= 6 * 1048576);
        sizes.insert(size);
    }
    CHECK((qualities == std::set<std::string>{"Standard", "Medium", "High"}));
    CHECK_EQ(names.size(), 12u);
    CHECK(sizes.size() >= 10);
    CHECK(descriptionComma);
}

RECORDER_TEST(guide_catalog_file)
{
    Harness h;
    h.env["SIMREC_CATALOG"] = h.auxFile("catalog.tsv", testCatalogText());
    const Guide g = fetchGuide(h);
    REQUIRE_EQ(g.shows.size(), testRows().size());
    bool totalLine = false;
    for (const std::string& line : g.header)
        totalLine = totalLine || line == "Total shows: " + std::to_string(testRows().size());
    CHECK(totalLine);
    const char* const durations[] = {"005 min", "1234 min", "000 min", "030 min"};
    for (std::size_t i = 0; i < testRows().size(); ++i) {
        const CatalogRow& row = testRows()[i];
        const GuideShow& s = g.shows[i];
        CHECK_EQ(s.title, row.title);
        CHECK_EQ(s.quality, row.quality);
        CHECK_EQ(s.recorded, row.date + " " + row.time);
        CHECK_EQ(s.fileName, row.fileName);
        CHECK_EQ(s.duration, std::string(durations[i]));
    }
}

RECORDER_TEST(guide_snapshot)
{
    // Guide.txt comes from Guide.dat, not from whatever catalog is current.
    Harness h;
    h.env["SIMREC_CATALOG"] = h.auxFile("catalog.tsv", testCatalogText());
    REQUIRE_EQ(h.run("Tolvane", {"10.0.0.2", "-g"}).exitCode, 0);
    h.env.erase("SIMREC_CATALOG");
    REQUIRE_EQ(h.run("Tamrick", {"guide"}).exitCode, 0);
    const Guide g = parseAndCheckGuide(readFile(h.inWork("Guide.txt")));
    REQUIRE_EQ(g.shows.size(), testRows().size());
    CHECK_EQ(g.shows[0].title, testRows()[0].title);
}

RECORDER_TEST(guide_missing_or_corrupt_dat)
{
    Harness h;
    RunResult r = h.run("Tamrick", {"guide"});
    CHECK_EQ(r.exitCode, 1);
    CHECK(!r.err.empty());
    CHECK(!fileExists(h.inWork("Guide.txt")));

    writeFile(h.inWork("Guide.dat"), "not a guide\n");
    r = h.run("Tamrick", {"guide"});
    CHECK_EQ(r.exitCode, 1);
    CHECK(!r.err.empty());
    CHECK(!fileExists(h.inWork("Guide.txt")));

    // A valid snapshot with one damaged record is rejected as well.
    REQUIRE_EQ(h.run("Tolvane", {"addr", "-g"}).exitCode, 0);
    std::string dat = readFile(h.inWork("Guide.dat"));
    const auto tab = dat.rfind('\t');
    REQUIRE(tab != std::string::npos);
    dat[tab + 1] = 'x';
    writeFile(h.inWork("Guide.dat"), dat);
    r = h.run("Tamrick", {"guide"});
    CHECK_EQ(r.exitCode, 1);
    CHECK(!fileExists(h.inWork("Guide.txt")));
}

RECORDER_TEST(guide_file_override)
{
    Harness h;
    // Bare LF, CR LF, NUL and every other byte value must pass unchanged.
    std::string bytes = "Show #1\nnot CR LF\r\n";
    bytes += std::string("\0tail", 5);
    for (int i = 0; i < 5000; ++i)
        bytes += static_cast<char>((i * 131 + 7) & 0xff);
    h.env["SIMREC_GUIDE_FILE"] = h.auxFile("hand-made.txt", bytes);
    // No Guide.dat exists: the override needs nothing else.
    const RunResult r = h.run("Tamrick", {"guide"});
    CHECK_EQ(r.exitCode, 0);
    CHECK(readFile(h.inWork("Guide.txt")) == bytes);

    h.env["SIMREC_GUIDE_FILE"] = (h.box.aux / "missing.txt").string();
    std::filesystem::remove(h.inWork("Guide.txt"));
    CHECK_EQ(h.run("Tamrick", {"guide"}).exitCode, 2);
    CHECK(!fileExists(h.inWork("Guide.txt")));
}
