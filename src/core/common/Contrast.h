#pragma once

#include <QtGlobal>

#include <initializer_list>

// Colours as 0xRRGGBB (any alpha above is ignored). How readable one colour is on another, as the ratio of
// their relative luminances (1 to 21); text wants at least 4.5.
constexpr double kReadableContrast = 4.5;
double contrastRatio(quint32 rgbA, quint32 rgbB);

// The colour between `text` and `ground` that lies as near `ground` as it may
// while keeping kReadableContrast against it: text that looks dimmed yet stays
// readable. `text` itself when even that is not readable enough.
quint32 dimmedReadable(quint32 text, quint32 ground);

// Of the candidates, the first that is readable on `ground`; else the one
// that contrasts most with it (black or white always reach 4.5 with one of them).
quint32 readableOn(quint32 ground, std::initializer_list<quint32> candidates);
