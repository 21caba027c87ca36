#pragma once

#include <cstdint>
#include <string>

namespace recorder {

// Plain decimal digits only (no sign, blanks or empty string), value <= max.
bool parseUnsigned(const std::string& text, std::uint64_t max, std::uint64_t& out);

} // namespace recorder
