#pragma once

#include <QDateTime>
#include <QString>

// mm-dd-yyyy and hh:mm:ss (24-hour clock) from the local clock.
QString dateText(const QDateTime &when = QDateTime::currentDateTime());
QString timeText(const QDateTime &when = QDateTime::currentDateTime());
