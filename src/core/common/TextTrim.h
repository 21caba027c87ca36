#pragma once

#include <QString>

// The text with the blanks at its end removed; leading blanks and other
// white space stay.
QString withoutTrailingBlanks(const QString &text);
