#include "common/DateTimeText.h"

QString dateText(const QDateTime &when)
{
    return when.toString(QStringLiteral("MM-dd-yyyy"));
}

QString timeText(const QDateTime &when)
{
    return when.toString(QStringLiteral("HH:mm:ss"));
}
