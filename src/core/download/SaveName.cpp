#include "download/SaveName.h"

#include "common/TextTrim.h"
#include "runner/FileNames.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

QString saveNameFor(const QString &title, const QString &recordDate)
{
    QString name = withoutTrailingBlanks(title) + u'_' + recordDate + QStringLiteral(".mpg");
    for (const QChar c : {QChar(u'/'), QChar(u'"'), QChar(u':'), QChar(u';')})
        name.replace(c, QChar(u' '));
    // Control characters have no place in a file name (a NUL would even cut it
    // short); they become blanks as well.
    for (QChar &c : name) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return name;
}

QString chooseFreeName(QString name, const NameTakenTest &taken)
{
    static const struct
    {
        const char *search;
        const char *tag;
    } checks[] = {{".mpg", "_01"}, {"_01.mpg", "_02"}, {"_02.mpg", "_03"}, {"_03.mpg", "_04"}, {"_04.mpg", "_05"}};
    for (const auto &check : checks) {
        if (taken(name))
            name.replace(QLatin1String(check.search), QLatin1String(check.tag) + name.right(4), Qt::CaseSensitive);
    }
    return name;
}

bool saveNameTaken(const QString &name)
{
    // Any entry counts, also a folder or an unreadable file: the rename would refuse those names too.
    struct stat st;
    return ::lstat(QFile::encodeName(resolveFileName(name)).constData(), &st) == 0;
}

NameTakenTest nameTakenIn(const QString &folder)
{
    if (folder.isEmpty())
        return saveNameTaken;
    return [folder](const QString &name) { return saveNameTaken(QDir(folder).filePath(name)); };
}
