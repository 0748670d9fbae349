#pragma once

#include <QColor>
#include <QImage>

// A picture of the given size in one colour, at 96 dots per inch, so that a font
// size in points gives the pixel height the window system would give it.
QImage BlankPicture(int width, int height, const QColor& colour);
