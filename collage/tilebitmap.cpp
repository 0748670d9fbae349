#include "collage/tilebitmap.h"

#include <cstring>

namespace {

// The pieces clipped to a destination of destinationExtent and a source of sourceExtent pixels.
QList<TileSpan> ClippedTo(QList<TileSpan> spans, qint64 destinationExtent, qint64 sourceExtent)
{
    for (TileSpan& span : spans) {
        const qint64 cut = std::max({qint64(0), -span.at, -span.source});
        span.at += cut;
        span.source += cut;
        span.length = std::min(
            {span.length - cut, destinationExtent - span.at, sourceExtent - span.source});
    }
    return spans;
}

} // namespace

QList<TileSpan> TileSpans(
    qint64 start, qint64 extent, qint64 sourceStart, qint64 tileExtent, qint64 origin)
{
    QList<TileSpan> spans;
    if (tileExtent <= 0)
        return spans;
    // The grid position just before start, computed rather than stepped so that a far-off
    // origin costs nothing.
    qint64 phase = (start - 1 - origin) % tileExtent;
    if (phase < 0)
        phase += tileExtent;
    const qint64 last = start + extent - 1;
    for (qint64 at = start - 1 - phase; at <= last; at += tileExtent) {
        qint64 offset = 0;
        qint64 length = tileExtent;
        if (at < start) {
            offset = start - at;
            length = tileExtent - offset;
        }
        if (at + tileExtent - 1 > last)
            length -= at + tileExtent - 1 - last;
        spans.append({at + offset, sourceStart + offset, length});
    }
    return spans;
}

void TileBitmap(QImage& destination, int left, int top, int width, int height, const QImage& source,
    int sourceLeft, int sourceTop, int tileWidth, int tileHeight, quint32 rop, qint32 originX,
    qint32 originY)
{
    if (rop != SRCCOPY || destination.depth() != 32 || source.depth() != 32)
        return;
    const QList<TileSpan> columns = ClippedTo(
        TileSpans(left, width, sourceLeft, tileWidth, originX == OriginNotGiven ? left : originX),
        destination.width(), source.width());
    const QList<TileSpan> rows = ClippedTo(
        TileSpans(top, height, sourceTop, tileHeight, originY == OriginNotGiven ? top : originY),
        destination.height(), source.height());

    // The destination is detached first, so that a source sharing its pixels keeps them.
    uchar* const to = destination.bits();
    const uchar* const from = source.constBits();
    const qsizetype toStride = destination.bytesPerLine();
    const qsizetype fromStride = source.bytesPerLine();
    for (const TileSpan& row : rows) {
        if (row.length <= 0)
            continue;
        for (const TileSpan& column : columns) {
            if (column.length <= 0)
                continue;
            const uchar* src = from + row.source * fromStride + column.source * 4;
            uchar* dst = to + row.at * toStride + column.at * 4;
            const size_t bytes = size_t(column.length) * 4;
            for (qint64 line = 0; line < row.length; ++line, src += fromStride, dst += toStride) {
                // A one-pixel tile makes a transfer per pixel; a fixed-size copy keeps that cheap.
                if (bytes == 4)
                    std::memcpy(dst, src, 4);
                else
                    std::memmove(dst, src, bytes);
            }
        }
    }
}
