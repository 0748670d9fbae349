#pragma once

#include <QtGlobal>

// Colours here are laid out 0x00BBGGRR, red in the low byte, as the window system
// reports pixels.

// How a pixel is judged light (giving the space string) or dark (the display string).
enum class ProcessMode : qint16 {
    Fastest = 0, // light when red, green and blue are all at least 128
    Fast = 1, // light when at least two of them are
    Slow = 2, // light when the grey level is at least K
};

// The colour of a pixel as the window system reports it, from a 32-bit image pixel.
constexpr quint32 ColourOf(quint32 argb)
{
    return ((argb & 0xFF) << 16) | (argb & 0xFF00) | ((argb >> 16) & 0xFF);
}

constexpr bool IsLightFastest(quint32 colour)
{
    return (colour & 0x808080) == 0x808080;
}

constexpr bool IsLightFast(quint32 colour)
{
    return ((colour >> 7) & 1) + ((colour >> 15) & 1) + ((colour >> 23) & 1) >= 2;
}
