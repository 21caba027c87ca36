#include "mainwindow/ShownText.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QTextDocument>

#include <algorithm>

namespace {

constexpr double kSmallestPoints = 6;

// Room for text inside a box: its frame and the line edit's own margins off.
int textRoom(const QLineEdit *box)
{
    const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
    const QMargins margins = box->textMargins();
    return box->width() - 2 * frame - margins.left() - margins.right() - 6;
}

} // namespace

QString plainToolTip(const QString &text)
{
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpacePre);
}

void showNumberWhole(QLineEdit *box)
{
    const QFont usual = box->font();
    QObject::connect(box, &QLineEdit::textChanged, box, [box, usual](const QString &text) {
        QFont font = usual;
        while (font.pointSizeF() > kSmallestPoints && QFontMetrics(font).horizontalAdvance(text) > textRoom(box))
            font.setPointSizeF(font.pointSizeF() - 0.25);
        box->setFont(font);
        box->setCursorPosition(0);
        const QString number = text.trimmed();
        box->setToolTip(number.isEmpty() ? QString() : plainToolTip(number + QStringLiteral(" bytes")));
    });
}

void showTextFromStart(QLineEdit *box, bool tipIsText)
{
    QObject::connect(box, &QLineEdit::textChanged, box, [box, tipIsText](const QString &text) {
        box->setCursorPosition(0);
        if (tipIsText)
            box->setToolTip(plainToolTip(text.trimmed()));
    });
}

QString fitPathsBetweenWords(const QFontMetrics &metrics, const QStringList &wordsAndPaths, int width)
{
    QList<int> paths;
    int room = width;
    for (int i = 0; i < wordsAndPaths.size(); ++i) {
        if (i % 2)
            paths << i;
        else
            room -= metrics.horizontalAdvance(wordsAndPaths[i]);
    }
    // The narrowest paths keep their length while they fit in an even share.
    std::sort(paths.begin(), paths.end(), [&](int a, int b) {
        return metrics.horizontalAdvance(wordsAndPaths[a]) < metrics.horizontalAdvance(wordsAndPaths[b]);
    });
    QStringList fitted = wordsAndPaths;
    for (qsizetype left = paths.size(); left > 0; --left) {
        const int i = paths[paths.size() - left];
        const int share = std::max(0, room) / int(left);
        fitted[i] = metrics.elidedText(wordsAndPaths[i], Qt::ElideMiddle, share);
        room -= metrics.horizontalAdvance(fitted[i]);
    }
    return fitted.join(QString());
}
