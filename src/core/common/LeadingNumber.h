#pragma once

#include <QString>

// The number at the start of a text, with "." as the decimal point. Blanks are
// ignored wherever they stand; the number ends at the first character that cannot
// belong to it (a comma or thousands separator ends it). No leading number gives 0.
// A number too large for a double gives 0 and sets *outOfRange when given.
double leadingNumber(const QString &text, bool *outOfRange = nullptr);
