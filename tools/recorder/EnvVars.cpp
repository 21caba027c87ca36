#include "EnvVars.h"

#include "Fault.h"
#include "NumberText.h"
#include "ToolError.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

namespace recorder {

std::string envValue(const char* name)
{
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::uint64_t transferRate()
{
    const std::string text = envValue(kEnvRate);
    if (text.empty())
        return 2000000;
    std::uint64_t rate = 0;
    if (!parseUnsigned(text, std::numeric_limits<std::uint64_t>::max(), rate))
        throw ToolError(ExitUsage, std::string(kEnvRate) + "=\"" + text
                                       + "\" is not a rate in bytes per second (decimal digits, 0 = unlimited)");
    return rate;
}

void checkEnvironment()
{
    transferRate();
    faultFromEnvironment();
}

} // namespace recorder
