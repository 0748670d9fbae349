#include "collage/pixelrules.h"

#include <cmath>

quint8 PixelGray(quint32 colour)
{
    const double r = colour & 0xFF;
    const double g = (colour >> 8) & 0xFF;
    const double b = (colour >> 16) & 0xFF;
    double grey = g * 0.587 + r * 0.299;
    grey = grey + b * 0.114;
    const double below = std::floor(grey);
    const double fraction = grey - below;
    double whole = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        whole = below + 1;
    // The weights add up to 1, so the level stays within a byte; the clamp only
    // guards against rounding at the very top.
    return quint8(std::min(whole, 255.0));
}
