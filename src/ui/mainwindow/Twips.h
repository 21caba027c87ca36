#pragma once

#include <QRect>
#include <QtMath>

// Positions and sizes of the windows are laid out in twips: 15 twips are one pixel.
constexpr int twips(int value)
{
    return (value + (value >= 0 ? 7 : -7)) / 15;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}
