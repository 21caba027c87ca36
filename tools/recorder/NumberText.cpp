#include "NumberText.h"

namespace recorder {

bool parseUnsigned(const std::string& text, std::uint64_t max, std::uint64_t& out)
{
    if (text.empty())
        return false;
    std::uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        const std::uint64_t d = static_cast<std::uint64_t>(c - '0');
        if (v > (max - d) / 10)
            return false;
        v = v * 10 + d;
    }
    out = v;
    return true;
}

} // namespace recorder
