#include "collage/tilebitmap.h"
#include "support/testregistry.h"

#include <QRect>
#include <QTest>

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
    QList<Transfer> drawing() const
    {
        QList<Transfer> result;
        for (const Transfer& t : transfers)
            if (t.width > 0 && t.height > 0)
                result.append(t);
        return result;
    }
};

struct Geometry
{
    QRect destination;
    QRect tile; // tile position and size in the source
    qint32 originX = OriginNotGiven, originY = OriginNotGiven;
};

int floorMod(qint64 a, qint64 b)
{
    return int(((a % b) + b) % b);
}

} // namespace

Q_DECLARE_METATYPE(Geometry)

class TestTileBitmap : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Whatever the geometry: the destination is covered exactly once, nothing is
    // drawn outside it, and every pixel comes from the tile pixel the grid puts there.
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
    }

    void coversDestinationFromTheGrid()
    {
        QFETCH(Geometry, g);
        RecordingDC dc;
        const QRect d = g.destination, t = g.tile;
        TileBitmap(dc, d.x(), d.y(), d.width(), d.height(), dc, t.x(), t.y(), t.width(), t.height(),
            SRCCOPY, g.originX, g.originY);
        const qint64 ox = g.originX == OriginNotGiven ? d.x() : g.originX;
        const qint64 oy = g.originY == OriginNotGiven ? d.y() : g.originY;

        QList<int> hits(d.width() * d.height(), 0);
        for (const Transfer& tr : dc.drawing()) {
            QCOMPARE(tr.rop, SRCCOPY);
            QVERIFY2(d.contains(QRect(tr.x, tr.y, tr.width, tr.height)),
                "transfer outside the destination");
            QVERIFY2(
                t.contains(QRect(tr.xSrc, tr.ySrc, tr.width, tr.height)), "read outside the tile");
            for (int y = tr.y; y < tr.y + tr.height; ++y) {
                for (int x = tr.x; x < tr.x + tr.width; ++x) {
                    ++hits[(y - d.y()) * d.width() + (x - d.x())];
                    const int sx = tr.xSrc + (x - tr.x), sy = tr.ySrc + (y - tr.y);
                    QCOMPARE(sx - t.x(), floorMod(x - ox, t.width()));
                    QCOMPARE(sy - t.y(), floorMod(y - oy, t.height()));
                }
            }
        }
        QCOMPARE(hits.count(1), hits.size());
    }

    void transfersGoRowByRowLeftToRight()
    {
        RecordingDC dc;
        TileBitmap(dc, 0, 0, 100, 40, dc, 0, 0, 32, 32, SRCCOPY);
        const QList<Transfer> expected = {
            {0, 0, 32, 32, 0, 0, SRCCOPY},
            {32, 0, 32, 32, 0, 0, SRCCOPY},
            {64, 0, 32, 32, 0, 0, SRCCOPY},
            {96, 0, 4, 32, 0, 0, SRCCOPY},
            {0, 32, 32, 8, 0, 0, SRCCOPY},
            {32, 32, 32, 8, 0, 0, SRCCOPY},
            {64, 32, 32, 8, 0, 0, SRCCOPY},
            {96, 32, 4, 8, 0, 0, SRCCOPY},
        };
        QCOMPARE(dc.drawing(), expected);
    }

    // The grid meets the destination's edge exactly, so the first row and column
    // of grid positions lie wholly outside and come out empty.
    void smallPreviewDrawsOneTransfer()
    {
        RecordingDC dc;
        TileBitmap(dc, 0, 0, 12, 12, dc, 0, 0, 32, 32, SRCCOPY);
        QCOMPARE(dc.transfers.size(), 4);
        QCOMPARE(dc.drawing(), (QList<Transfer> {{0, 0, 12, 12, 0, 0, SRCCOPY}}));
    }

    void givenOriginStartsWithTheTilesLastColumns()
    {
        RecordingDC dc;
        TileBitmap(dc, 0, 0, 40, 10, dc, 0, 0, 32, 32, SRCCOPY, 5);
        const QList<Transfer> drawn = dc.drawing();
        QVERIFY(!drawn.isEmpty());
        QCOMPARE(drawn.first(), (Transfer {0, 0, 5, 10, 27, 0, SRCCOPY}));
        QCOMPARE(drawn.at(1), (Transfer {5, 0, 32, 10, 0, 0, SRCCOPY}));
    }

    void rasterOperationIsPassedThrough()
    {
        RecordingDC dc;
        const quint32 srcPaint = 0x00EE0086;
        TileBitmap(dc, 0, 0, 3, 3, dc, 0, 0, 2, 2, srcPaint);
        QVERIFY(!dc.transfers.isEmpty());
        for (const Transfer& t : dc.transfers)
            QCOMPARE(t.rop, srcPaint);
    }

    void tileWithoutAreaDrawsNothing_data()
    {
        QTest::addColumn<int>("tileWidth");
        QTest::addColumn<int>("tileHeight");
        QTest::newRow("zero width") << 0 << 32;
        QTest::newRow("zero height") << 32 << 0;
        QTest::newRow("negative") << -4 << -4;
    }

    void tileWithoutAreaDrawsNothing()
    {
        QFETCH(int, tileWidth);
        QFETCH(int, tileHeight);
        RecordingDC dc;
        TileBitmap(dc, 0, 0, 20, 20, dc, 0, 0, tileWidth, tileHeight, SRCCOPY);
        QVERIFY(dc.transfers.isEmpty());
    }

    void emptyDestinationDrawsNothing()
    {
        RecordingDC dc;
        TileBitmap(dc, 0, 0, 0, 0, dc, 0, 0, 8, 8, SRCCOPY);
        QVERIFY(dc.drawing().isEmpty());
    }

    // Real pixels: every destination pixel holds the tile pixel the grid puts there.
    void imageTransfersCopyTilePixels()
    {
        QImage tile(7, 5, QImage::Format_RGB32);
        for (int y = 0; y < tile.height(); ++y)
            for (int x = 0; x < tile.width(); ++x)
                tile.setPixel(x, y, qRgb(x * 30, y * 40, 99));
        QImage target(30, 17, QImage::Format_RGB32);
        target.fill(Qt::black);
        ImageDC to(target);
        const ImageDC from(tile);
        TileBitmap(to, 0, 0, target.width(), target.height(), from, 0, 0, 7, 5, SRCCOPY, 3, 1);
        for (int y = 0; y < target.height(); ++y)
            for (int x = 0; x < target.width(); ++x)
                QCOMPARE(target.pixel(x, y), tile.pixel(floorMod(x - 3, 7), floorMod(y - 1, 5)));
    }

    void imageTransferIsClippedToBothImages_data()
    {
        QTest::addColumn<QRect>("area"); // destination rectangle of one transfer
        QTest::addColumn<QPoint>("source");
        QTest::newRow("beyond right and bottom") << QRect(6, 6, 10, 10) << QPoint(0, 0);
        QTest::newRow("before left and top") << QRect(-3, -2, 5, 5) << QPoint(3, 2);
        QTest::newRow("source partly outside") << QRect(0, 0, 8, 8) << QPoint(-2, 4);
    }

    void imageTransferIsClippedToBothImages()
    {
        QFETCH(QRect, area);
        QFETCH(QPoint, source);
        QImage src(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                src.setPixel(x, y, qRgb(x, y, 1));
        QImage dst(8, 8, QImage::Format_RGB32);
        dst.fill(Qt::white);
        ImageDC to(dst);
        to.BitBlt(area.x(), area.y(), area.width(), area.height(), ImageDC(src), source.x(),
            source.y(), SRCCOPY);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const QPoint s(x - area.x() + source.x(), y - area.y() + source.y());
                const bool copied = area.contains(x, y) && src.rect().contains(s);
                QCOMPARE(dst.pixel(x, y), copied ? src.pixel(s) : qRgb(255, 255, 255));
            }
        }
    }

    void otherRasterOperationsLeaveImageAlone()
    {
        QImage src(4, 4, QImage::Format_RGB32);
        src.fill(Qt::black);
        QImage dst(4, 4, QImage::Format_RGB32);
        dst.fill(Qt::white);
        ImageDC to(dst);
        to.BitBlt(0, 0, 4, 4, ImageDC(src), 0, 0, 0x00EE0086);
        QCOMPARE(dst.pixel(2, 2), qRgb(255, 255, 255));
    }
};

TESSARIN_TEST(TestTileBitmap)
#include "tst_tilebitmap.moc"
