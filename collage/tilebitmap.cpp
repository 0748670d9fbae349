#include "collage/tilebitmap.h"

#include <cstring>

namespace {

// The grid position just before the destination's near edge: the last one
// strictly below it. Computed rather than stepped, so a far-off origin costs
// nothing, and it also holds for a destination that starts below zero.
qint64 GridStartBefore(qint64 edge, qint64 origin, qint64 step)
{
    qint64 phase = (edge - 1 - origin) % step;
    if (phase < 0)
        phase += step;
    return edge - 1 - phase;
}

} // namespace

ImageDC::ImageDC(QImage& image)
{
    if (image.depth() == 32 && !image.isNull())
        m_view = {image.bits(), image.bytesPerLine(), image.width(), image.height()};
}

void ImageDC::BitBlt(int x, int y, int width, int height, const DeviceContext& source, int xSrc,
    int ySrc, quint32 rop)
{
    if (rop != SRCCOPY || width <= 0 || height <= 0 || !m_view.bits)
        return;
    const PixelView from = source.Pixels();
    if (!from.bits)
        return;

    qint64 dx = x, dy = y, sx = xSrc, sy = ySrc, w = width, h = height;
    // Clip against the left and top edges of both images, then the right and bottom ones.
    const qint64 cutLeft = std::max({qint64(0), -dx, -sx});
    const qint64 cutTop = std::max({qint64(0), -dy, -sy});
    dx += cutLeft, sx += cutLeft, w -= cutLeft;
    dy += cutTop, sy += cutTop, h -= cutTop;
    w = std::min({w, m_view.width - dx, from.width - sx});
    h = std::min({h, m_view.height - dy, from.height - sy});
    if (w <= 0 || h <= 0)
        return;

    const uchar* src = from.bits + sy * from.stride + sx * 4;
    uchar* dst = m_view.bits + dy * m_view.stride + dx * 4;
    if (w == 1 && h == 1) {
        std::memcpy(dst, src, 4);
        return;
    }
    const size_t rowBytes = size_t(w) * 4;
    for (qint64 row = 0; row < h; ++row, src += from.stride, dst += m_view.stride)
        std::memmove(dst, src, rowBytes);
}

void TileBitmap(DeviceContext& destination, int left, int top, int width, int height,
    const DeviceContext& source, int sourceLeft, int sourceTop, int tileWidth, int tileHeight,
    quint32 rop, qint32 originX, qint32 originY)
{
    if (tileWidth <= 0 || tileHeight <= 0)
        return;
    if (originX == OriginNotGiven)
        originX = left;
    if (originY == OriginNotGiven)
        originY = top;

    const qint64 right = qint64(left) + width - 1; // last column of the destination
    const qint64 bottom = qint64(top) + height - 1; // last row
    const qint64 startX = GridStartBefore(left, originX, tileWidth);
    const qint64 startY = GridStartBefore(top, originY, tileHeight);

    for (qint64 y = startY; y <= bottom; y += tileHeight) {
        for (qint64 x = startX; x <= right; x += tileWidth) {
            qint64 offsetX = 0, offsetY = 0, w = tileWidth, h = tileHeight;
            if (y < top) {
                offsetY = top - y;
                h = tileHeight - offsetY;
            }
            if (y + tileHeight - 1 > bottom)
                h -= (y + tileHeight - 1) - bottom;
            if (x < left) {
                offsetX = left - x;
                w = tileWidth - offsetX;
            }
            if (x + tileWidth - 1 > right)
                w -= (x + tileWidth - 1) - right;
            destination.BitBlt(int(x + offsetX), int(y + offsetY), int(w), int(h), source,
                int(sourceLeft + offsetX), int(sourceTop + offsetY), rop);
        }
    }
}
