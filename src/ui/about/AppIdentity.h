#pragma once

#include <QString>

// The program's name and version as the about dialog and --version show them.
namespace AppIdentity {

inline const QString kTitle = QStringLiteral("Kelvado");
constexpr int kMajor = 1;
constexpr int kMinor = 6;
constexpr int kRevision = 17;

// "1.6.17": what --version prints after the name, and the package's version.
inline QString versionNumber()
{
    return QStringLiteral("%1.%2.%3").arg(kMajor).arg(kMinor).arg(kRevision);
}

inline QString versionText()
{
    return QStringLiteral("Version ") + versionNumber();
}

} // namespace AppIdentity
