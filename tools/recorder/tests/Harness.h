#pragma once
// One sandbox plus the SIMREC_* settings a case runs the tools with.

#include "ProcessRunner.h"
#include "TestSupport.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace rectest {

class Harness {
public:
    Sandbox box;
    std::map<std::string, std::string> env;

    Invocation invocation(const std::string& tool, const std::vector<std::string>& args) const;
    RunResult run(const std::string& tool, const std::vector<std::string>& args) const;
    std::filesystem::path inWork(const std::string& name) const { return box.work / name; }
    // Writes an input file outside the working directory; returns its path.
    std::string auxFile(const std::string& name, const std::string& contents) const;
    // Number of entries in the working directory.
    std::size_t workEntryCount() const;
};

// Size reported by "Tamrick NAME" via FStat.txt; REQUIREs success.
std::uint64_t statSize(const Harness& h, const std::string& name);

// The catalog several cases use: written by the test, so every expected
// value below is known independently of the tools.
struct CatalogRow {
    std::string title, quality, date, time, fileName;
    unsigned duration;
    std::uint64_t size;
};
const std::vector<CatalogRow>& testRows();
std::string testCatalogText();

} // namespace rectest
