#include "collage/collagetext.h"
#include "collage/defaultbackground.h"
#include "collage/tilebitmap.h"
#include "support/images.h"

#include <QTest>
#include <algorithm>
#include <cmath>

class TestCollageText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The grey level of each colour (0x00BBGGRR); light (L) or dark (D) in the fastest, fast and
    // slow mode: every channel at 128 or more; two of them; the grey level at K or more.
    void pixelRules_data()
    {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<int>("grey");
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("light");
        const auto row = [](const char* name, quint32 colour, int grey, int k, const char* light) {
            QTest::newRow(name) << colour << grey << k << QString::fromLatin1(light);
        };
        row("mid grey: the sum lies just below 128", 0x808080, 128, 128, "LLL");
        row("blue 250: exactly 28.5 goes to even", 0xFA0000, 28, 128, "DDD");
        row("green 250, high bits ignored", 0xAB00FA00, 147, 128, "DDL");
        row("invalid colour reads as white", InvalidColour, 255, 240, "LLL");
        row("blue 127", 0x7FFFFF, 240, 240, "DLL");
        row("green and blue at 128", 0x808000, 90, 128, "DLD");
        row("grey 239 at K 240", 0xEFEFEF, 239, 240, "LLD");
    }

    void pixelRules()
    {
        QFETCH(quint32, colour);
        QFETCH(int, grey);
        QFETCH(int, k);
        QFETCH(QString, light);
        QCOMPARE(int(PixelGray(colour)), grey);
        QString shown;
        for (const ProcessMode mode : {ProcessMode::Fastest, ProcessMode::Fast, ProcessMode::Slow})
            shown += IsLightPixel(colour, mode, quint8(k)) ? u'L' : u'D';
        QCOMPARE(shown, light);
    }

    // The built-in background gives only space strings in every mode, up to K 214.
    void defaultBackgroundIsLight()
    {
        for (const ProcessMode mode : {ProcessMode::Fastest, ProcessMode::Fast, ProcessMode::Slow})
            QVERIFY(!CollageText(DefaultBackground(), {u"D"_qs, u"L"_qs, false, false, mode, 214})
                         .contains(u'D'));
    }

    // Rows of dark (D) and light (L) pixels, split at "|"; options: T trims, K keeps the width.
    void text_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("space");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* rows, const QString& display,
                             const QString& space, const char* options, const QString& expected) {
            QTest::newRow(name) << QString::fromLatin1(rows) << display << space
                                << QString::fromLatin1(options) << expected;
        };
        row("empty strings, keep width", "DLD|LLD", QString(), QString(), "K",
            u"\r\n\r\n\r\n\r\n"_qs);
        row("two-character display string", "DD|DL", u"墨砾"_qs, u"."_qs, "",
            u"\r\n墨砾墨砾\r\n墨砾."_qs);
        row("trim blanks and ideographic spaces; an all-light row keeps its line", "DLL|LLL|LDL",
            u"#"_qs, u" \u3000"_qs, "T", u"\r\n#\r\n\r\n \u3000#"_qs);
        row("ruler takes the widest row, mixed widths", "DL|LL|DD", u"#"_qs, u"\u3000"_qs, "K",
            u"\r\nTTTT\r\n\r\n#\u3000\r\n\u3000\u3000\r\n##"_qs);
        row("ruler measured after the trim", "DLL", u"#"_qs, u" "_qs, "TK", u"\r\nT\r\n\r\n#"_qs);
    }

    void text()
    {
        QFETCH(QString, rows);
        QFETCH(QString, display);
        QFETCH(QString, space);
        QFETCH(QString, options);
        const QStringList lines = rows.split(u'|');
        const QImage picture
            = testsupport::painted(QSize(lines[0].size(), lines.size()), [&](int x, int y) {
                  return lines[y][x] == u'D' ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
              });
        const CollageOptions chosen {display, space, options.contains(u'T'), options.contains(u'K'),
            ProcessMode::Fastest, 128};
        QTEST(CollageText(picture, chosen), "expected");
    }

    // The generator judges mode 2 without rounding each grey level; it must agree with the grey
    // level. For every red and green the picture holds the blue that brings the level closest to
    // K - 0.5: exact ties (such as blue 250, 28.5) and near ties on both sides of the edge, for an
    // even and an odd K and the two limits.
    void modeTwoAgreesWithTheGreyLevel()
    {
        for (const int k : {16, 128, 129, 240}) {
            const QImage edge = testsupport::painted({256, 256}, [&](int r, int g) {
                const double blue = (1000.0 * k - 500 - 299 * r - 587 * g) / 114;
                return qRgb(r, g, std::clamp(int(std::lround(blue)), 0, 255));
            });
            const QString text
                = CollageText(edge, {u"D"_qs, u"L"_qs, false, false, ProcessMode::Slow, quint8(k)});
            for (int y = 0; y < 256; ++y) {
                for (int x = 0; x < 256; ++x) {
                    const bool light = IsLightSlow(ColourOf(edge.pixel(x, y)), quint8(k));
                    if (text[y * 258 + 2 + x] != (light ? u'L' : u'D'))
                        QFAIL(qPrintable(QStringLiteral("K %1, pixel %2,%3").arg(k).arg(x).arg(y)));
                }
            }
        }
    }

    // The limit is judged on the text the picture really gives: every case here is beyond it on
    // the worst case, and at the edge the last character decides.
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
        QFETCH(bool, fits);
        const QImage picture = testsupport::painted({1024, 1024},
            [&](int x, int) { return x < dark ? qRgb(0, 0, 0) : qRgb(255, 255, 255); });
        const CollageOptions chosen {display, space, options.contains(u'T'), options.contains(u'K'),
            ProcessMode::Fastest, 128};
        QCOMPARE(CollageFits(picture, chosen), fits);
        const qint64 length = CollageLength(picture, chosen);
        QCOMPARE(length <= MaxCollageLength, fits);
        if (fits)
            QCOMPARE(CollageText(picture, chosen).size(), length);
    }

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
        QStringList shown;
        for (const TileSpan& span : TileSpans(start, extent, sourceStart, tile, origin))
            shown += QStringLiteral("%1,%2,%3").arg(span.at).arg(span.source).arg(span.length);
        QTEST(shown.join(u' '), "pieces");
    }
};

QTEST_MAIN(TestCollageText)
#include "tst_collagetext.moc"
