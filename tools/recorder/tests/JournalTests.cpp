// SIMREC_JOURNAL: one line per invocation, written before the work.

#include "Harness.h"

#include <algorithm>
#include <memory>

using namespace rectest;

RECORDER_TEST(journal_lines)
{
    Harness h;
    h.env["SIMREC_CATALOG"] = h.auxFile("catalog.tsv", testCatalogText());
    h.env["SIMREC_RATE"] = "0";
    const std::string journal = (h.box.aux / "journal.txt").string();
    h.env["SIMREC_JOURNAL"] = journal;

    CHECK_EQ(h.run("Tolvane", {"192.168.1.20", "-g"}).exitCode, 0);
    CHECK_EQ(h.run("Tamrick", {"guide"}).exitCode, 0);
    Invocation plainName = h.invocation("Tolvane", {"addr", "-e", "small.mpg", "3 sec"});
    plainName.argv0 = "Tolvane";
    CHECK_EQ(run(plainName).exitCode, 0);
    CHECK_EQ(h.run("Tamrick", {"small.mpg"}).exitCode, 0);
    CHECK_EQ(h.run("Tolvane", {"--help"}).exitCode, 0);
    CHECK_EQ(h.run("Tamrick", {"a", "b"}).exitCode, 2);
    CHECK_EQ(h.run("Tolvane", {"addr", "-e", "unknown.mpg"}).exitCode, 1);
    h.env["SIMREC_RATE"] = "fast";
    CHECK_EQ(h.run("Tolvane", {"addr", "-e", "small.mpg"}).exitCode, 2);

    CHECK_EQ(readFile(journal), std::string("Tolvane 192.168.1.20 -g\n"
                                            "Tamrick guide\n"
                                            "Tolvane addr -e small.mpg 3 sec\n"
                                            "Tamrick small.mpg\n"
                                            "Tolvane --help\n"
                                            "Tamrick a b\n"
                                            "Tolvane addr -e unknown.mpg\n"
                                            "Tolvane addr -e small.mpg\n"));
}

RECORDER_TEST(journal_concurrent)
{
    Harness h;
    const std::string journal = (h.box.aux / "journal.txt").string();
    h.env["SIMREC_JOURNAL"] = journal;
    std::vector<std::string> expected;
    std::vector<std::unique_ptr<Process>> processes;
    // Long lines make interleaving likely if the append were not atomic.
    for (int i = 0; i < 12; ++i) {
        const std::string name = std::string(2000, static_cast<char>('a' + i)) + ".mpg";
        expected.push_back("Tamrick " + name);
        processes.push_back(std::make_unique<Process>(h.invocation("Tamrick", {name})));
    }
    for (auto& p : processes)
        CHECK_EQ(p->wait().exitCode, 1);
    const std::string text = readFile(journal);
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        const auto lf = text.find('\n', start);
        REQUIRE(lf != std::string::npos);
        lines.push_back(text.substr(start, lf - start));
        start = lf + 1;
    }
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    CHECK(lines == expected);
}
