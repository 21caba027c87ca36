#pragma once
// Names of the tools' own environment variables, in one place so the usage
// text and the readers cannot drift apart.

#include <cstdint>
#include <string>

namespace recorder {

constexpr const char* kEnvCatalog = "SIMREC_CATALOG";
constexpr const char* kEnvRate = "SIMREC_RATE";
constexpr const char* kEnvJournal = "SIMREC_JOURNAL";
constexpr const char* kEnvFault = "SIMREC_FAULT";
constexpr const char* kEnvFaultFile = "SIMREC_FAULT_FILE";
constexpr const char* kEnvGuideFile = "SIMREC_GUIDE_FILE";

// The variable's value; unset and empty both give "" (treated as unset).
std::string envValue(const char* name);

// SIMREC_RATE in bytes per second; 2000000 when unset, 0 = no pacing.
// Throws ToolError(2) for anything but plain decimal digits.
std::uint64_t transferRate();

// Validates SIMREC_RATE and SIMREC_FAULT for every command, so a mistyped
// value is reported even where it has no effect. Throws ToolError(2).
void checkEnvironment();

} // namespace recorder
