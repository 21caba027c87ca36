#include "mainwindow/WindowFont.h"

#include <QApplication>

QFont sansFont(double points, bool bold, bool italic)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}
