#pragma once

#include <QWidget>

// A window's control found by its objectName, as an outside driver finds it.
// Null when there is none of that name and type.
template <typename Widget>
Widget *control(const QObject &window, const char *name)
{
    return window.findChild<Widget *>(QLatin1String(name));
}
