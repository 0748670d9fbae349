#pragma once

#include <QFont>
#include <QImage>
#include <QString>

// The preview as an image: the window's picture box and the command-line companion both draw it
// with DrawPreview, so they hold the same pixels for the same parameters.

// The preview font: a family at a size in points with the four styles, drawn in
// crisp strokes without antialiasing.
QFont PreviewFont(
    const QString& family, int points, bool bold, bool italic, bool underline, bool strikeOut);

// Tiles the background over the whole preview from its top-left corner, then
// prints the text there.
void DrawPreview(QImage& preview, const QImage& tile, const QFont& font, const QString& text);
