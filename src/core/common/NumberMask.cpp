#include "common/NumberMask.h"

#include <cmath>

QString groupedWholeNumber(double value, const QLocale &locale)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    const double rounded = std::round(value); // half away from zero
    const bool negative = rounded < 0;
    // Digits of the magnitude; doubles up to 1e18 print exactly enough for sizes.
    QString digits = QString::number(std::fabs(rounded), 'f', 0);
    const QString separator = locale.groupSeparator();
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += separator;
        out += digits.at(i);
    }
    if (negative && out != QLatin1String("0"))
        out.prepend(u'-');
    return out;
}

QString maskBlankZero(double value, const QLocale &locale)
{
    if (std::round(value) == 0.0)
        return QString();
    return groupedWholeNumber(value, locale);
}

QString maskZero(double value, const QLocale &locale)
{
    return groupedWholeNumber(value, locale);
}

QString plainNumber(double value, const QLocale &locale)
{
    QString text = QString::number(value, 'g', 15);
    if (text.contains(u'e'))
        text = QString::number(value, 'f', 0);
    text.replace(u'.', locale.decimalPoint());
    return text;
}
