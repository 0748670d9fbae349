#pragma once

#include <QFont>
#include <QImage>
#include <QString>

// Draws text into an image the way a picture box prints from its top-left corner: every line
// starts at the left edge, one line height below the one before, only the glyph strokes are
// painted (in black), and what lies beyond the image is cut off. Lines are separated by CR LF
// or LF.
void PrintText(QImage& image, const QFont& font, const QString& text);
