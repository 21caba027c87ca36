// --help, bad command lines and bad SIMREC_* values.

#include "Harness.h"

using namespace rectest;

RECORDER_TEST(usage_help)
{
    Harness h;
    for (const char* tool : {"Tolvane", "Tamrick"}) {
        const RunResult r = h.run(tool, {"--help"});
        CHECK_EQ(r.exitCode, 0);
        for (const char* var : {"SIMREC_CATALOG", "SIMREC_RATE", "SIMREC_JOURNAL", "SIMREC_FAULT",
                                "SIMREC_FAULT_FILE", "SIMREC_GUIDE_FILE"})
            if (!CHECK(r.out.find(var) != std::string::npos))
                reportFailure(__FILE__, __LINE__, std::string(tool) + " --help lacks " + var);
    }
    CHECK(h.run("Tolvane", {"--help"}).out.find("-e NAME") != std::string::npos);
    CHECK(h.run("Tamrick", {"--help"}).out.find("guide") != std::string::npos);
    CHECK_EQ(h.workEntryCount(), 0u);
}

RECORDER_TEST(usage_errors)
{
    Harness h;
    const std::vector<std::pair<std::string, std::vector<std::string>>> bad{
        {"Tolvane", {}},
        {"Tolvane", {"addr"}},
        {"Tolvane", {"addr", "-x"}},
        {"Tolvane", {"addr", "-e"}},
        {"Tolvane", {"addr", "-e", "small.mpg", "5", "extra"}},
        {"Tolvane", {"addr", "-g", "extra"}},
        {"Tolvane", {"--help", "extra"}},
        {"Tamrick", {}},
        {"Tamrick", {"guide", "extra"}},
        {"Tamrick", {"--help", "x"}},
    };
    for (const auto& [tool, args] : bad) {
        const RunResult r = h.run(tool, args);
        std::string command = tool;
        for (const std::string& a : args)
            command += ' ' + a;
        if (!CHECK_EQ(r.exitCode, 2) || !CHECK(r.err.find("Usage") != std::string::npos))
            reportFailure(__FILE__, __LINE__, "command: " + command);
        CHECK(r.out.empty());
    }
    CHECK_EQ(h.workEntryCount(), 0u);
}

RECORDER_TEST(env_invalid_values)
{
    Harness h;
    const std::string catalog = h.auxFile("catalog.tsv", testCatalogText());
    const std::vector<std::pair<std::string, std::string>> bad{
        {"SIMREC_RATE", "abc"},       {"SIMREC_RATE", "-5"},          {"SIMREC_RATE", "1e6"},
        {"SIMREC_RATE", " 100"},      {"SIMREC_RATE", "100 "},        {"SIMREC_RATE", "99999999999999999999"},
        {"SIMREC_FAULT", "bogus"},    {"SIMREC_FAULT", "hang"},       {"SIMREC_FAULT", "hang:"},
        {"SIMREC_FAULT", "stop:x"},   {"SIMREC_FAULT", "oversize:-1"}, {"SIMREC_FAULT", "EXIT"},
        {"SIMREC_FAULT", "exit:3"},   {"SIMREC_CATALOG", (h.box.aux / "missing.tsv").string()},
        {"SIMREC_JOURNAL", (h.box.aux / "no-such-dir" / "journal.txt").string()},
    };
    for (const auto& [var, value] : bad) {
        h.env = {{"SIMREC_CATALOG", catalog}, {"SIMREC_RATE", "0"}};
        h.env[var] = value;
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"addr", "-e", "small.mpg"}, std::vector<std::string>{"addr", "-g"}}) {
            const RunResult r = h.run("Tolvane", args);
            if (!CHECK_EQ(r.exitCode, 2) || !CHECK(r.err.find(var) != std::string::npos))
                reportFailure(__FILE__, __LINE__, var + "=" + value + " with " + args[1]);
        }
        const RunResult stat = h.run("Tamrick", {"small.mpg"});
        if (!CHECK_EQ(stat.exitCode, 2))
            reportFailure(__FILE__, __LINE__, var + "=" + value + " with Tamrick NAME");
        CHECK_EQ(h.workEntryCount(), 0u);
    }
}

RECORDER_TEST(catalog_malformed)
{
    Harness h;
    const std::string good = "Good\tHigh\t01/02/2003\t04:05:06\tgood.mpg\t30\t1000\n";
    const std::vector<std::string> badLines{
        "Six\tHigh\t01/02/2003\t04:05:06\tsix.mpg\t30",
        "Eight\tHigh\t01/02/2003\t04:05:06\teight.mpg\t30\t1000\textra",
        "Low\tLow\t01/02/2003\t04:05:06\tlow.mpg\t30\t1000",
        "Month\tHigh\t13/02/2003\t04:05:06\tm.mpg\t30\t1000",
        "Short date\tHigh\t1/02/2003\t04:05:06\tm.mpg\t30\t1000",
        "Feb 30\tHigh\t02/30/2003\t04:05:06\tm.mpg\t30\t1000",
        "Hour\tHigh\t01/02/2003\t24:00:00\th.mpg\t30\t1000",
        "Minute\tHigh\t01/02/2003\t12:60:00\th.mpg\t30\t1000",
        "Slash\tHigh\t01/02/2003\t04:05:06\ta/b.mpg\t30\t1000",
        "Duration\tHigh\t01/02/2003\t04:05:06\td.mpg\tabc\t1000",
        "Negative\tHigh\t01/02/2003\t04:05:06\td.mpg\t-1\t1000",
        "Size\tHigh\t01/02/2003\t04:05:06\ts.mpg\t30\t12MB",
        "Empty size\tHigh\t01/02/2003\t04:05:06\ts.mpg\t30\t",
        "Twice\tHigh\t01/02/2003\t04:05:06\tgood.mpg\t30\t1000",
        "Bad \xff UTF-8\tHigh\t01/02/2003\t04:05:06\tu.mpg\t30\t1000",
    };
    // The good catalog alone is accepted, so each failure below is the bad line's.
    h.env["SIMREC_CATALOG"] = h.auxFile("good.tsv", "# ok\n" + good);
    REQUIRE_EQ(h.run("Tolvane", {"addr", "-g"}).exitCode, 0);
    REQUIRE_EQ(statSize(h, "good.mpg"), 1000u);
    std::filesystem::remove(h.inWork("Guide.dat"));
    std::filesystem::remove(h.inWork("FStat.txt"));

    for (const std::string& line : badLines) {
        h.env["SIMREC_CATALOG"] = h.auxFile("bad.tsv", "# header\n" + good + line + "\n");
        const RunResult r = h.run("Tolvane", {"addr", "-g"});
        if (!CHECK_EQ(r.exitCode, 2) || !CHECK(r.err.find("line 3") != std::string::npos))
            reportFailure(__FILE__, __LINE__, "catalog line: " + line + "\n      stderr: " + r.err);
        CHECK(!fileExists(h.inWork("Guide.dat")));
        CHECK_EQ(h.run("Tamrick", {"good.mpg"}).exitCode, 2);
        CHECK_EQ(h.run("Tolvane", {"addr", "-e", "good.mpg"}).exitCode, 2);
        CHECK_EQ(h.workEntryCount(), 0u);
    }
}
