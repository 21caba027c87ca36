#include "FileStat.h"

namespace recorder {

std::string formatFileStat(const Recording& r, FaultKind fault)
{
    switch (fault) {
    case FaultKind::NoFstat:
        return std::string();
    case FaultKind::BadFstat:
        return "FileStat\r\n";
    case FaultKind::ShortFstat:
        return "FileStat,Sz\r\n";
    default:
        return "FileStat,Size=" + std::to_string(r.sizeBytes) + ",Name=" + r.fileName + "\r\n";
    }
}

} // namespace recorder
