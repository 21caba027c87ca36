#pragma once

#include <QIcon>

class QWidget;

// The mark at the end of a row saved before: a tick, or a warning sign when
// the saved file is no longer there. Drawn in the list's own text colours, so
// it shows as clearly as the text does, on a selected row as well.
QIcon savedMark(bool fileThere, const QWidget *list);
