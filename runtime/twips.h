#pragma once

#include <QRect>
#include <cmath>

// Window measures are kept in twips, as the window's design gives them; widgets
// work in pixels. At 96 dots per inch a pixel is 15 twips.
constexpr double TwipsPerPixel = 15.0;

constexpr int TwipsToPixels(double twips)
{
    // Rounds halves away from zero, as the window system's own conversion does.
    return static_cast<int>(twips >= 0 ? twips / TwipsPerPixel + 0.5 : twips / TwipsPerPixel - 0.5);
}

constexpr double PixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

constexpr QRect TwipsRect(double left, double top, double width, double height)
{
    return QRect(
        TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}
