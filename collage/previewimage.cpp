#include "collage/previewimage.h"

#include "collage/textprint.h"
#include "collage/tilebitmap.h"

QFont PreviewFont(
    const QString& family, int points, bool bold, bool italic, bool underline, bool strikeOut)
{
    QFont font;
    font.setFamily(family);
    font.setPointSize(points);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void DrawPreview(QImage& preview, const QImage& tile, const QFont& font, const QString& text)
{
    TileBitmap(preview, 0, 0, preview.width(), preview.height(), tile, 0, 0, tile.width(),
        tile.height(), SRCCOPY);
    // An empty text draws nothing, and skipping it spares the companion the font machinery.
    if (!text.isEmpty())
        PrintText(preview, font, text);
}
