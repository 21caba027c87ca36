#include "about/KelvadoEmblem.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// The drawing is laid out on a 74 x 64 grid and scaled to the size asked for.
constexpr qreal kGridWidth = 74;
constexpr qreal kGridHeight = 64;

const QColor kBody(0x2f, 0x3b, 0x4c);
const QColor kBodyEdge(0x1b, 0x24, 0x30);
const QColor kStrip(0xf2, 0xc1, 0x4e);
const QColor kWindow(0xcf, 0xd8, 0xe3);
const QColor kReel(0xff, 0xff, 0xff);
const QColor kTape(0x5a, 0x3a, 0x22);
const QColor kArrow(0x2e, 0x9e, 0x5b);
const QColor kArrowEdge(0x1d, 0x6b, 0x3c);

void drawCassette(QPainter &p)
{
    p.setPen(QPen(kBodyEdge, 1));
    p.setBrush(kBody);
    p.drawRoundedRect(QRectF(5.5, 3.5, 63, 34), 4, 4);

    p.setPen(Qt::NoPen);
    p.setBrush(kStrip);
    p.drawRect(QRectF(11, 8, 52, 7));

    p.setBrush(kWindow);
    p.drawRoundedRect(QRectF(17, 19, 40, 14), 3, 3);

    p.setPen(QPen(kTape, 2));
    p.drawLine(QPointF(27, 31), QPointF(47, 31));

    p.setPen(QPen(kBodyEdge, 1));
    for (const QPointF &centre : {QPointF(27, 26), QPointF(47, 26)}) {
        p.setBrush(kReel);
        p.drawEllipse(centre, 5, 5);
        p.setBrush(kBody);
        p.drawEllipse(centre, 2, 2);
    }
}

void drawArrowIntoTray(QPainter &p)
{
    QPainterPath arrow;
    arrow.moveTo(33, 40);
    arrow.lineTo(41, 40);
    arrow.lineTo(41, 48);
    arrow.lineTo(48, 48);
    arrow.lineTo(37, 58);
    arrow.lineTo(26, 48);
    arrow.lineTo(33, 48);
    arrow.closeSubpath();
    p.setPen(QPen(kArrowEdge, 1));
    p.setBrush(kArrow);
    p.drawPath(arrow);

    p.setPen(Qt::NoPen);
    p.setBrush(kBody);
    p.drawRoundedRect(QRectF(12, 59, 50, 4), 1.5, 1.5);
}

} // namespace

QImage kelvadoEmblem(int width, int height)
{
    QImage image(qMax(width, 1), qMax(height, 1), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(image.width() / kGridWidth, image.height() / kGridHeight);
    drawCassette(p);
    drawArrowIntoTray(p);
    p.end();
    return image;
}
