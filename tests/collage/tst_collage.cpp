#include "collage/collagetext.h"
#include "collage/tilebitmap.h"
#include "runtime/picturechecks.h"
#include "runtime/picturefile.h"
#include "support/files.h"
#include "support/images.h"
#include "support/loadedwindow.h"
#include "window/ui/picturebox.h"
#include "window/ui/textboxes.h"

#include <QAbstractScrollArea>
#include <QDropEvent>
#include <QImageReader>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <sys/stat.h>

using namespace testsupport;

Q_DECLARE_METATYPE(PictureError)

namespace {

const QRgb Stripes[] = {qRgb(10, 20, 30), qRgb(200, 100, 50), qRgb(0, 255, 0)};

// Qt writes no GIFs: three colours in turn from a 128-colour table, as 8-bit codes with a clear
// code every 100 pixels, which keeps the code width fixed.
QByteArray stripedGif(QSize size)
{
    const int w = size.width(), h = size.height();
    const char sizes[] = {char(w & 0xFF), char(w >> 8), char(h & 0xFF), char(h >> 8)};
    QByteArray out = "GIF89a" + QByteArray(sizes, 4) + QByteArray("\xF6\0\0", 3);
    for (const QRgb colour : Stripes)
        out.append(char(qRed(colour))).append(char(qGreen(colour))).append(char(qBlue(colour)));
    out.append(QByteArray(3 * 125, '\0')).append("\x21\xFE\x02hi\0", 6); // a comment
    out.append(",\0\0\0\0", 5).append(sizes, 4).append("\0\7", 2);
    QByteArray codes;
    for (int i = 0; i <= w * h; ++i)
        codes.append(i % 100 ? "" : "\x80").append(char(i < w * h ? i % 3 : 129));
    for (qsizetype i = 0; i < codes.size(); i += 255)
        out.append(char(qMin<qsizetype>(255, codes.size() - i))).append(codes.mid(i, 255));
    return out.append("\0;", 2);
}

// Three colours in turn, so a shifted or scaled copy shows.
QImage stripedImage(QSize size)
{
    return painted(size, [&](int x, int y) { return Stripes[(y * size.width() + x) % 3]; });
}

} // namespace

class TestCollage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What a file's bytes decode to; a null picture where they are refused, and why.
    void loadPicture_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QImage>("expected");
        QTest::addColumn<PictureError>("error");
        const auto row = [](const char* name, const QByteArray& bytes, PictureError error,
                             const QImage& expected = QImage()) {
            QTest::newRow(name) << bytes << expected << error;
        };
        const auto decoded = [](const QByteArray& bytes) {
            return QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
        };
        const PictureError ok = PictureError::None;
        const QImage picture = stripedImage(QSize(100, 50));
        const QByteArray bmp = encoded(picture, "BMP"), jpg = encoded(picture, "JPG");
        const QByteArray rle = readAll(QFINDTESTDATA("../../fuzz/corpus/picture/rle8.bmp"));
        row("bmp", bmp, ok, picture);
        row("run-length bmp", rle, ok, decoded(rle));
        row("jpg", jpg, ok, decoded(jpg));
        // The jpg with one more segment after its start marker.
        const auto segment = [&](const char* hex) {
            return jpg.first(2) + QByteArray::fromHex(hex) + jpg.sliced(2);
        };
        row("jpg with an empty segment", segment("ffef0002"), ok, decoded(jpg));
        row("jpg, an Exif block of a name only", segment("ffe10008457869660000"), ok, decoded(jpg));
        const QImage turned = QImage::fromData(jpg).transformed(QTransform().rotate(90));
        row("jpg turned a quarter by its tag",
            segment("ffe1001e45786966000049492a00080000000100120103000100000006000000"), ok,
            turned);
        row("jpg turned by a big-endian tag",
            segment("ffe1001e4578696600004d4d002a000000080001011200030000000100060000"), ok,
            turned);
        row("jpg, its second directory pointing back at a tag",
            segment("ffe10028457869660000"
                    "49492a001a000000010012010300010000000600000000000000000008000000"),
            ok, decoded(jpg));
        row("jpg turned by a tag in the second directory",
            segment("ffe10028457869660000" // an empty first directory, then the tag
                    "49492a000800000000000e000000010012010300010000000600000000000000"),
            ok, turned);
        const QImage mono = painted({19, 7}, [](int x, int y) { return (x + y) % 3 ? ~0u : 0u; });
        const QByteArray xbm = encoded(mono, "XBM");
        row("xbm", xbm, ok, mono);
        // With a text that Qt writes compressed and libpng would inflate whole before any pixel.
        QImage translucent = painted(
            {2, 1}, [](int x, int) { return qRgba(0, 0, 0, x * 128); }, QImage::Format_ARGB32);
        translucent.setText(u"Comment"_qs, QString(1 << 20, u'a'));
        const QByteArray png = encoded(translucent, "PNG");
        const QImage onWhite
            = painted({2, 1}, [](int x, int) { return x ? qRgb(127, 127, 127) : ~0u; });
        row("png over white, its text left unread", png, ok, onWhite);
        QByteArray badNote = png; // an ancillary chunk's check sum wrong: ignored, as libpng does
        badNote[badNote.indexOf("IDAT") - 5] ^= 1;
        row("png with a note damaged", badNote, ok, onWhite);
        QByteArray icon = QByteArray("\0\0\1\0\1\0\0\0\0\0\1\0\x20\0\0\0\0\0\x16\0\0\0", 22) + png;
        qToLittleEndian<quint32>(png.size(), icon.data() + 14);
        const QByteArray ico = encoded(stripedImage({16, 16}), "ICO"); // a bitmap inside
        row("ico", ico, ok, decoded(ico));
        row("ico of such a png", icon, ok, onWhite);
        qToLittleEndian<quint32>(png.size() + 99, icon.data() + 14);
        row("ico of such a png, its length given too long", icon, ok, onWhite);
        const QSize wide(MaxPictureSide, 1);
        const QByteArray gif = stripedGif(wide);
        row("gif as wide as allowed", gif, ok, stripedImage(wide));
        // The same with its colours in the frame's own table, after the frame's header; cut.
        const QByteArray local = gif.first(10) + QByteArray("\x70\0\0", 3) + gif.sliced(397, 15)
            + '\x86' + gif.sliced(13, 3 * 128) + gif.sliced(413, 2000);
        row("gif with its colours in its frame, cut", local, PictureError::CutShort);
        const QByteArray ycck = readAll(QFINDTESTDATA("../../fuzz/corpus/picture/cmyk.jpg"));
        row("jpg in CMYK, as YCCK", ycck, ok, decoded(ycck));

        row("bmp one byte short", bmp.chopped(1), PictureError::CutShort);
        row("bmp cut in its header", bmp.first(40), PictureError::CutShort);
        row("bmp one pixel wider than allowed (16385)", QByteArray(bmp).replace(18, 2, "\x01\x40"),
            PictureError::SideTooLarge);
        row("bmp of a core header alone, 0 pixels wide",
            QByteArray::fromHex("424d1a000000000000001a0000000c0000000000010001001800"),
            PictureError::Damaged);
        row("run-length bmp one byte short", rle.chopped(1), PictureError::CutShort);
        row("jpg cut in half", jpg.first(jpg.size() / 2), PictureError::CutShort);
        // libjpeg only warns, and greys the missing half; Qt passes on only the first warning.
        row("jpg cut in half after stray bytes, then given its end marker",
            jpg.first(2) + "ab" + jpg.sliced(2, jpg.size() / 2) + "\xFF\xD9",
            PictureError::CutShort);
        // The last scan repeated: 41 are more than any encoder writes; 40 pass the count, and then
        // libjpeg finds a second scan where a baseline JPEG ends.
        const qsizetype scan = jpg.lastIndexOf("\xFF\xDA");
        const auto scans = [&](int n) {
            const QByteArray last = jpg.sliced(scan, jpg.size() - 2 - scan);
            return QByteArray(jpg).insert(jpg.size() - 2, last.repeated(n - 1));
        };
        row("jpg of 41 scans", scans(41), PictureError::TooMuchWork);
        row("jpg of 40 scans", scans(40), PictureError::Damaged);
        // Arithmetic decoding takes about 150 ns a byte: 14 MB of it would take 2 s.
        QByteArray arithmetic = jpg;
        arithmetic[arithmetic.indexOf("\xFF\xC0") + 1] = char(0xC9);
        row("arithmetic-coded jpg over the decoding budget",
            arithmetic.insert(arithmetic.size() - 2, QByteArray(14 << 20, 'a')),
            PictureError::TooMuchWork);
        QByteArray twelveBits = jpg;
        twelveBits[twelveBits.indexOf("\xFF\xC0") + 4] = 12; // samples of a precision not decoded
        row("jpg of 12-bit samples", twelveBits, PictureError::Damaged);
        const QByteArray tall = "ffd8ffc0000b081001400001011100ffda0008010100003f00ffd9";
        row("jpg of 16384 x 4097 grey pixels, 4 bytes each: 256 MiB and a row",
            QByteArray::fromHex(tall), PictureError::PixelsTooLarge);
        row("jpg of 8192 x 8192 grey pixels, exactly 256 MiB at 4 bytes each, its tables missing",
            QByteArray::fromHex(tall).replace(7, 4, QByteArray("\x20\0\x20\0", 4)),
            PictureError::Damaged);
        row("xbm cut short", xbm.left(xbm.lastIndexOf("0x")), PictureError::CutShort);
        row("gif cut in half", gif.first(gif.size() / 2), PictureError::CutShort);
        row("gif cut in its frame's header", gif.first(13 + 3 * 128 + 6 + 5),
            PictureError::CutShort);
        row("gif without a frame", gif.first(13 + 3 * 128) + ";", PictureError::CutShort);
        row("gif ending after its colours", gif.first(13 + 3 * 128), PictureError::CutShort);
        row("png cut in a chunk", png.chopped(20), PictureError::CutShort);
        row("gif cut inside a comment", gif.first(13 + 3 * 128) + "\x21\xFE\x05\x61\x62",
            PictureError::CutShort);
        row("gif one pixel wider than allowed", stripedGif(wide + QSize(1, 0)),
            PictureError::SideTooLarge);
        row("text", "a text file, its name ending in .bmp", PictureError::NotAPicture);
    }
    void loadPicture()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(PictureError, error);

        // Every way through says what it found: no row expects this one.
        PictureError reported = PictureError::NoPermission;
        const std::optional<QImage> picture = LoadPictureData(bytes, &reported);
        QTEST(picture.value_or(QImage()), "expected"); // RGB32 too
        QCOMPARE(reported, error);
        QVERIFY(!picture || (!picture->isNull() && picture->textKeys().isEmpty()));

        // Decoded to be shrunk as by the companion (a JPEG through libjpeg): as Qt's reader does.
        reported = PictureError::NoPermission;
        const auto reduced
            = LoadPictureData(bytes, &reported, [](QSize size) { return size / 4.2; });
        QCOMPARE(reported, error);
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, "jpeg");
        reader.setAutoTransform(true);
        reader.setScaledSize(reader.size() / 4.2);
        if (reduced && bytes.startsWith("\xFF\xD8"))
            QCOMPARE(*reduced, reader.read().convertToFormat(QImage::Format_RGB32));
    }

    // What a JPEG costs to decode, checked before a pixel is: about 2 s at most. The markers of one
    // of 8192 x 8192 pixels, its samplings given (0x22: 2 x 2), scans of the first few components.
    void decodingBudget()
    {
        const auto over = [](const QByteArray& samplings, int scans, int named) {
            const char count = char(samplings.size());
            QByteArray jpeg = QByteArray::fromHex("ffd8ffc000") + char(8 + 3 * count)
                + QByteArray::fromHex("0820002000") + count;
            for (char c = 0; c < count; ++c)
                jpeg.append(c).append(samplings[c]).append('\0');
            for (int s = 0; s < scans; ++s) {
                jpeg.append("\xFF\xDA\0", 3).append(char(6 + 2 * named)).append(char(named));
                for (char c = 0; c < named; ++c)
                    jpeg.append(c).append('\0');
                jpeg.append("\0\x3F\0", 3);
            }
            PictureError error = PictureError::None;
            return !DecodableBytes(jpeg + "\xFF\xD9", error) && error == PictureError::TooMuchWork;
        };
        const QByteArray full("\x11\x11\x11"), halved("\x22\x11\x11");
        QCOMPARE((QList {over(full, 2, 3), over(full, 3, 3), over(halved, 15, 3),
                     over(halved, 16, 3), over(halved, 23, 1), over(halved, 24, 1)}),
            (QList {false, true, false, true, false, true}));
    }

    // A picture chosen from the menu, or a file dropped anywhere on the window (text boxes too),
    // becomes the background; a cancel, or a file that is no usable picture (a pipe; one warning
    // says why), leaves the tile. Confirmed without a file, the holder empties but keeps its size.
    void backgroundCommands()
    {
        QTemporaryDir dir;
        ScriptedServices services;
        const auto w = LoadedWindow(services);
        w->Pic2->SetInnerSize(12, 12);
        w->TxtSrc->SetText(QString());
        const auto choose = [&](const std::optional<QString>& reply, const QImage& tile) {
            services.openReplies.enqueue(reply);
            w->mnuBgMap_Click();
            QCOMPARE(w->Pic2->Image(), tile.copy(0, 0, 12, 12));
        };
        const QImage picture = stripedImage(QSize(100, 50));
        // Qt would read a "@2x" name at half size.
        const QString path = dir.filePath(u"wide@2x.png"_qs), pipe = dir.filePath(u"pipe.bmp"_qs);
        QVERIFY(writeFile(path, encoded(picture, "PNG")));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        for (const std::optional<QString>& reply : {std::optional(path), std::optional(pipe), {}}) {
            choose(reply, picture);
            QCOMPARE(w->Pic3->Picture(), picture);
            QCOMPARE(w->mBgMapFile, path);
        }
        QCOMPARE(w->CDlgOpen.FileName, pipe);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr); // busy only while it loads
        QCOMPARE(services.warnings,
            QList({std::pair(u"载入失败"_qs,
                u"无法使用图片“%1”。\n%2"_qs.arg(
                    pipe, PictureErrorChinese(PictureError::NotRegularFile)))}));

        choose(QString(), painted({12, 12}, [&](int, int) { return w->Pic3->BackColor().rgb(); }));
        QVERIFY(w->Pic3->Picture().isNull());
        QCOMPARE(w->Pic3->ScaleWidth(), 100);
        QVERIFY(w->mBgMapFile.isEmpty());

        choose(path, picture);
        w->mnuSetOldBgMap_Click();
        QCOMPARE(w->Pic3->Picture(), w->Pic4->Picture());
        QVERIFY(w->mBgMapFile.isEmpty());
        QCOMPARE(w->Pic2->Image(), w->Pic4->Picture().copy(0, 0, 12, 12));

        // The file and where it is dropped: on a control, or (no name) on the window itself.
        for (const auto& [file, target] : {std::pair(pipe, "TxtSrc"),
                 {dir.filePath(u"gone.png"_qs), "TxtOut"}, {path, "TxtSrc"}, {path, ""}}) {
            w->mnuSetOldBgMap_Click();
            services.warnings.clear();
            QWidget* widget = *target ? w->findChild<QWidget*>(target) : w.get();
            if (auto* box = qobject_cast<QAbstractScrollArea*>(widget))
                widget = box->viewport();
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(file)});
            data.setText(file);
            QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(widget, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(widget, &drop);
            const bool taken = file == path;
            QCOMPARE(w->TxtSrc->Text(), QString());
            QCOMPARE(w->Pic3->Picture(), taken ? picture : w->Pic4->Picture());
            QCOMPARE(w->mBgMapFile, taken ? path : QString());
            QCOMPARE(w->CDlgOpen.FileName, file); // offered at the next choice from the menu
            QCOMPARE(services.warnings.size(), taken ? 0 : 1);
        }
    }

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
        const QImage pixel = painted({1, 1}, [&](int, int) { return ColourOf(colour); });
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
        const QImage picture = painted(QSize(lines[0].size(), lines.size()),
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
            const QImage edge = painted({256, 256}, [&](int r, int g) {
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
            = painted({1024, 1024}, [&](int x, int) { return x < dark ? 0u : ~0u; });
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

QTEST_MAIN(TestCollage)
#include "tst_collage.moc"
