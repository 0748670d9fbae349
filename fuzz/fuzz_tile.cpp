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
    // Near two small real pictures, the origin anywhere: each destination pixel holds the tile
    // pixel the grid puts there where the source has it, and nothing else changes.
    const int left = qint32(next(4)) % 64, top = qint32(next(4)) % 64, width = qint16(next(2)) % 80,
              height = qint16(next(2)) % 80, sourceLeft = qint32(next(4)) % 64,
              sourceTop = qint32(next(4)) % 64, tileWidth = qint16(next(2)) % 24,
              tileHeight = qint16(next(2)) % 24;
    const quint32 rop = quint32(next(4));
    const qint32 originX = qint32(next(4)), originY = qint32(next(4));
    const QRgb untouched = 0xFF000000;
    QImage destination(1 + int(next(1)) % 48, 1 + int(next(1)) % 48, QImage::Format_RGB32);
    destination.fill(untouched);
    // Source pixels numbered (rows of 32-bit pixels have no padding), each telling where it lies.
    QImage source(1 + int(next(1)) % 48, 1 + int(next(1)) % 48, QImage::Format_RGB32);
    auto* pixels = reinterpret_cast<QRgb*>(source.bits());
    std::iota(pixels, pixels + source.width() * source.height(), 0xFF800000);
    TileBitmap(destination, left, top, width, height, source, sourceLeft, sourceTop, tileWidth,
        tileHeight, rop, originX, originY);

    const bool draws = tileWidth > 0 && tileHeight > 0 && rop == SRCCOPY;
    const auto cell = [](int at, qint32 origin, int edge, qint64 tile) {
        const qint64 offset = at - qint64(origin == OriginNotGiven ? edge : origin);
        return int((offset % tile + tile) % tile);
    };
    for (int y = 0; y < destination.height(); ++y) {
        for (int x = 0; x < destination.width(); ++x) {
            const QPoint from(sourceLeft + cell(x, originX, left, std::max(tileWidth, 1)),
                sourceTop + cell(y, originY, top, std::max(tileHeight, 1)));
            const bool inside = x >= left && x < left + width && y >= top && y < top + height;
            require(destination.pixel(x, y)
                    == (draws && inside && source.rect().contains(from) ? source.pixel(from)
                                                                        : untouched),
                "the picture holds the tiled pixels");
        }
    }
    return 0;
}
