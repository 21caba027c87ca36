#include "common/LeadingNumber.h"

#include <cmath>
#include <string>

double leadingNumber(const QString &text, bool *outOfRange)
{
    if (outOfRange)
        *outOfRange = false;
    // Gather the candidate characters without blanks, then let strtod-like rules
    // decide how much of it is a number.
    std::string digits;
    bool seenDigit = false, seenPoint = false, seenExponent = false;
    for (QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n')
            continue;
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9') {
            digits += char(u);
            seenDigit = true;
        } else if ((u == u'+' || u == u'-') && (digits.empty() || digits.back() == 'e')) {
            digits += char(u);
        } else if (u == u'.' && !seenPoint && !seenExponent) {
            digits += '.';
            seenPoint = true;
        } else if ((u == u'e' || u == u'E') && seenDigit && !seenExponent) {
            digits += 'e';
            seenExponent = true;
        } else {
            break;
        }
    }
    // Drop an exponent marker or sign left dangling at the end ("12e", "12e-").
    while (!digits.empty() && (digits.back() == 'e' || digits.back() == '+' || digits.back() == '-'))
        digits.pop_back();
    if (!seenDigit || digits.empty())
        return 0.0;
    char *end = nullptr;
    const double value = std::strtod(digits.c_str(), &end);
    if (!std::isfinite(value)) {
        if (outOfRange)
            *outOfRange = true;
        return 0.0;
    }
    return value;
}
