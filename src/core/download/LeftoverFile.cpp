#include "download/LeftoverFile.h"

#include "archive/SaveFolderSetting.h"
#include "archive/SavedRecords.h"

#include "log/LogWriter.h"
#include "settings/SettingsFile.h"
#include "runner/FileNames.h"

#include <QFile>

#include <sys/stat.h>

namespace {

// Enough for any folder a person keeps; a bound all the same, so a folder
// full of them ends in a clear refusal instead of a long search.
constexpr int kMostKeptCopies = 999;

bool taken(const QString &name)
{
    struct stat st;
    return ::lstat(QFile::encodeName(resolveFileName(name)).constData(), &st) == 0;
}

} // namespace

bool isOwnWorkingFile(const QString &name)
{
    for (const QString &own : {kLogFileName, kSettingsFileName, QStringLiteral("Guide.txt"),
                               QStringLiteral("Guide.dat"), QStringLiteral("FStat.txt"), saveFolderFileName(),
                               SavedRecords::fileName()}) {
        if (name.compare(own, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

NameClearing clearRecorderName(const QString &fileName)
{
    NameClearing clearing;
    if (isOwnWorkingFile(fileName)) {
        clearing.refusal = QStringLiteral("the recorder's file name is one of Kelvado's own files");
        return clearing;
    }
    const QStringList variants = nameVariants(fileName);
    for (const QString &variant : variants) {
        struct stat st;
        if (::lstat(QFile::encodeName(variant).constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
            clearing.refusal = QStringLiteral("%1 is in the folder and is not a plain file").arg(variant);
            return clearing;
        }
    }
    for (const QString &variant : variants) {
        QString keptAs;
        for (int n = 1; n <= kMostKeptCopies && keptAs.isEmpty(); ++n) {
            const QString candidate = variant + QStringLiteral(".kept-%1").arg(n);
            if (!taken(candidate))
                keptAs = candidate;
        }
        QString error;
        if (keptAs.isEmpty())
            error = QStringLiteral("no free name to keep it under");
        else if (!renameNoReplace(variant, keptAs, &error))
            keptAs.clear();
        if (keptAs.isEmpty()) {
            clearing.refusal = QStringLiteral("%1 is in the folder and could not be set aside: %2").arg(variant, error);
            return clearing;
        }
        clearing.kept.append({variant, keptAs});
    }
    return clearing;
}
