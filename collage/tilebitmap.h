#pragma once

#include <QImage>
#include <QList>
#include <QtGlobal>
#include <limits>

constexpr quint32 SRCCOPY = 0x00CC0020;

// The value an optional tiling origin carries when the caller leaves it out.
constexpr qint32 OriginNotGiven = std::numeric_limits<qint32>::min();

// One piece of the tiling along one axis: `length` pixels of the source from `source`, drawn at
// `at` in the destination.
struct TileSpan
{
    qint64 at = 0;
    qint64 source = 0;
    qint64 length = 0;
    bool operator==(const TileSpan&) const = default;
};

// The grid along one axis: the pieces that cover [start, start + extent) with copies of the tile
// [sourceStart, sourceStart + tileExtent), aligned so that one copy begins at origin, in order.
// The first grid position is the last one before start, so when the grid meets start exactly
// the first piece has no length. A tile without extent gives no pieces.
QList<TileSpan> TileSpans(
    qint64 start, qint64 extent, qint64 sourceStart, qint64 tileExtent, qint64 origin);

// Covers the destination rectangle with copies of the source tile, aligned to a grid through
// (originX, originY) (the rectangle's corner when not given), clipped at the rectangle's edges:
// one block transfer per pair of pieces, row by row and left to right. Each transfer is also
// clipped to both images. Only 32-bit images are drawn, and only by SRCCOPY; another raster
// operation draws nothing.
void TileBitmap(QImage& destination, int left, int top, int width, int height, const QImage& source,
    int sourceLeft, int sourceTop, int tileWidth, int tileHeight, quint32 rop,
    qint32 originX = OriginNotGiven, qint32 originY = OriginNotGiven);
