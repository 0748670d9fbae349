#include "collage/tilebitmap.h"
#include "fuzz/fuzzcheck.h"

#include <QImage>
#include <cstdint>
#include <cstring>

namespace {

// Reads little-endian fields from the input; past its end, zeros.
class Fields
{
public:
    Fields(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size)
    { }
    template <typename T> T take()
    {
        T value {};
        if (m_at + sizeof value <= m_size)
            std::memcpy(&value, m_data + m_at, sizeof value);
        m_at += sizeof value;
        return value;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

struct Geometry
{
    int left, top, width, height, sourceLeft, sourceTop, tileWidth, tileHeight;
    quint32 rop;
    qint32 originX, originY;
};

qint64 floorMod(qint64 a, qint64 b)
{
    return (a % b + b) % b;
}

// Along one axis the pieces with a length cover the destination exactly once, in order, each
// taken from inside the tile where the grid through the origin puts it.
void checkSpans(qint64 start, qint64 extent, qint64 sourceStart, qint64 tile, qint64 origin)
{
    const QList<TileSpan> spans = TileSpans(start, extent, sourceStart, tile, origin);
    if (tile <= 0) {
        require(spans.isEmpty(), "a tile without extent gives no pieces");
        return;
    }
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
    require(next == start + std::max(extent, qint64(0)), "the pieces cover the destination");
}

// On real pictures small enough to overlap: every destination pixel holds the tile pixel the
// grid puts there, where that pixel lies in the source picture, and nothing else changes.
void checkPixels(const Geometry& g, QSize destinationSize, QSize sourceSize)
{
    const auto filled = [](QSize size, QRgb base) {
        QImage image(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y, base + QRgb(y * size.width() + x));
        return image;
    };
    QImage destination = filled(destinationSize, 0xFF000000);
    const QImage source = filled(sourceSize, 0xFF800000);
    const QImage before = destination;
    TileBitmap(destination, g.left, g.top, g.width, g.height, source, g.sourceLeft, g.sourceTop,
        g.tileWidth, g.tileHeight, g.rop, g.originX, g.originY);

    const qint64 originX = g.originX == OriginNotGiven ? g.left : g.originX;
    const qint64 originY = g.originY == OriginNotGiven ? g.top : g.originY;
    const bool draws = g.tileWidth > 0 && g.tileHeight > 0 && g.rop == SRCCOPY;
    for (int y = 0; y < destination.height(); ++y) {
        for (int x = 0; x < destination.width(); ++x) {
            QRgb expected = before.pixel(x, y);
            const QPoint from(g.sourceLeft + int(floorMod(x - originX, std::max(g.tileWidth, 1))),
                g.sourceTop + int(floorMod(y - originY, std::max(g.tileHeight, 1))));
            if (draws && x >= g.left && x < g.left + g.width && y >= g.top && y < g.top + g.height
                && source.rect().contains(from))
                expected = source.pixel(from);
            require(destination.pixel(x, y) == expected, "the picture holds the tiled pixels");
        }
    }
}

} // namespace

// The input: destination left, top, width, height; tile left, top, width, height; operation;
// origin x and y (any value, OriginNotGiven included); then the sizes of the two pictures.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fields in(data, size);
    Geometry g;
    g.left = in.take<qint32>() % 1000001;
    g.top = in.take<qint32>() % 1000001;
    g.width = in.take<qint16>() % 2001;
    g.height = in.take<qint16>() % 2001;
    g.sourceLeft = in.take<qint32>() % 1000001;
    g.sourceTop = in.take<qint32>() % 1000001;
    g.tileWidth = in.take<qint16>() % 2001;
    g.tileHeight = in.take<qint16>() % 2001;
    g.rop = in.take<quint32>();
    g.originX = in.take<qint32>();
    g.originY = in.take<qint32>();
    checkSpans(g.left, g.width, g.sourceLeft, g.tileWidth,
        g.originX == OriginNotGiven ? g.left : g.originX);
    checkSpans(g.top, g.height, g.sourceTop, g.tileHeight,
        g.originY == OriginNotGiven ? g.top : g.originY);

    // Bring everything near the pictures, keeping the origin's "not given".
    const QSize destinationSize(1 + in.take<quint8>() % 48, 1 + in.take<quint8>() % 48);
    const QSize sourceSize(1 + in.take<quint8>() % 48, 1 + in.take<quint8>() % 48);
    Geometry near = g;
    for (int* v : {&near.left, &near.top, &near.sourceLeft, &near.sourceTop})
        *v %= 64;
    for (int* v : {&near.width, &near.height})
        *v %= 80;
    for (int* v : {&near.tileWidth, &near.tileHeight})
        *v %= 24;
    for (qint32* v : {&near.originX, &near.originY})
        *v = *v == OriginNotGiven ? *v : *v % 200;
    checkPixels(near, destinationSize, sourceSize);
    return 0;
}
