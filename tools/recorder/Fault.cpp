#include "Fault.h"

#include "EnvVars.h"
#include "NumberText.h"
#include "ToolError.h"

#include <limits>

namespace recorder {

FaultKind Fault::kindFor(const std::string& fileName) const
{
    if (!onlyFile.empty() && onlyFile != fileName)
        return FaultKind::None;
    return kind;
}

Fault parseFault(const std::string& faultText, const std::string& onlyFile)
{
    Fault fault;
    fault.onlyFile = onlyFile;
    if (faultText.empty() || faultText == "none")
        return fault;
    if (faultText == "exit") { fault.kind = FaultKind::Exit; return fault; }
    if (faultText == "no-fstat") { fault.kind = FaultKind::NoFstat; return fault; }
    if (faultText == "bad-fstat") { fault.kind = FaultKind::BadFstat; return fault; }
    if (faultText == "short-fstat") { fault.kind = FaultKind::ShortFstat; return fault; }

    const auto colon = faultText.find(':');
    const std::string word = faultText.substr(0, colon);
    const std::string number = colon == std::string::npos ? std::string() : faultText.substr(colon + 1);
    if (word == "hang")
        fault.kind = FaultKind::Hang;
    else if (word == "stop")
        fault.kind = FaultKind::Stop;
    else if (word == "fail")
        fault.kind = FaultKind::Fail;
    else if (word == "oversize")
        fault.kind = FaultKind::Oversize;
    if (fault.kind == FaultKind::None
        || !parseUnsigned(number, std::numeric_limits<std::uint64_t>::max() / 2, fault.amount))
        throw ToolError(ExitUsage, std::string(kEnvFault) + "=\"" + faultText
                                       + "\" is not one of: none, exit, hang:N, stop:N, fail:N, oversize:N, "
                                         "no-fstat, bad-fstat, short-fstat (N = decimal byte count)");
    return fault;
}

Fault faultFromEnvironment()
{
    return parseFault(envValue(kEnvFault), envValue(kEnvFaultFile));
}

} // namespace recorder
