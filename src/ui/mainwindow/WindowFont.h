#pragma once

#include <QFont>

// The program's sans-serif face (the application's default font) at a given
// size; stands in for the original windows' "MS Sans Serif".
QFont sansFont(double points, bool bold = false, bool italic = false);
