#pragma once

#include <QImage>

// The program's emblem: a video cassette over a down arrow into a tray, on a
// transparent ground. Drawn for any size; the about dialog shows it at 74 x 64.
QImage kelvadoEmblem(int width, int height);
