#include "guide/GuideMessages.h"

namespace GuideMessages {

QString guideMissing()
{
    return QStringLiteral("No guide was received: Guide.txt is not in the working folder after "
                          "running Tolvane and Tamrick.\n\nCheck the IP address and that the "
                          "recorder is on, then press Get Guide again.");
}

QString guideUnreadable(const QString &reason)
{
    return QStringLiteral("The guide file Guide.txt could not be read: %1\n\nPress Get Guide to try "
                          "again.")
        .arg(reason);
}

QString guideShortfall(int incompleteRecords, int leftOut, int capacity)
{
    QStringList parts;
    if (leftOut > 0) {
        parts << QStringLiteral("The guide lists more recordings than the list can hold: the first %1 "
                                "are shown, %2 more %3 left out.")
                     .arg(capacity)
                     .arg(leftOut)
                     .arg(leftOut == 1 ? QStringLiteral("is") : QStringLiteral("are"));
    }
    if (incompleteRecords > 0) {
        parts << QStringLiteral("The guide ends in the middle of a recording's entry; that recording "
                                "is not in the list.");
    }
    return parts.join(QStringLiteral("\n\n"));
}

QString titlesNotMeasured(const QStringList &titles)
{
    if (titles.isEmpty())
        return {};
    return QStringLiteral("The size of these tagged titles could not be read from FStat.txt, so "
                          "they count as 0 bytes in the total:\n\n%1\n\nClick the list to measure "
                          "again.")
        .arg(titles.join(u'\n'));
}

QString titleForMessage(const QString &title, const QString &fileName)
{
    QString name = title;
    while (name.endsWith(u' '))
        name.chop(1);
    while (name.startsWith(u' '))
        name.remove(0, 1);
    return QStringLiteral("%1 (%2)").arg(name, fileName);
}

} // namespace GuideMessages
