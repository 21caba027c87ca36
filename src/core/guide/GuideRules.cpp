#include "guide/GuideRules.h"

namespace GuideRules {

namespace {

constexpr QLatin1String kQuoteShown(" - ");

QString showQuotes(QString text)
{
    return text.replace(u'"', kQuoteShown);
}

} // namespace

QString titleFromLine(const QString &titleLine)
{
    const qsizetype colon = titleLine.indexOf(u':');
    QString title = colon < 0 ? titleLine : titleLine.mid(colon + 1);
    const qsizetype paren = title.indexOf(u'(');
    if (paren >= 0)
        title.truncate(paren);
    // The replacements only ever lengthen the text, so the first 58 characters
    // of the result depend only on the first 58 of the source: cutting first
    // keeps a huge title line cheap.
    title.truncate(kTitleWidth);
    if (title.size() < kTitleWidth)
        title += QString(kTitleWidth - title.size(), u' ');
    title = showQuotes(title);
    title.replace(u';', u' ');
    title.replace(u':', u' ');
    title.truncate(kTitleWidth);
    return title;
}

QString qualityColumn(const QString &qualityField)
{
    QString value = qualityField.mid(9, 8);
    const QStringView lead = QStringView(value).left(4);
    if (lead == u"Stan")
        value += QString(6, u' ');
    else if (lead == u"Medi")
        value += QString(8, u' ');
    else if (lead == u"High")
        value += QString(10, u' ');
    return value;
}

QString recordedDate(const QString &recordedField)
{
    return recordedField.mid(10, 10);
}

QString recorderFileName(const QString &filenameField)
{
    return filenameField.mid(10, 26);
}

QString durationValue(const QString &durationField)
{
    return durationField.mid(10, 3);
}

QString listRow(const QString &title, const QString &qualityColumn, const QString &duration,
                const QString &date)
{
    return showQuotes(title + qualityColumn + duration + QString(9, u' ') + date);
}

} // namespace GuideRules
