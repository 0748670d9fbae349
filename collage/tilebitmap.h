#pragma once

#include <QImage>
#include <QtGlobal>

constexpr quint32 SRCCOPY = 0x00CC0020;

// The value an optional tiling origin carries when the caller leaves it out.
constexpr qint32 OriginNotGiven = std::numeric_limits<qint32>::min();

// The 32-bit pixels behind a surface.
struct PixelView
{
    uchar* bits = nullptr;
    qsizetype stride = 0;
    int width = 0;
    int height = 0;
};

// A surface that block transfers go to and come from. The tiling only ever talks
// to this, so a test can put a recorder in its place and see every transfer.
class DeviceContext
{
public:
    virtual ~DeviceContext() = default;
    virtual void BitBlt(int x, int y, int width, int height, const DeviceContext& source, int xSrc,
        int ySrc, quint32 rop)
        = 0;
    // The pixels behind the surface, for surfaces that have them.
    virtual PixelView Pixels() const { return {}; }
};

// A device context over a 32-bit image in memory, valid while the image keeps its
// size. Transfers are clipped to both images; a raster operation other than
// SRCCOPY, or a source without pixels, transfers nothing.
class ImageDC : public DeviceContext
{
public:
    explicit ImageDC(QImage& image);
    void BitBlt(int x, int y, int width, int height, const DeviceContext& source, int xSrc,
        int ySrc, quint32 rop) override;
    PixelView Pixels() const override { return m_view; }

private:
    PixelView m_view;
};

// Covers the destination rectangle with copies of the source tile, aligned to a
// grid through (originX, originY), clipped at the rectangle's edges, row by row
// and left to right. A tile without area draws nothing.
void TileBitmap(DeviceContext& destination, int left, int top, int width, int height,
    const DeviceContext& source, int sourceLeft, int sourceTop, int tileWidth, int tileHeight,
    quint32 rop, qint32 originX = OriginNotGiven, qint32 originY = OriginNotGiven);
