#include "common/Contrast.h"

#include <algorithm>
#include <cmath>

namespace {

double channel(quint32 rgb, int shift)
{
    const double value = double((rgb >> shift) & 0xff) / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(quint32 rgb)
{
    return 0.2126 * channel(rgb, 16) + 0.7152 * channel(rgb, 8) + 0.0722 * channel(rgb, 0);
}

quint32 mix(quint32 from, quint32 to, double share)
{
    quint32 mixed = 0;
    for (const int shift : {16, 8, 0}) {
        const double a = double((from >> shift) & 0xff), b = double((to >> shift) & 0xff);
        mixed |= quint32(std::lround(a + (b - a) * share)) << shift;
    }
    return mixed;
}

} // namespace

double contrastRatio(quint32 rgbA, quint32 rgbB)
{
    const double a = luminance(rgbA), b = luminance(rgbB);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

quint32 dimmedReadable(quint32 text, quint32 ground)
{
    // Step from the ground towards the text until the mix is readable.
    for (int step = 1; step < 20; ++step) {
        const quint32 mixed = mix(ground, text, step / 20.0);
        if (contrastRatio(mixed, ground) >= kReadableContrast)
            return mixed;
    }
    return text;
}

quint32 readableOn(quint32 ground, std::initializer_list<quint32> candidates)
{
    for (const quint32 colour : candidates) {
        if (contrastRatio(colour, ground) >= kReadableContrast)
            return colour;
    }
    return contrastRatio(0x000000, ground) >= contrastRatio(0xffffff, ground) ? 0x000000 : 0xffffff;
}
