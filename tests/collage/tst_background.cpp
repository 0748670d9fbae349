#include "runtime/picturefile.h"
#include "support/files.h"
#include "support/images.h"
#include "support/loadedwindow.h"
#include "window/picturebox.h"
#include "window/textboxes.h"

#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <sys/stat.h>

using namespace testsupport;

namespace {

const QRgb Stripes[] = {qRgb(10, 20, 30), qRgb(200, 100, 50), qRgb(0, 255, 0)};

// Qt writes no GIFs, so they are put together here: pixels of three colours in turn from a
// 128-colour table, 8-bit codes with a clear code every 100 pixels, which keeps the code width
// fixed.
QByteArray stripedGif(QSize size)
{
    QByteArray out("GIF89a");
    const auto putSize = [&] {
        for (const int value : {size.width(), size.height()})
            out.append(char(value & 0xFF)).append(char(value >> 8));
    };
    putSize();
    out.append("\xF6\0\0", 3);
    for (const QRgb colour : Stripes)
        out.append(char(qRed(colour))).append(char(qGreen(colour))).append(char(qBlue(colour)));
    out.append(QByteArray(3 * 125, '\0')).append(",\0\0\0\0", 5);
    putSize();
    out.append("\0\7", 2);
    QByteArray codes;
    for (int i = 0; i < size.width() * size.height(); ++i)
        codes.append(i % 100 ? "" : "\x80").append(char(i % 3));
    codes.append(char(129));
    for (qsizetype i = 0; i < codes.size(); i += 255)
        out.append(char(qMin<qsizetype>(255, codes.size() - i))).append(codes.mid(i, 255));
    return out.append("\0;", 2);
}

// Three colours in turn, so a shifted or scaled copy shows.
QImage stripedImage(QSize size)
{
    return painted(size, [&](int x, int y) { return Stripes[(y * size.width() + x) % 3]; });
}

// An icon file whose one picture is the given PNG.
QByteArray iconOf(const QByteArray& png)
{
    QByteArray icon("\0\0\1\0\1\0\0\0\0\0\1\0\x20\0", 14);
    icon.append(QByteArray(8, '\0')).append(png);
    qToLittleEndian<quint32>(png.size(), icon.data() + 14);
    qToLittleEndian<quint32>(22, icon.data() + 18);
    return icon;
}

// A progressive JPEG with its last scan repeated; a repeated refinement changes no pixel.
QByteArray progressive(const QImage& picture, int extraScans)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(picture);
    const qsizetype lastScan = bytes.lastIndexOf("\xFF\xDA");
    const QByteArray scan = bytes.sliced(lastScan, bytes.size() - 2 - lastScan);
    return bytes.insert(bytes.size() - 2, scan.repeated(extraScans));
}

} // namespace

class TestBackground : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What a file's bytes decode to; a null picture where they are refused.
    void loadPicture_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QImage>("expected");
        const auto row
            = [](const char* name, const QByteArray& bytes, const QImage& expected = QImage()) {
                  QTest::newRow(name) << bytes << expected;
              };
        const auto decoded = [](const QByteArray& bytes) {
            return QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
        };

        const QImage picture = stripedImage(QSize(100, 50));
        const QByteArray bmp = encoded(picture, "BMP");
        row("bmp", bmp, picture);
        const QByteArray jpg = encoded(picture, "JPG");
        row("jpg", jpg, decoded(jpg));
        row("progressive jpg", progressive(picture, 0), decoded(progressive(picture, 0)));
        const QImage mono = painted({19, 7}, [](int x, int y) { return (x + y) % 3 ? ~0u : 0u; });
        const QByteArray xbm = encoded(mono, "XBM");
        row("xbm", xbm, mono);
        // A text that Qt writes compressed and libpng would inflate whole before any pixel.
        QImage withText = picture;
        withText.setText(u"Comment"_qs, QString(1 << 20, u'a'));
        const QByteArray png = encoded(withText, "PNG");
        row("png, its text left unread", png, picture);
        row("ico of such a png", iconOf(png), picture);
        // Opaque red, see-through black and half-transparent black.
        const QRgb colours[] = {qRgba(255, 0, 0, 255), qRgba(0, 0, 0, 0), qRgba(0, 0, 0, 128)};
        const QImage translucent = painted(
            {3, 1}, [&](int x, int) { return colours[x]; }, QImage::Format_ARGB32);
        row("png over white", encoded(translucent, "PNG"), painted({3, 1}, [](int x, int) {
            return QList {qRgb(255, 0, 0), qRgb(255, 255, 255), qRgb(127, 127, 127)}[x];
        }));
        const QSize wide(MaxPictureSide, 1);
        row("gif as wide as allowed", stripedGif(wide), stripedImage(wide));

        const QByteArray gif = stripedGif(QSize(100, 50));
        row("text, no picture", "This is not a picture.\r\n");
        row("bmp one byte short", bmp.chopped(1));
        row("jpg cut in half", jpg.first(jpg.size() / 2));
        row("jpg of 100 scans", progressive(picture, 90));
        row("xbm cut short", xbm.left(xbm.lastIndexOf("0x")));
        row("gif cut in half", gif.first(gif.size() / 2));
        row("gif one pixel wider than allowed", stripedGif(wide + QSize(1, 0)));
    }
    void loadPicture()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QImage, expected);

        const std::optional<QImage> picture = LoadPictureData(bytes);
        QCOMPARE(picture.has_value(), !expected.isNull());
        if (picture) {
            QCOMPARE(*picture, expected); // RGB32 too
            QCOMPARE(picture->textKeys(), QStringList());
        }
    }

    // The chosen picture becomes the tile. A cancel or a file that is no picture, a pipe nobody
    // writes into among them, leaves everything as it was, without a word; a confirmed dialog
    // without a file empties the holder, which keeps its size; the default command brings back
    // the built-in tile.
    void backgroundCommands()
    {
        QTemporaryDir dir;
        ScriptedServices services;
        const auto w = LoadedWindow(services);
        w->Pic2->SetInnerSize(12, 12);
        w->TxtSrc->SetText(QString());
        const auto choose = [&](const std::optional<QString>& reply) {
            services.openReplies.enqueue(reply);
            w->mnuBgMap_Click();
        };
        const QImage picture = stripedImage(QSize(100, 50));
        // Qt would read a "@2x" name at half size.
        const QString path = dir.filePath(u"wide@2x.png"_qs);
        QVERIFY(writeFile(path, encoded(picture, "PNG")));
        const auto unchanged = [&](int dialogs, const QString& offered) {
            QCOMPARE(services.dialogsShown.size(), dialogs);
            QCOMPARE(w->Pic3->Picture(), picture);
            QCOMPARE(w->mBgMapFile, path);
            QCOMPARE(w->Pic2->Image(), picture.copy(0, 0, 12, 12));
            QCOMPARE(w->CDlgOpen.FileName, offered);
        };
        choose(path);
        unchanged(1, path);
        choose(std::nullopt);
        unchanged(2, path);
        const QString pipe = dir.filePath(u"pipe.bmp"_qs);
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        choose(pipe);
        unchanged(3, pipe);
        QVERIFY(services.warnings.isEmpty());

        choose(QString());
        QVERIFY(w->Pic3->Picture().isNull());
        QCOMPARE(w->Pic3->ScaleWidth(), 100);
        QCOMPARE(w->Pic3->ScaleHeight(), 50);
        QVERIFY(w->mBgMapFile.isEmpty());
        const QRgb back = w->Pic3->BackColor().rgb();
        QCOMPARE(w->Pic2->Image(), painted({12, 12}, [&](int, int) { return back; }));

        choose(path);
        w->mnuSetOldBgMap_Click();
        const QImage builtIn = w->Pic4->Picture();
        QCOMPARE(w->Pic3->Picture(), builtIn);
        QCOMPARE(w->Pic3->ScaleWidth(), 32);
        QVERIFY(w->mBgMapFile.isEmpty());
        QCOMPARE(w->Pic2->Image(), builtIn.copy(0, 0, 12, 12));
    }
};

QTEST_MAIN(TestBackground)
#include "tst_background.moc"
