#include "collage/tilebitmap.h"
#include "fuzz/fuzzcheck.h"

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

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

// Checks each transfer as it comes and counts how often each destination pixel is drawn.
class CoverageDC : public DeviceContext
{
public:
    CoverageDC(const Geometry& g, const DeviceContext& source)
        : m_g(g)
        , m_source(source)
        , m_originX(g.originX == OriginNotGiven ? g.left : g.originX)
        , m_originY(g.originY == OriginNotGiven ? g.top : g.originY)
        , m_drawn(size_t(std::max(g.width, 0)) * size_t(std::max(g.height, 0)))
    { }

    void BitBlt(int x, int y, int w, int h, const DeviceContext& source, int xSrc, int ySrc,
        quint32 rop) override
    {
        if (w <= 0 || h <= 0)
            return; // transfers nothing
        require(&source == &m_source && rop == m_g.rop, "the source and operation are passed on");
        require(x >= m_g.left && qint64(x) + w <= qint64(m_g.left) + m_g.width && y >= m_g.top
                && qint64(y) + h <= qint64(m_g.top) + m_g.height,
            "no transfer outside the destination");
        require(xSrc >= m_g.sourceLeft && qint64(xSrc) + w <= qint64(m_g.sourceLeft) + m_g.tileWidth
                && ySrc >= m_g.sourceTop
                && qint64(ySrc) + h <= qint64(m_g.sourceTop) + m_g.tileHeight,
            "no transfer outside the tile");
        require(xSrc - m_g.sourceLeft == floorMod(qint64(x) - m_originX, m_g.tileWidth)
                && ySrc - m_g.sourceTop == floorMod(qint64(y) - m_originY, m_g.tileHeight),
            "the tiles are aligned to the grid through the origin");
        for (int row = y - m_g.top; row < y - m_g.top + h; ++row)
            for (int column = x - m_g.left; column < x - m_g.left + w; ++column)
                require(++m_drawn[size_t(row) * size_t(m_g.width) + size_t(column)] == 1,
                    "no pixel is drawn twice");
    }

    bool fullyCovered() const
    {
        return std::all_of(m_drawn.begin(), m_drawn.end(), [](uint8_t n) { return n == 1; });
    }

private:
    const Geometry& m_g;
    const DeviceContext& m_source;
    qint64 m_originX, m_originY;
    std::vector<uint8_t> m_drawn;
};

class NoPixels : public DeviceContext
{
    void BitBlt(int, int, int, int, const DeviceContext&, int, int, quint32) override { }
};

void checkCoverage(const Geometry& g)
{
    NoPixels source;
    CoverageDC destination(g, source);
    TileBitmap(destination, g.left, g.top, g.width, g.height, source, g.sourceLeft, g.sourceTop,
        g.tileWidth, g.tileHeight, g.rop, g.originX, g.originY);
    const bool tileHasArea = g.tileWidth > 0 && g.tileHeight > 0;
    require(destination.fullyCovered() == (tileHasArea || g.width <= 0 || g.height <= 0),
        "the destination is covered exactly when the tile has an area");
}

// The same on real pictures small enough to overlap: every destination pixel holds the tile
// pixel the grid puts there, where that pixel lies in the source picture, and nothing else changes.
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
    QImage source = filled(sourceSize, 0xFF800000);
    const QImage before = destination;
    ImageDC destinationDC(destination);
    ImageDC sourceDC(source);
    TileBitmap(destinationDC, g.left, g.top, g.width, g.height, sourceDC, g.sourceLeft, g.sourceTop,
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
    checkCoverage(g);

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
