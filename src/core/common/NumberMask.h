#pragma once

#include <QLocale>
#include <QString>

// Whole number, rounded half away from zero, digits grouped by three with the
// locale's thousands separator; a negative value gets a leading minus sign.
QString groupedWholeNumber(double value, const QLocale &locale = QLocale::system());

// The mask "###,###,###,###": as groupedWholeNumber, but 0 gives empty text.
QString maskBlankZero(double value, const QLocale &locale = QLocale::system());

// The mask "#,##0": as groupedWholeNumber; 0 gives "0".
QString maskZero(double value, const QLocale &locale = QLocale::system());

// A number written back as plain decimal text in its shortest form, without
// grouping, with the locale's decimal separator (7 -> "7", 2.5 -> "2.5").
QString plainNumber(double value, const QLocale &locale = QLocale::system());
