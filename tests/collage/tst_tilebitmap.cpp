#include "collage/tilebitmap.h"
#include "support/images.h"

#include <QRect>
#include <QTest>

using testsupport::painted;

namespace {

struct Transfer
{
    int x, y, width, height, xSrc, ySrc;
    quint32 rop;
    bool operator==(const Transfer&) const = default;
};

class RecordingDC : public DeviceContext
{
public:
    QList<Transfer> transfers;
    void BitBlt(
        int x, int y, int w, int h, const DeviceContext&, int xs, int ys, quint32 rop) override
    {
        transfers.append({x, y, w, h, xs, ys, rop});
    }
};

struct Geometry
{
    QRect destination;
    QRect tile; // tile position and size in the source
    qint32 originX = OriginNotGiven, originY = OriginNotGiven;
    quint32 rop = SRCCOPY;
};

int floorMod(qint64 a, qint64 b)
{
    return int(((a % b) + b) % b);
}

// Drawn on the recorder: the transfers with an area.
QList<Transfer> tiled(const Geometry& g, RecordingDC& dc)
{
    const QRect d = g.destination, t = g.tile;
    TileBitmap(dc, d.x(), d.y(), d.width(), d.height(), dc, t.x(), t.y(), t.width(), t.height(),
        g.rop, g.originX, g.originY);
    QList<Transfer> drawn;
    for (const Transfer& tr : dc.transfers)
        if (tr.width > 0 && tr.height > 0)
            drawn.append(tr);
    return drawn;
}

} // namespace

Q_DECLARE_METATYPE(Geometry)

class TestTileBitmap : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Whatever the geometry: the destination is covered exactly once, nothing is
    // drawn outside it, and every pixel comes from the tile pixel the grid puts there.
    // A tile without area draws nothing.
    void coversDestinationFromTheGrid_data()
    {
        QTest::addColumn<Geometry>("g");
        QTest::newRow("preview 12x12, tile 32x32") << Geometry {{0, 0, 12, 12}, {0, 0, 32, 32}};
        QTest::newRow("preview 100x40, tile 32x32") << Geometry {{0, 0, 100, 40}, {0, 0, 32, 32}};
        QTest::newRow("1x1 tile") << Geometry {{0, 0, 5, 3}, {0, 0, 1, 1}};
        QTest::newRow("tile larger than destination") << Geometry {{0, 0, 10, 7}, {0, 0, 50, 50}};
        QTest::newRow("exact multiple") << Geometry {{0, 0, 64, 64}, {0, 0, 32, 32}};
        QTest::newRow("destination away from the corner")
            << Geometry {{10, 20, 45, 33}, {0, 0, 16, 8}};
        QTest::newRow("tile inside a larger source") << Geometry {{0, 0, 40, 30}, {7, 3, 9, 11}};
        QTest::newRow("origin given") << Geometry {{0, 0, 40, 40}, {0, 0, 32, 32}, 5, 9};
        QTest::newRow("origin given far away")
            << Geometry {{3, 4, 40, 40}, {0, 0, 7, 5}, 2000000003, -2000000001};
        QTest::newRow("origin inside the destination")
            << Geometry {{10, 10, 30, 30}, {0, 0, 8, 8}, 25, 31};
        QTest::newRow("negative left and top") << Geometry {{-7, -3, 20, 20}, {0, 0, 6, 4}};
        QTest::newRow("negative with origin")
            << Geometry {{-40, -40, 30, 30}, {0, 0, 16, 16}, 3, -5};
        QTest::newRow("another raster operation passed through")
            << Geometry {{0, 0, 3, 3}, {0, 0, 2, 2}, OriginNotGiven, OriginNotGiven, 0x00EE0086};
        QTest::newRow("empty destination") << Geometry {{0, 0, 0, 0}, {0, 0, 8, 8}};
        QTest::newRow("tile of zero width") << Geometry {{0, 0, 20, 20}, {0, 0, 0, 32}};
        QTest::newRow("tile of zero height") << Geometry {{0, 0, 20, 20}, {0, 0, 32, 0}};
        QTest::newRow("tile of negative size") << Geometry {{0, 0, 20, 20}, {0, 0, -4, -4}};
    }

    void coversDestinationFromTheGrid()
    {
        QFETCH(Geometry, g);
        RecordingDC dc;
        const QRect d = g.destination, t = g.tile;
        const qint64 ox = g.originX == OriginNotGiven ? d.x() : g.originX;
        const qint64 oy = g.originY == OriginNotGiven ? d.y() : g.originY;
        const QList<Transfer> drawn = tiled(g, dc);
        if (t.isEmpty())
            QVERIFY(drawn.isEmpty());
        QList<int> hits(t.isEmpty() ? 0 : d.width() * d.height(), 0);
        for (const Transfer& tr : drawn) {
            QCOMPARE(tr.rop, g.rop);
            QVERIFY2(d.contains(QRect(tr.x, tr.y, tr.width, tr.height)),
                "transfer outside the destination");
            QVERIFY2(
                t.contains(QRect(tr.xSrc, tr.ySrc, tr.width, tr.height)), "read outside the tile");
            for (int y = tr.y; y < tr.y + tr.height; ++y) {
                for (int x = tr.x; x < tr.x + tr.width; ++x) {
                    ++hits[(y - d.y()) * d.width() + (x - d.x())];
                    QCOMPARE(tr.xSrc + (x - tr.x) - t.x(), floorMod(x - ox, t.width()));
                    QCOMPARE(tr.ySrc + (y - tr.y) - t.y(), floorMod(y - oy, t.height()));
                }
            }
        }
        QCOMPARE(hits.count(1), hits.size());
    }

    // The order and the first transfers, where the grid is easiest to get wrong.
    void transferSequences()
    {
        RecordingDC rows;
        QCOMPARE(tiled({{0, 0, 100, 40}, {0, 0, 32, 32}}, rows),
            (QList<Transfer> {{0, 0, 32, 32, 0, 0, SRCCOPY}, {32, 0, 32, 32, 0, 0, SRCCOPY},
                {64, 0, 32, 32, 0, 0, SRCCOPY}, {96, 0, 4, 32, 0, 0, SRCCOPY},
                {0, 32, 32, 8, 0, 0, SRCCOPY}, {32, 32, 32, 8, 0, 0, SRCCOPY},
                {64, 32, 32, 8, 0, 0, SRCCOPY}, {96, 32, 4, 8, 0, 0, SRCCOPY}}));

        // The grid meets the destination's edge exactly, so the first row and column of grid
        // positions lie wholly outside and come out empty.
        RecordingDC small;
        QCOMPARE(tiled({{0, 0, 12, 12}, {0, 0, 32, 32}}, small),
            (QList<Transfer> {{0, 0, 12, 12, 0, 0, SRCCOPY}}));
        QCOMPARE(small.transfers.size(), 4);

        // Origin 5: the first column shows the tile's last five columns.
        RecordingDC shifted;
        const QList<Transfer> drawn = tiled({{0, 0, 40, 10}, {0, 0, 32, 32}, 5}, shifted);
        QVERIFY(drawn.size() >= 2);
        QCOMPARE(drawn[0], (Transfer {0, 0, 5, 10, 27, 0, SRCCOPY}));
        QCOMPARE(drawn[1], (Transfer {5, 0, 32, 10, 0, 0, SRCCOPY}));
    }

    // One transfer between two images is clipped to both; another raster operation copies
    // nothing.
    void imageTransferIsClippedToBothImages_data()
    {
        QTest::addColumn<QRect>("area"); // destination rectangle of one transfer
        QTest::addColumn<QPoint>("source");
        QTest::addColumn<quint32>("rop");
        QTest::newRow("beyond right and bottom") << QRect(6, 6, 10, 10) << QPoint(0, 0) << SRCCOPY;
        QTest::newRow("before left and top") << QRect(-3, -2, 5, 5) << QPoint(3, 2) << SRCCOPY;
        QTest::newRow("source partly outside") << QRect(0, 0, 8, 8) << QPoint(-2, 4) << SRCCOPY;
        QTest::newRow("other raster operation")
            << QRect(0, 0, 4, 4) << QPoint(0, 0) << quint32(0x00EE0086);
    }

    void imageTransferIsClippedToBothImages()
    {
        QFETCH(QRect, area);
        QFETCH(QPoint, source);
        QFETCH(quint32, rop);
        QImage src = painted({8, 8}, [](int x, int y) { return qRgb(x, y, 1); });
        QImage dst(8, 8, QImage::Format_RGB32);
        dst.fill(Qt::white);
        ImageDC to(dst);
        to.BitBlt(area.x(), area.y(), area.width(), area.height(), ImageDC(src), source.x(),
            source.y(), rop);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const QPoint s(x - area.x() + source.x(), y - area.y() + source.y());
                const bool copied = rop == SRCCOPY && area.contains(x, y) && src.rect().contains(s);
                QCOMPARE(dst.pixel(x, y), copied ? src.pixel(s) : qRgb(255, 255, 255));
            }
        }
    }
};

QTEST_MAIN(TestTileBitmap)
#include "tst_tilebitmap.moc"