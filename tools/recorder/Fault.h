#pragma once
// Injected faults (SIMREC_FAULT, optionally narrowed by SIMREC_FAULT_FILE)
// that let tests drive Kelvado's error handling.

#include <cstdint>
#include <string>

namespace recorder {

enum class FaultKind {
    None,
    Exit,       // Tolvane -e: exit 0 at once, no file
    Hang,       // Tolvane -e: write amount bytes, then stall
    Stop,       // Tolvane -e: write amount bytes, then exit 0
    Fail,       // Tolvane -e: write amount bytes, then exit 1
    Oversize,   // Tolvane -e: write amount bytes beyond the catalog size
    NoFstat,    // Tamrick NAME: exit 0 without FStat.txt
    BadFstat,   // Tamrick NAME: FStat.txt with a single field
    ShortFstat, // Tamrick NAME: second field shorter than "Size="
};

struct Fault {
    FaultKind kind = FaultKind::None;
    std::uint64_t amount = 0;
    std::string onlyFile; // empty: every recording

    // The fault kind in effect for recording fileName.
    FaultKind kindFor(const std::string& fileName) const;
};

// Parses a SIMREC_FAULT value ("" and "none" mean no fault) and a
// SIMREC_FAULT_FILE value. Throws ToolError(2) for an unknown value.
Fault parseFault(const std::string& faultText, const std::string& onlyFile);

// Reads both variables from the environment.
Fault faultFromEnvironment();

} // namespace recorder
