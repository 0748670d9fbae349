#include "collage/tilebitmap.h"
#include "fuzz/fuzzcheck.h"

#include <QImage>
#include <numeric>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The input, little-endian in TileBitmap's order; what the input does not reach is zero.
    size_t at = 0;
    const auto next = [&](int bytes) {
        quint64 value = 0;
        for (int i = 0; i < bytes; ++i, ++at)
            value |= quint64(at < size ? data[at] : 0) << 8 * i;
        return value;
    };
    // Pixels numbered from base on (rows of 32-bit pixels have no padding), each telling where
    // it came from.
    const auto numbered = [](int width, int height, QRgb base) {
        QImage image(width, height, QImage::Format_RGB32);
        auto* pixels = reinterpret_cast<QRgb*>(image.bits());
        std::iota(pixels, pixels + width * height, base);
        return image;
    };
    // Everything brought near two small real pictures, the origin anywhere (OriginNotGiven
    // included): every destination pixel holds the tile pixel the grid puts there, where that
    // pixel lies in the source, and nothing else changes.
    const int left = qint32(next(4)) % 64, top = qint32(next(4)) % 64, width = qint16(next(2)) % 80,
              height = qint16(next(2)) % 80, sourceLeft = qint32(next(4)) % 64,
              sourceTop = qint32(next(4)) % 64, tileWidth = qint16(next(2)) % 24,
              tileHeight = qint16(next(2)) % 24;
    const quint32 rop = quint32(next(4));
    const qint32 originX = qint32(next(4)), originY = qint32(next(4));
    const int destinationWidth = 1 + int(next(1)) % 48, destinationHeight = 1 + int(next(1)) % 48;
    const QImage source = numbered(1 + int(next(1)) % 48, 1 + int(next(1)) % 48, 0xFF800000);
    const QImage before = numbered(destinationWidth, destinationHeight, 0xFF000000);
    QImage destination = before;
    TileBitmap(destination, left, top, width, height, source, sourceLeft, sourceTop, tileWidth,
        tileHeight, rop, originX, originY);

    const bool draws = tileWidth > 0 && tileHeight > 0 && rop == SRCCOPY;
    const auto cell = [](int at, qint32 origin, int edge, int tile) {
        const qint64 offset = at - qint64(origin == OriginNotGiven ? edge : origin),
                     n = std::max(tile, 1);
        return int((offset % n + n) % n);
    };
    for (int y = 0; y < destination.height(); ++y) {
        for (int x = 0; x < destination.width(); ++x) {
            const QPoint from(sourceLeft + cell(x, originX, left, tileWidth),
                sourceTop + cell(y, originY, top, tileHeight));
            const bool inside = x >= left && x < left + width && y >= top && y < top + height;
            require(destination.pixel(x, y)
                    == (draws && inside && source.rect().contains(from) ? source.pixel(from)
                                                                        : before.pixel(x, y)),
                "the picture holds the tiled pixels");
        }
    }
    return 0;
}
