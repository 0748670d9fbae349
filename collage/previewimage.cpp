#include "collage/previewimage.h"

#include "collage/textprint.h"
#include "collage/tilebitmap.h"

namespace {

constexpr int DotsPerMeter96 = 3780;

} // namespace

QImage BlankPicture(int width, int height, const QColor& colour)
{
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    image.setDotsPerMeterX(DotsPerMeter96);
    image.setDotsPerMeterY(DotsPerMeter96);
    image.fill(colour);
    return image;
}

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

void DrawPreview(QImage& preview, QImage& tile, const QFont& font, const QString& text)
{
    ImageDC to(preview);
    const ImageDC from(tile);
    TileBitmap(to, 0, 0, preview.width(), preview.height(), from, 0, 0, tile.width(), tile.height(),
        SRCCOPY);
    if (!text.isEmpty())
        PrintText(preview, font, QPoint(0, 0), text);
}
