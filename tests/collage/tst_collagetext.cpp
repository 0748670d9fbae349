#include "collage/collagetext.h"
#include "collage/tilebitmap.h"
#include "support/images.h"

#include <QTest>
#include <algorithm>
#include <cmath>

class TestCollageText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Light (L) or dark (D) as the generator judges a colour (0x00BBGGRR) in the fastest, fast and
    // slow mode: every channel at 128 or more; two of them; the grey level at K or more.
    void pixelRules_data()
    {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("light");
        QTest::newRow("mid grey: the sum just below 128") << 0x808080u << 128 << u"LLL"_qs;
        QTest::newRow("blue 250: grey 28.5 goes to even") << 0xFA0000u << 29 << u"DDD"_qs;
        QTest::newRow("green 250: grey 147") << 0x00FA00u << 128 << u"DDL"_qs;
        QTest::newRow("yellow: one channel dark, grey 226") << 0x00FFFFu << 240 << u"DLD"_qs;
        QTest::newRow("magenta, blue at 128: grey 53") << 0x80007Fu << 16 << u"DDL"_qs;
        QTest::newRow("grey 239 at K 240") << 0xEFEFEFu << 240 << u"LLD"_qs;
    }

    void pixelRules()
    {
        QFETCH(quint32, colour);
        QFETCH(int, k);
        const QImage pixel
            = testsupport::painted({1, 1}, [&](int, int) { return ColourOf(colour); });
        QString shown;
        for (const ProcessMode mode : {ProcessMode::Fastest, ProcessMode::Fast, ProcessMode::Slow})
            shown += CollageText(pixel, {u"D"_qs, u"L"_qs, false, false, mode, quint8(k)}).back();
        QTEST(shown, "light");
    }

    // Rows of dark (D) and light (L) pixels, split at "|"; options: T trims, K keeps the width.
    void text_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("space");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty strings, keep width")
            << u"DLD|LLD"_qs << QString() << QString() << u"K"_qs << u"\r\n\r\n\r\n\r\n"_qs;
        QTest::newRow("two-character display")
            << u"DD|DL"_qs << u"墨砾"_qs << u"."_qs << QString() << u"\r\n墨砾墨砾\r\n墨砾."_qs;
        QTest::newRow("trim blanks and ideographic spaces; an all-light row keeps its line")
            << u"DLL|LLL|LDL"_qs << u"#"_qs << u" \u3000"_qs << u"T"_qs
            << u"\r\n#\r\n\r\n \u3000#"_qs;
        QTest::newRow("ruler takes the widest row")
            << u"DL|LL|DD"_qs << u"#"_qs << u"\u3000"_qs << u"K"_qs
            << u"\r\nTTTT\r\n\r\n#\u3000\r\n\u3000\u3000\r\n##"_qs;
        QTest::newRow("ruler measured after the trim")
            << u"DLL"_qs << u"#"_qs << u" "_qs << u"TK"_qs << u"\r\nT\r\n\r\n#"_qs;
    }

    void text()
    {
        QFETCH(QString, rows);
        QFETCH(QString, display);
        QFETCH(QString, space);
        QFETCH(QString, options);
        const QStringList lines = rows.split(u'|');
        const QImage picture = testsupport::painted(QSize(lines[0].size(), lines.size()),
            [&](int x, int y) { return lines[y][x] == u'D' ? 0u : ~0u; });
        const CollageOptions chosen {display, space, options.contains(u'T'), options.contains(u'K'),
            ProcessMode::Fastest, 128};
        QTEST(CollageText(picture, chosen), "expected");
    }

    // Mode 2 judged without rounding each grey level must agree with it: for every red and green
    // the blue that brings the level closest to K - 0.5, ties and near ties, at even, odd, limit K.
    void modeTwoAgreesWithTheGreyLevel()
    {
        for (const int k : {16, 128, 129, 240}) {
            const QImage edge = testsupport::painted({256, 256}, [&](int r, int g) {
                const double blue = (1000.0 * k - 500 - 299 * r - 587 * g) / 114;
                return qRgb(r, g, std::clamp(int(std::lround(blue)), 0, 255));
            });
            const QString text
                = CollageText(edge, {u"D"_qs, u"L"_qs, false, false, ProcessMode::Slow, quint8(k)});
            for (int i = 0; i < 256 * 256; ++i) {
                const QRgb p = edge.pixel(i % 256, i / 256);
                // Green, red, then blue, rounded halves to even.
                const bool light
                    = std::nearbyint(qGreen(p) * 0.587 + qRed(p) * 0.299 + qBlue(p) * 0.114) >= k;
                if (text[i / 256 * 258 + 2 + i % 256] != (light ? u'L' : u'D'))
                    QFAIL(qPrintable(QStringLiteral("K %1, pixel %2").arg(k).arg(i)));
            }
        }
    }

    // Judged on the text the picture really gives; at the edge the last character decides.
    void capacityLimit_data()
    {
        QTest::addColumn<int>("dark"); // dark pixels at the start of each row of 1024 x 1024
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("space");
        QTest::addColumn<QString>("options"); // T trims, K keeps the width
        QTest::addColumn<bool>("fits");
        const QString wide(64, u'x'), limit(65534, u'x');
        QTest::newRow("all light, 64-character display") << 0 << wide << u" "_qs << u"K"_qs << true;
        QTest::newRow("all dark, the same") << 1024 << wide << u" "_qs << u""_qs << false;
        QTest::newRow("blanks trimmed") << 0 << u"x"_qs << QString(64, u' ') << u"TK"_qs << true;
        QTest::newRow("exactly the limit") << 1 << limit << QString() << u""_qs << true;
        QTest::newRow("the ruler passes the limit") << 1 << limit << QString() << u"K"_qs << false;
    }

    void capacityLimit()
    {
        QFETCH(int, dark);
        QFETCH(QString, display);
        QFETCH(QString, space);
        QFETCH(QString, options);
        const QImage picture
            = testsupport::painted({1024, 1024}, [&](int x, int) { return x < dark ? 0u : ~0u; });
        const CollageOptions chosen {display, space, options.contains(u'T'), options.contains(u'K'),
            ProcessMode::Fastest, 128};
        QTEST(CollageFits(picture, chosen), "fits");
        const qint64 length = CollageLength(picture, chosen);
        QTEST(length <= MaxCollageLength, "fits");
        const QString text = CollageText(picture, chosen); // null beyond the limit
        QCOMPARE(
            text.isNull() ? -1 : qint64(text.size()), length <= MaxCollageLength ? length : -1);
    }

    // The pieces along one axis, each "at,source,length", for start, extent, source start, tile and
    // origin. Where the grid meets the edge exactly, the first piece has no length.
    void transferSequences_data()
    {
        QTest::addColumn<QList<int>>("axis");
        QTest::addColumn<QString>("pieces");
        QTest::newRow("away from the corner, tile inside the source")
            << QList {10, 45, 7, 16, 10} << u"10,23,0 10,7,16 26,7,16 42,7,13"_qs;
        QTest::newRow("origin far away")
            << QList {3, 20, 0, 7, 2000000003} << u"3,2,5 8,0,7 15,0,7 22,0,1"_qs;
        QTest::newRow("tile without extent") << QList {0, 20, 0, 0, 0} << QString();
    }

    void transferSequences()
    {
        QFETCH(QList<int>, axis);
        QStringList shown;
        for (const TileSpan& span : TileSpans(axis[0], axis[1], axis[2], axis[3], axis[4]))
            shown += QStringLiteral("%1,%2,%3").arg(span.at).arg(span.source).arg(span.length);
        QTEST(shown.join(u' '), "pieces");
    }
};

QTEST_MAIN(TestCollageText)
#include "tst_collagetext.moc"
