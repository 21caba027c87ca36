// SIMREC_FAULT and SIMREC_FAULT_FILE.

#include "Harness.h"

#include <chrono>
#include <csignal>
#include <thread>

using namespace rectest;

namespace {

void setUp(Harness& h, const std::string& fault)
{
    h.env["SIMREC_CATALOG"] = h.auxFile("catalog.tsv", testCatalogText());
    h.env["SIMREC_RATE"] = "0";
    h.env["SIMREC_FAULT"] = fault;
}

const std::string kBig = "1077000000.mpg"; // 1000003 bytes in the test catalog

} // namespace

RECORDER_TEST(fault_exit)
{
    Harness h;
    setUp(h, "exit");
    const RunResult r = h.run("Tolvane", {"addr", "-e", kBig});
    CHECK_EQ(r.exitCode, 0);
    CHECK(!fileExists(h.inWork(kBig)));
}

RECORDER_TEST(fault_stop)
{
    Harness h;
    setUp(h, "stop:123457");
    CHECK_EQ(h.run("Tolvane", {"addr", "-e", kBig}).exitCode, 0);
    CHECK_EQ(fileSize(h.inWork(kBig)), 123457u);
    CHECK_EQ(firstContentMismatch(h.inWork(kBig), kBig), -1);

    // A stop point beyond the end is just a complete transfer.
    h.env["SIMREC_FAULT"] = "stop:5000000";
    CHECK_EQ(h.run("Tolvane", {"addr", "-e", kBig}).exitCode, 0);
    CHECK_EQ(fileSize(h.inWork(kBig)), 1000003u);
}

RECORDER_TEST(fault_oversize)
{
    Harness h;
    setUp(h, "oversize:4099");
    CHECK_EQ(h.run("Tolvane", {"addr", "-e", kBig}).exitCode, 0);
    CHECK_EQ(fileSize(h.inWork(kBig)), 1000003u + 4099u);
    // The extra bytes continue the same sequence.
    CHECK_EQ(firstContentMismatch(h.inWork(kBig), kBig), -1);
}

RECORDER_TEST(fault_hang)
{
    Harness h;
    setUp(h, "hang:250000");
    Process p(h.invocation("Tolvane", {"addr", "-e", kBig}));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (fileSize(h.inWork(kBig)) < 250000 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    REQUIRE_EQ(fileSize(h.inWork(kBig)), 250000u);
    // Stalled, not finished: still running and not growing.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    CHECK(p.running());
    CHECK_EQ(fileSize(h.inWork(kBig)), 250000u);
    p.sendSignal(SIGTERM);
    const RunResult r = p.wait();
    CHECK_EQ(r.signal, SIGTERM);
    CHECK_EQ(firstContentMismatch(h.inWork(kBig), kBig), -1);
}

RECORDER_TEST(fault_fstat)
{
    Harness h;
    setUp(h, "no-fstat");
    RunResult r = h.run("Tamrick", {kBig});
    CHECK_EQ(r.exitCode, 0);
    CHECK(!fileExists(h.inWork("FStat.txt")));

    h.env["SIMREC_FAULT"] = "bad-fstat";
    CHECK_EQ(h.run("Tamrick", {kBig}).exitCode, 0);
    const std::string bad = readFile(h.inWork("FStat.txt"));
    CHECK(!bad.empty());
    CHECK(bad.find(',') == std::string::npos);

    h.env["SIMREC_FAULT"] = "short-fstat";
    CHECK_EQ(h.run("Tamrick", {kBig}).exitCode, 0);
    const std::string shortStat = readFile(h.inWork("FStat.txt"));
    const auto comma = shortStat.find(',');
    REQUIRE(comma != std::string::npos);
    const std::string second = shortStat.substr(comma + 1, shortStat.find_first_of(",\r\n", comma + 1) - comma - 1);
    CHECK(second.size() < 5);

    // The Tamrick faults leave Tolvane alone, and the reverse.
    CHECK_EQ(h.run("Tolvane", {"addr", "-e", kBig}).exitCode, 0);
    CHECK_EQ(fileSize(h.inWork(kBig)), 1000003u);
    h.env["SIMREC_FAULT"] = "exit";
    CHECK_EQ(statSize(h, kBig), 1000003u);
}

RECORDER_TEST(fault_file_targeting)
{
    Harness h;
    setUp(h, "stop:1000");
    h.env["SIMREC_FAULT_FILE"] = "small.mpg";
    CHECK_EQ(h.run("Tolvane", {"addr", "-e", kBig}).exitCode, 0);
    CHECK_EQ(fileSize(h.inWork(kBig)), 1000003u);
    CHECK_EQ(h.run("Tolvane", {"addr", "-e", "small.mpg"}).exitCode, 0);
    CHECK_EQ(fileSize(h.inWork("small.mpg")), 1000u);

    h.env["SIMREC_FAULT"] = "no-fstat";
    CHECK_EQ(statSize(h, kBig), 1000003u);
    std::filesystem::remove(h.inWork("FStat.txt"));
    CHECK_EQ(h.run("Tamrick", {"small.mpg"}).exitCode, 0);
    CHECK(!fileExists(h.inWork("FStat.txt")));
}
