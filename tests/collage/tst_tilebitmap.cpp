#include "collage/tilebitmap.h"

#include <QTest>

class TestTileBitmap : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The pieces along one axis, each "at,source,length"; a preview's transfers are the pieces
    // of its rows times those of its columns. Where the grid meets the edge exactly, the first
    // piece has no length.
    void transferSequences_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("extent");
        QTest::addColumn<int>("sourceStart");
        QTest::addColumn<int>("tile");
        QTest::addColumn<qint32>("origin");
        QTest::addColumn<QString>("pieces");
        const auto row = [](const char* name, int start, int extent, int sourceStart, int tile,
                             qint32 origin, const char* pieces) {
            QTest::newRow(name) << start << extent << sourceStart << tile << origin
                                << QString::fromLatin1(pieces);
        };
        row("100 over a 32 tile, the last piece cut", 0, 100, 0, 32, 0,
            "0,32,0 0,0,32 32,0,32 64,0,32 96,0,4");
        row("12 over a 32 tile", 0, 12, 0, 32, 0, "0,32,0 0,0,12");
        row("origin 5: first the tile's last five", 0, 40, 0, 32, 5, "0,27,5 5,0,32 37,0,3");
        row("away from the corner, tile inside the source", 10, 45, 7, 16, 10,
            "10,23,0 10,7,16 26,7,16 42,7,13");
        row("origin far away", 3, 20, 0, 7, 2000000003, "3,2,5 8,0,7 15,0,7 22,0,1");
        row("tile without extent", 0, 20, 0, 0, 0, "");
    }

    void transferSequences()
    {
        QFETCH(int, start);
        QFETCH(int, extent);
        QFETCH(int, sourceStart);
        QFETCH(int, tile);
        QFETCH(qint32, origin);
        QFETCH(QString, pieces);
        QStringList shown;
        for (const TileSpan& span : TileSpans(start, extent, sourceStart, tile, origin))
            shown += QStringLiteral("%1,%2,%3").arg(span.at).arg(span.source).arg(span.length);
        QCOMPARE(shown.join(u' '), pieces);
    }
};

QTEST_MAIN(TestTileBitmap)
#include "tst_tilebitmap.moc"
