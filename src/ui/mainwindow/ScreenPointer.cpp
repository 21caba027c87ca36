#include "mainwindow/ScreenPointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
ScreenPointer g_pointer = ScreenPointer::Default;
}

void setScreenPointer(ScreenPointer pointer)
{
    // Exactly one override at a time, so set and reset never pile up.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    if (pointer == ScreenPointer::Hourglass)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else if (pointer == ScreenPointer::Arrow)
        QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    g_pointer = pointer;
}

ScreenPointer screenPointer()
{
    return g_pointer;
}
