#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

// The preview as an image: the window's picture box and the command-line companion both draw it
// with DrawPreview, so they hold the same pixels for the same parameters.

// A picture of the given size in one colour, at 96 dots per inch, so that a font
// size in points gives the pixel height the window system would give it.
QImage BlankPicture(int width, int height, const QColor& colour);

// The preview font: a family at a size in points with the four styles, drawn in
// crisp strokes without antialiasing.
QFont PreviewFont(
    const QString& family, int points, bool bold, bool italic, bool underline, bool strikeOut);

// Tiles the background over the whole preview from its top-left corner, then
// prints the text there.
void DrawPreview(QImage& preview, const QImage& tile, const QFont& font, const QString& text);
