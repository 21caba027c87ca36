#include "Harness.h"

#include <filesystem>

namespace rectest {

Invocation Harness::invocation(const std::string& tool, const std::vector<std::string>& args) const
{
    Invocation inv;
    inv.tool = tool;
    inv.args = args;
    inv.env = env;
    inv.cwd = box.work;
    inv.outputDir = box.aux;
    return inv;
}

RunResult Harness::run(const std::string& tool, const std::vector<std::string>& args) const
{
    return rectest::run(invocation(tool, args));
}

std::string Harness::auxFile(const std::string& name, const std::string& contents) const
{
    const auto path = box.aux / name;
    writeFile(path, contents);
    return path.string();
}

std::size_t Harness::workEntryCount() const
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(box.work))
        ++n;
    return n;
}

std::uint64_t statSize(const Harness& h, const std::string& name)
{
    std::filesystem::remove(h.inWork("FStat.txt"));
    const RunResult r = h.run("Tamrick", {name});
    REQUIRE_EQ(r.exitCode, 0);
    const std::string text = readFile(h.inWork("FStat.txt"));
    const std::string prefix = "FileStat,Size=";
    const std::string suffix = ",Name=" + name + "\r\n";
    REQUIRE(startsWith(text, prefix));
    REQUIRE(text.size() > prefix.size() + suffix.size());
    REQUIRE_EQ(text.substr(text.size() - suffix.size()), suffix);
    const std::string digits = text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
    REQUIRE(digits.find_first_not_of("0123456789") == std::string::npos);
    return std::stoull(digits);
}

const std::vector<CatalogRow>& testRows()
{
    static const std::vector<CatalogRow> rows{
        {"Alpha: \"One\"; (Two) 1/2", "High", "02/29/2004", "23:59:59", "1077000000.mpg", 5, 1000003},
        {"Ümlaut Über Straße", "Standard", "01/01/2002", "00:00:00", "1009872000.mpg", 1234, 65536},
        {"Zero", "Medium", "12/31/2005", "12:00:00", "1136059200.mpg", 0, 0},
        {"Small", "High", "06/15/2003", "08:30:00", "small.mpg", 30, 300001},
    };
    return rows;
}

std::string testCatalogText()
{
    // Comments, blank lines and one CR LF line end must all be accepted.
    std::string text = "# test catalog\n\n";
    for (std::size_t i = 0; i < testRows().size(); ++i) {
        const CatalogRow& r = testRows()[i];
        text += r.title + '\t' + r.quality + '\t' + r.date + '\t' + r.time + '\t' + r.fileName + '\t'
                + std::to_string(r.duration) + '\t' + std::to_string(r.size) + (i == 1 ? "\r\n" : "\n");
        if (i == 1)
            text += "   \n# another comment\n";
    }
    return text;
}

} // namespace rectest
