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

// Along one axis the pieces with a length cover the destination exactly once, in order, each
// taken from inside the tile where the grid through the origin puts it.
void checkSpans(qint64 start, qint64 extent, qint64 sourceStart, qint64 tile, qint64 origin)
{
    const QList<TileSpan> spans = TileSpans(start, extent, sourceStart, tile, origin);
    require(tile > 0 || spans.isEmpty(), "a tile without extent gives no pieces");
    qint64 next = start;
    for (const TileSpan& span : spans) {
        if (span.length <= 0)
            continue;
        require(span.at == next, "the pieces follow each other without gap or overlap");
        require(span.source >= sourceStart && span.source + span.length <= sourceStart + tile,
            "no piece reaches outside the tile");
        require(span.source - sourceStart == floorMod(span.at - origin, tile),
            "the pieces are aligned to the grid through the origin");
        next += span.length;
    }
    require(tile <= 0 || next == start + std::max(extent, qint64(0)),
        "the pieces cover the destination");
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
    const auto origin
        = [](qint32 given, qint32 edge) { return given == OriginNotGiven ? edge : given; };
    checkSpans(in.left, in.width, in.sourceLeft, in.tileWidth, origin(in.originX, in.left));
    checkSpans(in.top, in.height, in.sourceTop, in.tileHeight, origin(in.originY, in.top));

    // On real pictures, with everything brought near them: every destination pixel holds the tile
    // pixel the grid puts there, where that pixel lies in the source, and nothing else changes.
    const int left = in.left % 64, top = in.top % 64, width = in.width % 80,
              height = in.height % 80;
    const int sourceLeft = in.sourceLeft % 64, sourceTop = in.sourceTop % 64;
    const int tileWidth = in.tileWidth % 24, tileHeight = in.tileHeight % 24;
    const auto near = [](qint32 value) { return value == OriginNotGiven ? value : value % 200; };
    const qint32 originX = near(in.originX), originY = near(in.originY);
    const QImage source = numbered(1 + in.sourceWidth % 48, 1 + in.sourceHeight % 48, 0xFF800000);
    const QImage before
        = numbered(1 + in.destinationWidth % 48, 1 + in.destinationHeight % 48, 0xFF000000);
    QImage destination = before;
    TileBitmap(destination, left, top, width, height, source, sourceLeft, sourceTop, tileWidth,
        tileHeight, in.rop, originX, originY);

    const bool draws = tileWidth > 0 && tileHeight > 0 && in.rop == SRCCOPY;
    for (int y = 0; y < destination.height(); ++y) {
        for (int x = 0; x < destination.width(); ++x) {
            const QPoint from(
                sourceLeft + int(floorMod(x - origin(originX, left), std::max(tileWidth, 1))),
                sourceTop + int(floorMod(y - origin(originY, top), std::max(tileHeight, 1))));
            const bool inside = x >= left && x < left + width && y >= top && y < top + height;
            const QRgb expected = draws && inside && source.rect().contains(from)
                ? source.pixel(from)
                : before.pixel(x, y);
            require(destination.pixel(x, y) == expected, "the picture holds the tiled pixels");
        }
    }
    return 0;
}
