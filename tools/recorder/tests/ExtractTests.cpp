// "Tolvane ADDRESS -e NAME [DELAY]": content, size, refusals and pacing.

#include "GuideParse.h"
#include "Harness.h"

#include <chrono>
#include <thread>

using namespace rectest;
using Clock = std::chrono::steady_clock;

RECORDER_TEST(extract_content)
{
    Harness h;
    h.env["SIMREC_CATALOG"] = h.auxFile("catalog.tsv", testCatalogText());
    h.env["SIMREC_RATE"] = "0";
    // A stale, longer file must be replaced, not overwritten in place.
    writeFile(h.inWork("small.mpg"), std::string(400000, 'J'));
    for (const CatalogRow& row : testRows()) {
        const RunResult r = h.run("Tolvane", {"192.168.1.20", "-e", row.fileName, "30"});
        CHECK_EQ(r.exitCode, 0);
        REQUIRE(fileExists(h.inWork(row.fileName)));
        CHECK_EQ(fileSize(h.inWork(row.fileName)), row.size);
        CHECK_EQ(firstContentMismatch(h.inWork(row.fileName), row.fileName), -1);
        CHECK_EQ(statSize(h, row.fileName), row.size);
    }
    // Without DELAY as well.
    std::filesystem::remove(h.inWork("small.mpg"));
    CHECK_EQ(h.run("Tolvane", {"addr", "-e", "small.mpg"}).exitCode, 0);
    CHECK_EQ(fileSize(h.inWork("small.mpg")), 300001u);
}

RECORDER_TEST(extract_demo_recording)
{
    Harness h;
    h.env["SIMREC_RATE"] = "0";
    REQUIRE_EQ(h.run("Tolvane", {"addr", "-g"}).exitCode, 0);
    REQUIRE_EQ(h.run("Tamrick", {"guide"}).exitCode, 0);
    const Guide g = parseAndCheckGuide(readFile(h.inWork("Guide.txt")));
    REQUIRE(g.shows.size() > 5);
    const std::string name = g.shows[5].fileName;
    const std::uint64_t size = statSize(h, name);
    REQUIRE_EQ(h.run("Tolvane", {"addr", "-e", name, "0"}).exitCode, 0);
    CHECK_EQ(fileSize(h.inWork(name)), size);
    CHECK_EQ(firstContentMismatch(h.inWork(name), name), -1);
}

RECORDER_TEST(extract_refusals)
{
    Harness h;
    h.env["SIMREC_CATALOG"] = h.auxFile("catalog.tsv", testCatalogText());
    for (const std::string name : {"9999.mpg", "../escape.mpg", ".", "..", "a/b.mpg", ""}) {
        const RunResult r = h.run("Tolvane", {"addr", "-e", name});
        if (!CHECK_EQ(r.exitCode, 1))
            reportFailure(__FILE__, __LINE__, "name: " + name);
        CHECK(!r.err.empty());
    }
    CHECK_EQ(h.workEntryCount(), 0u);
    CHECK(!fileExists(h.box.root / "escape.mpg"));
}

RECORDER_TEST(extract_rate_paces)
{
    Harness h;
    h.env["SIMREC_CATALOG"] = h.auxFile("catalog.tsv", testCatalogText());
    h.env["SIMREC_RATE"] = "200000";
    const std::uint64_t total = 300001;
    const Clock::time_point start = Clock::now();
    Process p(h.invocation("Tolvane", {"addr", "-e", "small.mpg"}));
    bool sawPartial = false;
    while (p.running()) {
        const std::uint64_t size = fileSize(h.inWork("small.mpg"));
        sawPartial = sawPartial || (size > 0 && size < total);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    CHECK_EQ(p.wait().exitCode, 0);
    // 300001 bytes at 200000 B/s: sleeps make 1.5 s (less one chunk) a floor.
    CHECK(seconds >= 1.3);
    CHECK(sawPartial);
    CHECK_EQ(fileSize(h.inWork("small.mpg")), total);
    CHECK_EQ(firstContentMismatch(h.inWork("small.mpg"), "small.mpg"), -1);
}

RECORDER_TEST(extract_default_rate)
{
    // Unset SIMREC_RATE means 2000000 B/s, not "unlimited".
    Harness h;
    h.env["SIMREC_CATALOG"] = h.auxFile("catalog.tsv", testCatalogText());
    const Clock::time_point start = Clock::now();
    CHECK_EQ(h.run("Tolvane", {"addr", "-e", "1077000000.mpg"}).exitCode, 0);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    CHECK(seconds >= 0.4);
    CHECK_EQ(fileSize(h.inWork("1077000000.mpg")), 1000003u);
}
