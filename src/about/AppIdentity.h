#pragma once

#include <QString>

// The program's name and version as the about dialog shows them.
namespace AppIdentity {

inline const QString kTitle = QStringLiteral("Kelvado");
constexpr int kMajor = 1;
constexpr int kMinor = 6;
constexpr int kRevision = 17;

inline QString versionText()
{
    return QStringLiteral("Version %1.%2.%3").arg(kMajor).arg(kMinor).arg(kRevision);
}

} // namespace AppIdentity
