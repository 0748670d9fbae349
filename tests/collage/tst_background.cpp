#include "runtime/picturefile.h"
#include "support/files.h"
#include "support/images.h"
#include "support/loadedwindow.h"
#include "support/scriptedservices.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/textboxes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <algorithm>
#include <cstdlib>

using namespace testsupport;

namespace {

// Every pixel differs from its neighbours, so a shifted or scaled copy shows.
QImage distinctPicture(QSize size)
{
    return painted(
        size, [](int x, int y) { return qRgb(x * 2 % 256, y * 5 % 256, (x + 3 * y) % 256); });
}

const QRgb Stripes[] = {qRgb(10, 20, 30), qRgb(200, 100, 50), qRgb(0, 255, 0)};

// Qt writes no GIFs, so they are put together here: pixels of three colours in turn from a
// 128-colour table, 8-bit codes with a clear code every 100 pixels, which keeps the code width
// fixed. The header may claim another size than the pixels hold.
QByteArray stripedGif(QSize size, int transparent = -1, QSize claimed = QSize())
{
    QByteArray out("GIF89a");
    const auto putSize = [&](QSize s) {
        for (const int value : {s.width(), s.height()})
            out.append(char(value & 0xFF)).append(char(value >> 8));
    };
    putSize(claimed.isValid() ? claimed : size);
    out.append("\xF6\0\0", 3);
    for (const QRgb colour : Stripes)
        out.append(char(qRed(colour))).append(char(qGreen(colour))).append(char(qBlue(colour)));
    out.append(QByteArray(3 * 125, '\0'));
    if (transparent >= 0)
        out.append("\x21\xF9\x04\x01\0\0", 6).append(char(transparent)).append('\0');
    out.append(",\0\0\0\0", 5);
    putSize(claimed.isValid() ? claimed : size);
    out.append("\0\7", 2);
    QByteArray codes;
    for (int i = 0; i < size.width() * size.height(); ++i)
        codes.append(i % 100 ? "" : "\x80").append(char(i % 3));
    codes.append(char(129));
    for (qsizetype i = 0; i < codes.size(); i += 255)
        out.append(char(qMin<qsizetype>(255, codes.size() - i))).append(codes.mid(i, 255));
    return out.append("\0;", 2);
}

QImage stripedImage(QSize size, int transparent = -1)
{
    return painted(size, [&](int x, int y) {
        const int i = (y * size.width() + x) % 3;
        return i == transparent ? qRgb(255, 255, 255) : Stripes[i];
    });
}

} // namespace

class TestBackground : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    QString written(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        if (!writeFile(path, bytes))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    void choose(const std::optional<QString>& reply)
    {
        services.openReplies.enqueue(reply);
        w->mnuBgMap_Click();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void init()
    {
        w = LoadedWindow(services);
        w->Pic2->SetInnerSize(12, 12);
        w->TxtSrc->SetText(QString());
    }

    void cleanup() { w.reset(); }

    // What a file decodes to, within a tolerance per channel; a null picture where it is refused.
    // Files go below the test folder (a name ending in / is made a folder; no bytes, no file).
    void loadPicture_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QImage>("expected");
        QTest::addColumn<int>("tolerance");

        // The content decides, not the name; Qt would read a "@2x" name at half size.
        const auto loads = [](const char* name, const QByteArray& bytes, const QImage& expected,
                               int tolerance = 0) {
            QTest::newRow(name) << u"tile@2x.ico"_qs << bytes << expected << tolerance;
        };
        const auto refused = [](const char* name, const QString& file, const QByteArray& bytes) {
            QTest::newRow(name) << file << bytes << QImage() << 0;
        };
        const QImage picture = distinctPicture(QSize(100, 50));
        const QByteArray bmp = encoded(picture, "BMP");
        loads("bmp", bmp, picture);
        // Smooth, so that the lossy encoder keeps every pixel close.
        const QImage smooth
            = painted({64, 40}, [](int x, int y) { return qRgb(40 + x * 2, 30 + y * 3, 128); });
        const QByteArray jpg = encoded(smooth, "JPG", 100);
        loads("jpg", jpg, smooth, 12);
        const QSize small(20, 10);
        const QSize wide(MaxPictureSide, 1);
        loads("gif", stripedGif(small), stripedImage(small));
        loads("gif transparency is white", stripedGif(small, 0), stripedImage(small, 0));
        loads("gif as wide as allowed", stripedGif(wide), stripedImage(wide));
        // Opaque red, see-through black and half-transparent black, over white.
        const QRgb icon[] = {qRgba(255, 0, 0, 255), qRgba(0, 0, 0, 0), qRgba(0, 0, 0, 128)};
        const QRgb onWhite[] = {qRgb(255, 0, 0), qRgb(255, 255, 255), qRgb(127, 127, 127)};
        const auto row = [](const QRgb* colours) {
            const auto colour = [=](int x, int) { return colours[x]; };
            return painted({3, 1}, colour, QImage::Format_ARGB32);
        };
        QByteArray ico = encoded(row(icon), "ICO");
        loads("ico over white", ico, row(onWhite), 1);
        ico[2] = 2; // a cursor file
        loads("cur", ico, row(onWhite), 1);

        QByteArray zero = bmp;
        qToLittleEndian<qint64>(0, zero.data() + 18); // width and height
        const QByteArray png = encoded(picture, "PNG");
        const QByteArray gif = stripedGif(QSize(100, 50));
        refused("text named .bmp", "text.bmp", "This is not a picture.\r\nOnly text.\r\n");
        refused("bmp one byte short", "cut.bmp", bmp.chopped(1));
        refused("bmp header only", "cut.bmp", bmp.left(54));
        refused("png cut short", "cut.png", png.chopped(20));
        refused("jpg cut short", "cut.jpg", jpg.chopped(2));
        refused("gif without its last block", "cut.gif", gif.chopped(2));
        refused("gif header only", "cut.gif", gif.left(13));
        refused("bmp of 0 x 0", "zero.bmp", zero);
        refused("gif claiming 30000 x 30000", "huge.gif", stripedGif(small, -1, {30000, 30000}));
        refused("gif one pixel wider than allowed", "wide.gif", stripedGif(wide + QSize(1, 0)));
        // Within the side bound, but 400 MB once decoded.
        refused("gif claiming 10000 x 10000", "big.gif", stripedGif(small, -1, {10000, 10000}));
        refused("missing file", "missing.bmp", "");
        refused("empty path", "", "");
        refused("directory", "folder.bmp/", "");
        refused("endless device", "/dev/zero", "");
    }
    void loadPicture()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QImage, expected);
        QFETCH(int, tolerance);

        if (QDir::isAbsolutePath(fileName) && !QFile::exists(fileName))
            QSKIP("this system has no such device");
        const QString path = fileName.isEmpty() ? fileName : QDir(dir.path()).filePath(fileName);
        if (!bytes.isEmpty())
            written(fileName, bytes);
        else if (fileName.endsWith(u'/'))
            QVERIFY(QDir(dir.path()).mkpath(fileName));
        const std::optional<QImage> picture = LoadPicture(path);
        QCOMPARE(picture.has_value(), !expected.isNull());
        if (!picture)
            return;
        QCOMPARE(picture->format(), QImage::Format_RGB32);
        QCOMPARE(picture->size(), expected.size());
        QCOMPARE(picture->devicePixelRatio(), 1.0);
        int worst = 0;
        for (int y = 0; y < expected.height(); ++y) {
            for (int x = 0; x < expected.width(); ++x) {
                const QRgb got = picture->pixel(x, y);
                const QRgb want = expected.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(got) - qRed(want)),
                    std::abs(qGreen(got) - qGreen(want)), std::abs(qBlue(got) - qBlue(want))});
            }
        }
        QVERIFY2(
            worst <= tolerance, qPrintable(QStringLiteral("a channel is off by %1").arg(worst)));
    }

    // The chosen picture becomes the tile. A cancel or a file that is no picture leaves everything
    // as it was, without a word; a confirmed dialog without a file empties the holder, which keeps
    // its size; the default command brings back the built-in tile.
    void backgroundCommands()
    {
        const QImage picture = distinctPicture(QSize(100, 50));
        const QString path = written(u"wide@2x.png"_qs, encoded(picture, "PNG"));
        const auto unchanged = [&](int dialogs, const QString& offered) {
            QCOMPARE(services.dialogsShown.size(), dialogs);
            QCOMPARE(w->Pic3->Picture(), picture);
            QCOMPARE(w->mBgMapFile, path);
            QCOMPARE(w->Pic2->Image(), picture.copy(0, 0, 12, 12));
            QCOMPARE(w->CDlgOpen.FileName, offered);
        };
        choose(path);
        QCOMPARE(services.dialogsShown[0].DialogTitle, u"请选择图片文件："_qs);
        unchanged(1, path);
        choose(std::nullopt);
        unchanged(2, path);
        const QString text = written(u"text.bmp"_qs, "Not a picture.");
        choose(text);
        unchanged(3, text);
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
        QCOMPARE(builtIn.size(), QSize(32, 32));
        QCOMPARE(w->Pic3->Picture(), builtIn);
        QCOMPARE(w->Pic3->ScaleWidth(), 32);
        QVERIFY(w->mBgMapFile.isEmpty());
        QCOMPARE(w->CDlgOpen.FileName, path);
        QCOMPARE(w->Pic2->Image(), builtIn.copy(0, 0, 12, 12));
    }
};

QTEST_MAIN(TestBackground)
#include "tst_background.moc"
