#include "collage/collagetext.h"
#include "collage/defaultbackground.h"
#include "support/testregistry.h"

#include <QTest>

namespace {

// Rows of 'D' (black) and 'L' (white) pixels.
QImage picture(const QStringList& rows)
{
    QImage image(rows.isEmpty() ? 0 : int(rows[0].size()), int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(
                x, y, rows[y][x] == QLatin1Char('D') ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return image;
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
    void pixelGray_data()
    {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<int>("grey");
        QTest::newRow("mid grey: the sum lies just below 128") << bgr(128, 128, 128) << 128;
        QTest::newRow("blue 250: exactly 28.5 goes to even") << bgr(0, 0, 250) << 28;
        QTest::newRow("green 250") << bgr(0, 250, 0) << 147;
        QTest::newRow("white") << bgr(255, 255, 255) << 255;
        QTest::newRow("black") << bgr(0, 0, 0) << 0;
        QTest::newRow("pure red") << bgr(255, 0, 0) << 76;
        QTest::newRow("red 2 rounds up") << bgr(2, 0, 0) << 1;
        QTest::newRow("red 1 rounds down") << bgr(1, 0, 0) << 0;
        QTest::newRow("high bits ignored") << (0xAB000000 | bgr(0, 250, 0)) << 147;
        QTest::newRow("invalid colour reads as white") << InvalidColour << 255;
    }

    void pixelGray()
    {
        QFETCH(quint32, colour);
        QFETCH(int, grey);
        QCOMPARE(int(PixelGray(colour)), grey);
    }

    void pixelRules_data()
    {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("k");
        QTest::addColumn<bool>("light");
        QTest::newRow("128 grey, mode 0") << bgr(128, 128, 128) << 0 << 128 << true;
        QTest::newRow("128 grey, mode 1") << bgr(128, 128, 128) << 1 << 128 << true;
        QTest::newRow("red 127, mode 0") << bgr(127, 200, 200) << 0 << 128 << false;
        QTest::newRow("red 127, mode 1") << bgr(127, 200, 200) << 1 << 128 << true;
        QTest::newRow("blue 127, mode 0") << bgr(255, 255, 127) << 0 << 128 << false;
        QTest::newRow("one channel high, mode 1") << bgr(127, 127, 255) << 1 << 128 << false;
        QTest::newRow("green and blue high, mode 1") << bgr(0, 128, 128) << 1 << 128 << true;
        QTest::newRow("grey 128 at K 128") << bgr(128, 128, 128) << 2 << 128 << true;
        QTest::newRow("grey 127 at K 128") << bgr(127, 127, 127) << 2 << 128 << false;
        QTest::newRow("grey 239 at K 240") << bgr(239, 239, 239) << 2 << 240 << false;
        QTest::newRow("grey 240 at K 240") << bgr(240, 240, 240) << 2 << 240 << true;
        QTest::newRow("K ignored in mode 0") << bgr(200, 200, 200) << 0 << 240 << true;
        QTest::newRow("K ignored in mode 1") << bgr(130, 130, 0) << 1 << 16 << true;
        QTest::newRow("invalid colour, mode 0") << InvalidColour << 0 << 128 << true;
        QTest::newRow("invalid colour, mode 1") << InvalidColour << 1 << 128 << true;
        QTest::newRow("invalid colour, mode 2 at K 240") << InvalidColour << 2 << 240 << true;
    }

    void pixelRules()
    {
        QFETCH(quint32, colour);
        QFETCH(int, mode);
        QFETCH(int, k);
        QFETCH(bool, light);
        QCOMPARE(IsLightPixel(colour, ProcessMode(mode), quint8(k)), light);
    }

    void colourLayout() { QCOMPARE(ColourOf(qRgb(0x11, 0x22, 0x33)), 0x00332211u); }

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

    void text_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("space");
        QTest::addColumn<bool>("trim");
        QTest::addColumn<bool>("keepWidth");
        QTest::addColumn<QString>("expected");

        const QStringList example {u"DLD"_qs, u"LLD"_qs};
        QTest::newRow("two rows") << example << u"D"_qs << u"S"_qs << false << false
                                  << u"\r\nDSD\r\nSSD"_qs;
        QTest::newRow("two rows, keep width")
            << example << u"D"_qs << u"S"_qs << false << true << u"\r\nTTT\r\n\r\nDSD\r\nSSD"_qs;
        QTest::newRow("1x1 dark") << QStringList {u"D"_qs} << u"砾"_qs << u"\u3000"_qs << false
                                  << false << u"\r\n砾"_qs;
        QTest::newRow("1x1 light") << QStringList {u"L"_qs} << u"砾"_qs << u"\u3000"_qs << false
                                   << false << u"\r\n\u3000"_qs;
        QTest::newRow("empty strings")
            << example << QString() << QString() << false << false << u"\r\n\r\n"_qs;
        QTest::newRow("empty strings, keep width")
            << example << QString() << QString() << false << true << u"\r\n\r\n\r\n\r\n"_qs;
        QTest::newRow("two-character display string")
            << QStringList {u"DD"_qs, u"DL"_qs} << u"墨砾"_qs << u"."_qs << false << false
            << u"\r\n墨砾墨砾\r\n墨砾."_qs;
        QTest::newRow("trim blanks; an all-light row keeps its line")
            << QStringList {u"DLL"_qs, u"LLL"_qs, u"LDL"_qs} << u"#"_qs << u" "_qs << true << false
            << u"\r\n#\r\n\r\n #"_qs;
        QTest::newRow("trim ideographic spaces")
            << QStringList {u"DLL"_qs, u"LDL"_qs} << u"砾"_qs << u"\u3000"_qs << true << false
            << u"\r\n砾\r\n\u3000砾"_qs;
        QTest::newRow("trim also reaches into a display string ending in blanks")
            << QStringList {u"DD"_qs} << u"a "_qs << u"x"_qs << true << false << u"\r\na a"_qs;
        QTest::newRow("no trim keeps the spaces")
            << QStringList {u"DL"_qs} << u"#"_qs << u" "_qs << false << false << u"\r\n# "_qs;
        QTest::newRow("ruler counts an ideographic space as two bytes")
            << QStringList {u"LLLLLLLLLLLL"_qs} << u"砾"_qs << u"\u3000"_qs << false << true
            << u"\r\n"_qs + QString(24, u'T') + u"\r\n\r\n"_qs + QString(12, QChar(0x3000));
        QTest::newRow("ruler takes the widest row, mixed widths")
            << QStringList {u"DL"_qs, u"LL"_qs, u"DD"_qs} << u"#"_qs << u"\u3000"_qs << false
            << true << u"\r\nTTTT\r\n\r\n#\u3000\r\n\u3000\u3000\r\n##"_qs;
        QTest::newRow("ruler measured after the trim")
            << QStringList {u"DLL"_qs} << u"#"_qs << u" "_qs << true << true
            << u"\r\nT\r\n\r\n#"_qs;
        QTest::newRow("ruler counts a character beyond GBK as four bytes") << QStringList {
            u"DD"_qs} << u"😀"_qs << u" "_qs << false << true << u"\r\nTTTTTTTT\r\n\r\n😀😀"_qs;
    }

    void text()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, display);
        QFETCH(QString, space);
        QFETCH(bool, trim);
        QFETCH(bool, keepWidth);
        QFETCH(QString, expected);
        const CollageOptions options {display, space, trim, keepWidth, ProcessMode::Fastest, 128};
        QCOMPARE(CollageText(picture(rows), options), expected);
    }

    // Wider than 32767 bytes: the ruler grows with the row, it never wraps around.
    void rulerBeyondSixteenBits()
    {
        const QStringList rows {QString(1024, u'D')};
        const CollageOptions options {
            QString(20, u'墨'), u" "_qs, false, true, ProcessMode::Fastest, 128};
        const QString text = CollageText(picture(rows), options);
        const qsizetype rulerEnd = text.indexOf(u"\r\n"_qs, 2);
        QCOMPARE(rulerEnd - 2, qsizetype(1024 * 40));
    }

    // The generator judges mode 2 without rounding each grey level; it must agree
    // with the grey level everywhere, ties (such as blue 250, exactly 28.5) included.
    void modeTwoAgreesWithTheGreyLevel()
    {
        QImage colours(256, 257, QImage::Format_RGB32);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                colours.setPixel(x, y, qRgb(x, y, (x * 7 + y * 13) % 256));
        for (int x = 0; x < 256; ++x)
            colours.setPixel(x, 256, qRgb(0, 0, x));
        for (int k = 16; k <= 240; ++k) {
            const CollageOptions options {
                u"D"_qs, u"L"_qs, false, false, ProcessMode::Slow, quint8(k)};
            const QString text = CollageText(colours, options);
            qsizetype at = 0;
            for (int y = 0; y < colours.height(); ++y) {
                at += 2;
                for (int x = 0; x < colours.width(); ++x, ++at) {
                    const bool light = IsLightSlow(ColourOf(colours.pixel(x, y)), quint8(k));
                    if (text[at] != (light ? u'L' : u'D'))
                        QFAIL(qPrintable(QStringLiteral("K %1, pixel %2,%3").arg(k).arg(x).arg(y)));
                }
            }
        }
    }

    // The largest picture takes strings of up to 63 characters; 64 would pass the
    // limit, so the generator refuses before it allocates anything.
    void capacityLimit_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("keepWidth");
        QTest::addColumn<bool>("fits");
        QTest::newRow("63 characters") << 63 << false << true;
        QTest::newRow("63 characters with the ruler") << 63 << true << true;
        QTest::newRow("64 characters") << 64 << false << false;
        QTest::newRow("10000 characters") << 10000 << false << false;
    }

    void capacityLimit()
    {
        QFETCH(int, length);
        QFETCH(bool, keepWidth);
        QFETCH(bool, fits);
        const QImage largest(1024, 1024, QImage::Format_RGB32);
        const CollageOptions options {
            QString(length, u'x'), u" "_qs, false, keepWidth, ProcessMode::Fastest, 128};
        QCOMPARE(CollageFits(largest, options), fits);
    }

    void modeTwoUsesK()
    {
        QImage grey(3, 1, QImage::Format_RGB32);
        grey.setPixel(0, 0, qRgb(100, 100, 100));
        grey.setPixel(1, 0, qRgb(150, 150, 150));
        grey.setPixel(2, 0, qRgb(200, 200, 200));
        CollageOptions options {u"D"_qs, u"L"_qs, false, false, ProcessMode::Slow, 150};
        QCOMPARE(CollageText(grey, options), u"\r\nDLL"_qs);
        options.k = 151;
        QCOMPARE(CollageText(grey, options), u"\r\nDDL"_qs);
        options.mode = ProcessMode::Fastest;
        QCOMPARE(CollageText(grey, options), u"\r\nDLL"_qs);
    }
};

TESSARIN_TEST(TestCollageText)
#include "tst_collagetext.moc"
