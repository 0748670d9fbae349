#include "collage/tilebitmap.h"
#include "fuzz/fuzzcheck.h"

#include <QImage>
#include <cstdint>
#include <cstring>

namespace {

// The input, little-endian; what the input does not reach stays zero.
struct Input
{
    qint32 left, top;
    qint16 width, height;
    qint32 sourceLeft, sourceTop;
    qint16 tileWidth, tileHeight;
    quint32 rop;
    qint32 originX, originY; // any value, OriginNotGiven included
    quint8 destinationWidth, destinationHeight, sourceWidth, sourceHeight;
};
static_assert(sizeof(Input) == 40);

qint64 floorMod(qint64 a, qint64 b)
{
    return (a % b + b) % b;
}

QImage numbered(int width, int height, QRgb base)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, base + QRgb(y * width + x));
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in {};
    std::memcpy(&in, data, std::min(size, sizeof in));
    // Everything brought near two small real pictures, the origin anywhere: every destination
    // pixel holds the tile pixel the grid puts there, where that pixel lies in the source, and
    // nothing else changes.
    const int left = in.left % 64, top = in.top % 64, width = in.width % 80,
              height = in.height % 80;
    const int sourceLeft = in.sourceLeft % 64, sourceTop = in.sourceTop % 64;
    const int tileWidth = in.tileWidth % 24, tileHeight = in.tileHeight % 24;
    const QImage source = numbered(1 + in.sourceWidth % 48, 1 + in.sourceHeight % 48, 0xFF800000);
    const QImage before
        = numbered(1 + in.destinationWidth % 48, 1 + in.destinationHeight % 48, 0xFF000000);
    QImage destination = before;
    TileBitmap(destination, left, top, width, height, source, sourceLeft, sourceTop, tileWidth,
        tileHeight, in.rop, in.originX, in.originY);

    const bool draws = tileWidth > 0 && tileHeight > 0 && in.rop == SRCCOPY;
    const auto origin
        = [](qint32 given, int edge) { return qint64(given == OriginNotGiven ? edge : given); };
    for (int y = 0; y < destination.height(); ++y) {
        for (int x = 0; x < destination.width(); ++x) {
            const QPoint from(
                sourceLeft + int(floorMod(x - origin(in.originX, left), std::max(tileWidth, 1))),
                sourceTop + int(floorMod(y - origin(in.originY, top), std::max(tileHeight, 1))));
            const bool inside = x >= left && x < left + width && y >= top && y < top + height;
            const QRgb expected = draws && inside && source.rect().contains(from)
                ? source.pixel(from)
                : before.pixel(x, y);
            require(destination.pixel(x, y) == expected, "the picture holds the tiled pixels");
        }
    }
    return 0;
}
