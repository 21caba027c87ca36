#pragma once

#include <string>

namespace recorder {

std::string tolvaneUsage(const std::string& program);
std::string tamrickUsage(const std::string& program);

} // namespace recorder
