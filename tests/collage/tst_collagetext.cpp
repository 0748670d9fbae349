#include "collage/collagetext.h"
#include "collage/defaultbackground.h"
#include "support/images.h"

#include <QTest>
#include <algorithm>
#include <cmath>

namespace {

// Rows of 'D' (black) and 'L' (white) pixels, split at "|".
QImage picture(const QString& text)
{
    const QStringList rows = text.split(u'|');
    return testsupport::painted(QSize(rows[0].size(), rows.size()),
        [&](int x, int y) { return rows[y][x] == u'D' ? qRgb(0, 0, 0) : qRgb(255, 255, 255); });
}

constexpr quint32 bgr(int r, int g, int b)
{
    return quint32(r) | quint32(g) << 8 | quint32(b) << 16;
}

} // namespace

class TestCollageText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each colour's grey level, and whether it is light in the fastest, the fast and the slow
    // mode ("L" or "D"): every channel at 128 or more; two of them; the grey level at K or more.
    void pixelRules_data()
    {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<int>("grey");
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("light");
        const auto row = [](const char* name, quint32 colour, int grey, int k, const char* light) {
            QTest::newRow(name) << colour << grey << k << QString::fromLatin1(light);
        };
        row("mid grey: the sum lies just below 128", bgr(128, 128, 128), 128, 128, "LLL");
        row("blue 250: exactly 28.5 goes to even", bgr(0, 0, 250), 28, 128, "DDD");
        row("green 250", bgr(0, 250, 0), 147, 128, "DDL");
        row("white", bgr(255, 255, 255), 255, 240, "LLL");
        row("black", bgr(0, 0, 0), 0, 16, "DDD");
        row("pure red", bgr(255, 0, 0), 76, 128, "DDD");
        row("red 2 rounds up", bgr(2, 0, 0), 1, 16, "DDD");
        row("high bits ignored", 0xAB000000 | bgr(0, 250, 0), 147, 128, "DDL");
        row("invalid colour reads as white", InvalidColour, 255, 240, "LLL");
        row("blue 127", bgr(255, 255, 127), 240, 240, "DLL");
        row("green and blue at 128", bgr(0, 128, 128), 90, 128, "DLD");
        row("grey 239 at K 240", bgr(239, 239, 239), 239, 240, "LLD");
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

    void defaultBackgroundIsLightInEveryMode()
    {
        const QImage tile = DefaultBackground();
        for (int mode = 0; mode < 3; ++mode) {
            CollageOptions options {u"D"_qs, u"L"_qs, false, false, ProcessMode(mode), 214};
            QVERIFY(!CollageText(tile, options).contains(QLatin1Char('D')));
        }
        // Its darkest grey is 214: one step further and mode 2 finds dark pixels.
        CollageOptions strict {u"D"_qs, u"L"_qs, false, false, ProcessMode::Slow, 215};
        QVERIFY(CollageText(tile, strict).contains(QLatin1Char('D')));
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
        const QString ideographic = u"\u3000"_qs;
        row("two rows", "DLD|LLD", u"D"_qs, u"S"_qs, "", u"\r\nDSD\r\nSSD"_qs);
        row("two rows, keep width", "DLD|LLD", u"D"_qs, u"S"_qs, "K",
            u"\r\nTTT\r\n\r\nDSD\r\nSSD"_qs);
        row("default characters", "DL", u"砾"_qs, ideographic, "", u"\r\n砾\u3000"_qs);
        row("empty strings, keep width", "DLD|LLD", QString(), QString(), "K",
            u"\r\n\r\n\r\n\r\n"_qs);
        row("two-character display string", "DD|DL", u"墨砾"_qs, u"."_qs, "",
            u"\r\n墨砾墨砾\r\n墨砾."_qs);
        row("trim blanks; an all-light row keeps its line", "DLL|LLL|LDL", u"#"_qs, u" "_qs, "T",
            u"\r\n#\r\n\r\n #"_qs);
        row("trim ideographic spaces", "DLL|LDL", u"砾"_qs, ideographic, "T",
            u"\r\n砾\r\n\u3000砾"_qs);
        row("trim also reaches into a display string ending in blanks", "DD", u"a "_qs, u"x"_qs,
            "T", u"\r\na a"_qs);
        row("ruler takes the widest row, mixed widths", "DL|LL|DD", u"#"_qs, ideographic, "K",
            u"\r\nTTTT\r\n\r\n#\u3000\r\n\u3000\u3000\r\n##"_qs);
        row("ruler measured after the trim", "DLL", u"#"_qs, u" "_qs, "TK", u"\r\nT\r\n\r\n#"_qs);
        row("ruler counts a character beyond GBK as four bytes", "DD", u"😀"_qs, u" "_qs, "K",
            u"\r\nTTTTTTTT\r\n\r\n😀😀"_qs);
        // Wider than 32767 bytes: the ruler grows with the row, it never wraps around.
        QTest::newRow("ruler beyond 16 bits")
            << QString(1024, u'D') << QString(20, u'墨') << u" "_qs << u"K"_qs
            << u"\r\n"_qs + QString(1024 * 40, u'T') + u"\r\n\r\n"_qs + QString(1024 * 20, u'墨');
    }

    void text()
    {
        QFETCH(QString, rows);
        QFETCH(QString, display);
        QFETCH(QString, space);
        QFETCH(QString, options);
        QFETCH(QString, expected);
        const CollageOptions chosen {display, space, options.contains(u'T'), options.contains(u'K'),
            ProcessMode::Fastest, 128};
        QCOMPARE(CollageText(picture(rows), chosen), expected);
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

    // The limit is judged on the text the picture really gives: every case here is
    // beyond it on the worst case, and at the edge the last character decides.
    void capacityLimit_data()
    {
        QTest::addColumn<int>("dark"); // dark pixels at the start of each row of 1024 x 1024
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("space");
        QTest::addColumn<QString>("options"); // T trims, K keeps the width
        QTest::addColumn<bool>("fits");
        const QString wide(64, u'x');
        QTest::newRow("all light, 64-character display") << 0 << wide << u" "_qs << u"K"_qs << true;
        QTest::newRow("all dark, 64-character display")
            << 1024 << wide << u" "_qs << u""_qs << false;
        QTest::newRow("light blanks trimmed away")
            << 0 << u"x"_qs << QString(64, u' ') << u"TK"_qs << true;
        QTest::newRow("exactly the limit")
            << 1 << QString(65534, u'x') << QString() << u""_qs << true;
        QTest::newRow("the ruler passes the limit")
            << 1 << QString(65534, u'x') << QString() << u"K"_qs << false;
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
        if (fits) {
            const QString text = CollageText(picture, chosen);
            QCOMPARE(text.size(), length);
            const QString row
                = display.repeated(dark) + (chosen.trim ? QString() : space.repeated(1024 - dark));
            QVERIFY(text.endsWith(u"\r\n"_qs + row));
        }
    }
};

QTEST_MAIN(TestCollageText)
#include "tst_collagetext.moc"
