#include "guide/SavedMark.h"

#include <QPainter>
#include <QPainterPath>
#include <QWidget>

namespace {

QPixmap drawMark(bool fileThere, QSize size, qreal ratio, const QColor &colour)
{
    QPixmap mark(size * ratio);
    mark.setDevicePixelRatio(ratio);
    mark.fill(Qt::transparent);
    QPainter p(&mark);
    p.setRenderHint(QPainter::Antialiasing);
    // Laid out on a 16 x 16 grid.
    p.scale(size.width() / 16.0, size.height() / 16.0);
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath path;
    if (fileThere) {
        path.moveTo(3, 8.5);
        path.lineTo(6.5, 12);
        path.lineTo(13, 4);
    } else {
        path.moveTo(8, 2);
        path.lineTo(14.5, 14);
        path.lineTo(1.5, 14);
        path.closeSubpath();
        path.moveTo(8, 6.5);
        path.lineTo(8, 9.5);
        path.moveTo(8, 12);
        path.lineTo(8, 12.2);
    }
    p.drawPath(path);
    return mark;
}

} // namespace

QIcon savedMark(bool fileThere, const QWidget *list)
{
    const QSize size(list->fontMetrics().height(), list->fontMetrics().height());
    const QPalette &colours = list->palette();
    QIcon icon;
    for (const qreal ratio : {1.0, list->devicePixelRatioF()}) {
        icon.addPixmap(drawMark(fileThere, size, ratio, colours.color(QPalette::Active, QPalette::Text)),
                       QIcon::Normal);
        icon.addPixmap(drawMark(fileThere, size, ratio, colours.color(QPalette::Active, QPalette::HighlightedText)),
                       QIcon::Selected);
        icon.addPixmap(drawMark(fileThere, size, ratio, colours.color(QPalette::Disabled, QPalette::Text)),
                       QIcon::Disabled);
    }
    return icon;
}
