#include "runtime/picturefile.h"
#include "support/scriptedservices.h"
#include "support/testregistry.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/vbwidgets.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <algorithm>
#include <cstdlib>

namespace {

// Every pixel differs from its neighbours, so a shifted or scaled copy shows.
QImage distinctPicture(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, qRgb((x * 2) % 256, (y * 5) % 256, (x + 3 * y) % 256));
    return picture;
}

// Smooth, so that a lossy encoder keeps every pixel close.
QImage smoothPicture(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, qRgb(40 + x * 2, 30 + y * 3, 128));
    return picture;
}

QByteArray encoded(const QImage& picture, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, format, quality))
        qFatal("cannot encode a %s test picture", format);
    return bytes;
}

void putLe16(QByteArray& bytes, int value)
{
    bytes.append(char(value & 0xFF));
    bytes.append(char((value >> 8) & 0xFF));
}

// Qt writes no GIFs, so they are put together here: a 128-colour global table and
// 8-bit codes with a clear code every 100 pixels, which keeps the code width fixed.
struct Gif
{
    QSize screen;
    QSize frame;
    QList<QRgb> palette; // up to 128 colours
    QByteArray indices; // one per pixel, row by row
    int transparent = -1;

    QByteArray bytes() const
    {
        QByteArray out("GIF89a");
        putLe16(out, screen.width());
        putLe16(out, screen.height());
        out.append(char(0xF6)).append(char(0)).append(char(0));
        for (int i = 0; i < 128; ++i) {
            const QRgb colour = i < palette.size() ? palette[i] : 0;
            out.append(char(qRed(colour))).append(char(qGreen(colour))).append(char(qBlue(colour)));
        }
        if (transparent >= 0) {
            out.append("\x21\xF9\x04\x01\x00\x00", 6);
            out.append(char(transparent)).append(char(0));
        }
        out.append(',');
        putLe16(out, 0);
        putLe16(out, 0);
        putLe16(out, frame.width());
        putLe16(out, frame.height());
        out.append(char(0)).append(char(7));
        QByteArray codes;
        for (qsizetype i = 0; i < indices.size(); ++i) {
            if (i % 100 == 0)
                codes.append(char(128));
            codes.append(indices[i]);
        }
        codes.append(char(129));
        for (qsizetype i = 0; i < codes.size(); i += 255) {
            const QByteArray block = codes.mid(i, 255);
            out.append(char(block.size())).append(block);
        }
        out.append(char(0)).append(';');
        return out;
    }

    QImage image() const
    {
        QImage picture(frame, QImage::Format_RGB32);
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x) {
                const int index = indices[y * frame.width() + x];
                picture.setPixel(x, y, index == transparent ? qRgb(255, 255, 255) : palette[index]);
            }
        return picture;
    }
};

Gif stripedGif(QSize size, int transparent = -1)
{
    Gif gif {size, size, {qRgb(10, 20, 30), qRgb(200, 100, 50), qRgb(0, 255, 0)}, {}, transparent};
    for (int i = 0; i < size.width() * size.height(); ++i)
        gif.indices.append(char(i % 3));
    return gif;
}

// A cursor file is an icon file of type 2, with a hot spot where an icon keeps planes and bit
// depth.
QByteArray asCursor(QByteArray icon)
{
    qToLittleEndian<quint16>(2, icon.data() + 2);
    qToLittleEndian<quint16>(3, icon.data() + 10);
    qToLittleEndian<quint16>(4, icon.data() + 12);
    return icon;
}

QByteArray withBitmapSize(QByteArray bitmap, int width, int height)
{
    qToLittleEndian<qint32>(width, bitmap.data() + 18);
    qToLittleEndian<qint32>(height, bitmap.data() + 22);
    return bitmap;
}

enum class Entry { File, Directory, Nothing };

} // namespace

Q_DECLARE_METATYPE(Entry)

class TestBackground : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    QString savePicture(const QString& name, const QImage& picture)
    {
        const QString path = dir.filePath(name);
        if (!picture.save(path))
            qFatal("cannot save %s", qPrintable(path));
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
        services = ScriptedServices();
        w = std::make_unique<FrmTessarin>(services);
        w->Form_Load();
        w->mKValue = 128;
        w->Pic2->SetInnerSize(12, 12);
        w->TxtSrc->SetText(QString());
    }

    void cleanup() { w.reset(); }

    void loadsPictures_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QImage>("expected");
        QTest::addColumn<int>("tolerance");

        const QImage picture = distinctPicture(QSize(100, 50));
        QTest::newRow("bmp") << "p.bmp" << encoded(picture, "BMP") << picture << 0;
        QTest::newRow("png") << "p.png" << encoded(picture, "PNG") << picture << 0;
        const QImage smooth = smoothPicture(QSize(64, 40));
        QTest::newRow("jpg") << "p.jpg" << encoded(smooth, "JPG", 100) << smooth << 12;

        const QImage indexed = picture.convertToFormat(QImage::Format_Indexed8);
        QTest::newRow("png with a palette") << "p.png" << encoded(indexed, "PNG")
                                            << indexed.convertToFormat(QImage::Format_RGB32) << 0;

        const Gif gif = stripedGif(QSize(20, 10));
        QTest::newRow("gif") << "p.gif" << gif.bytes() << gif.image() << 0;
        const Gif clear = stripedGif(QSize(20, 10), 0);
        QTest::newRow("gif transparency is white")
            << "p.gif" << clear.bytes() << clear.image() << 0;
        const Gif wide = stripedGif(QSize(MaxPictureSide, 1));
        QTest::newRow("gif as wide as allowed") << "p.gif" << wide.bytes() << wide.image() << 0;

        // Opaque red, see-through black and half-transparent black over white.
        QImage icon(3, 1, QImage::Format_ARGB32);
        icon.setPixel(0, 0, qRgba(255, 0, 0, 255));
        icon.setPixel(1, 0, qRgba(0, 0, 0, 0));
        icon.setPixel(2, 0, qRgba(0, 0, 0, 128));
        QImage iconOnWhite(3, 1, QImage::Format_RGB32);
        iconOnWhite.setPixel(0, 0, qRgb(255, 0, 0));
        iconOnWhite.setPixel(1, 0, qRgb(255, 255, 255));
        iconOnWhite.setPixel(2, 0, qRgb(127, 127, 127));
        const QByteArray ico = encoded(icon, "ICO");
        QTest::newRow("ico over white") << "p.ico" << ico << iconOnWhite << 1;
        QTest::newRow("cur") << "p.cur" << asCursor(ico) << iconOnWhite << 1;
        QTest::newRow("opaque ico") << "p.ico" << encoded(picture, "ICO") << picture << 0;

        // The content decides, not the name.
        QTest::newRow("png named .bmp") << "png.bmp" << encoded(picture, "PNG") << picture << 0;
        QTest::newRow("no extension") << "picture" << encoded(picture, "BMP") << picture << 0;
        QTest::newRow("high-density name")
            << "tile@2x.png" << encoded(picture, "PNG") << picture << 0;
    }

    void loadsPictures()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QImage, expected);
        QFETCH(int, tolerance);

        const std::optional<QImage> picture = LoadPicture(writeFile(fileName, bytes));
        QVERIFY(picture);
        QCOMPARE(picture->format(), QImage::Format_RGB32);
        QCOMPARE(picture->size(), expected.size());
        QCOMPARE(picture->devicePixelRatio(), 1.0);
        for (int y = 0; y < expected.height(); ++y) {
            for (int x = 0; x < expected.width(); ++x) {
                const QRgb got = picture->pixel(x, y);
                const QRgb want = expected.pixel(x, y);
                const int error = std::max({std::abs(qRed(got) - qRed(want)),
                    std::abs(qGreen(got) - qGreen(want)), std::abs(qBlue(got) - qBlue(want))});
                if (error > tolerance)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3, not %4")
                                         .arg(x)
                                         .arg(y)
                                         .arg(got, 8, 16, QLatin1Char('0'))
                                         .arg(want, 8, 16, QLatin1Char('0'))));
            }
        }
    }

    void refusesWhatIsNoUsablePicture_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<QByteArray>("bytes");

        const QImage picture = distinctPicture(QSize(100, 50));
        const QByteArray bmp = encoded(picture, "BMP");
        const QByteArray png = encoded(picture, "PNG");
        const QByteArray jpg = encoded(smoothPicture(QSize(64, 40)), "JPG", 90);
        const QByteArray gif = stripedGif(QSize(100, 50)).bytes();

        QTest::newRow("text named .bmp")
            << "text.bmp" << Entry::File << QByteArray("This is not a picture.\r\nOnly text.\r\n");
        QTest::newRow("empty file") << "empty.bmp" << Entry::File << QByteArray();
        QTest::newRow("bmp one byte short") << "cut.bmp" << Entry::File << bmp.left(bmp.size() - 1);
        QTest::newRow("bmp cut in half") << "cut.bmp" << Entry::File << bmp.left(bmp.size() / 2);
        QTest::newRow("bmp header only") << "cut.bmp" << Entry::File << bmp.left(54);
        QTest::newRow("png cut short") << "cut.png" << Entry::File << png.left(png.size() - 20);
        QTest::newRow("jpg cut short") << "cut.jpg" << Entry::File << jpg.left(jpg.size() * 9 / 10);
        QTest::newRow("gif frame cut short")
            << "cut.gif" << Entry::File << gif.left(gif.size() / 2);
        QTest::newRow("gif without its last block")
            << "cut.gif" << Entry::File << gif.left(gif.size() - 2);
        QTest::newRow("gif header only") << "cut.gif" << Entry::File << gif.left(13);
        const QByteArray ico = encoded(picture, "ICO");
        QTest::newRow("ico cut short") << "cut.ico" << Entry::File << ico.left(ico.size() / 2);

        QTest::newRow("bmp of 0 x 0") << "zero.bmp" << Entry::File << withBitmapSize(bmp, 0, 0);
        QTest::newRow("gif of 0 x 0")
            << "zero.gif" << Entry::File << Gif {QSize(0, 0), QSize(0, 0), {0}, {}}.bytes();

        QTest::newRow("bmp claiming 30000 x 30000")
            << "huge.bmp" << Entry::File << withBitmapSize(bmp.left(54), 30000, 30000);
        Gif huge = stripedGif(QSize(20, 10));
        huge.screen = huge.frame = QSize(30000, 30000);
        QTest::newRow("gif claiming 30000 x 30000") << "huge.gif" << Entry::File << huge.bytes();
        QTest::newRow("gif one pixel wider than allowed")
            << "wide.gif" << Entry::File << stripedGif(QSize(MaxPictureSide + 1, 1)).bytes();
        // Within the side bound, but 400 MB once decoded.
        huge.screen = huge.frame = QSize(10000, 10000);
        QTest::newRow("gif claiming 10000 x 10000") << "big.gif" << Entry::File << huge.bytes();

        QTest::newRow("missing file") << "missing.bmp" << Entry::Nothing << QByteArray();
        QTest::newRow("empty path") << QString() << Entry::Nothing << QByteArray();
        QTest::newRow("directory") << "folder.bmp" << Entry::Directory << QByteArray();
        QTest::newRow("endless device") << "/dev/zero" << Entry::Nothing << QByteArray();
    }

    void refusesWhatIsNoUsablePicture()
    {
        QFETCH(QString, fileName);
        QFETCH(Entry, entry);
        QFETCH(QByteArray, bytes);

        QString path;
        if (QDir::isAbsolutePath(fileName)) {
            if (!QFile::exists(fileName))
                QSKIP("this system has no such device");
            path = fileName;
        } else if (!fileName.isEmpty()) {
            path = dir.filePath(fileName);
        }
        if (entry == Entry::File)
            writeFile(fileName, bytes);
        else if (entry == Entry::Directory)
            QVERIFY(QDir(dir.path()).mkpath(fileName));

        QVERIFY(!LoadPicture(path));
    }

    void chosenPictureBecomesTheTile_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("bmp") << "wide.bmp";
        QTest::newRow("png") << "wide.png";
        // Qt would read a picture by such a name at half size.
        QTest::newRow("high-density name") << "wide@2x.png";
    }

    void chosenPictureBecomesTheTile()
    {
        QFETCH(QString, fileName);
        const QImage picture = distinctPicture(QSize(100, 50));
        const QString path = savePicture(fileName, picture);

        choose(path);

        QCOMPARE(services.dialogsShown.size(), 1);
        QCOMPARE(services.dialogsShown[0].DialogTitle, u"请选择图片文件："_qs);
        QCOMPARE(w->Pic3->ScaleWidth(), 100);
        QCOMPARE(w->Pic3->ScaleHeight(), 50);
        QCOMPARE(w->Pic3->Image(), picture);
        QCOMPARE(w->mBgMapFile, path);
        QCOMPARE(w->Pic2->Image().size(), QSize(12, 12));
        QCOMPARE(w->Pic2->Image(), picture.copy(0, 0, 12, 12));
        QVERIFY(services.warnings.isEmpty());
    }

    void darkPictureGivesDisplayStrings()
    {
        // Dark on the left half of the preview, light on the right.
        QImage picture(100, 50, QImage::Format_RGB32);
        picture.fill(Qt::white);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 6; ++x)
                picture.setPixel(x, y, qRgb(0, 0, 0));
        const QString path = savePicture(u"dark.bmp"_qs, picture);

        w->CmdConv_Click();
        QVERIFY(!w->TxtOut->toPlainText().contains(u'砾'));

        choose(path);
        w->CmdConv_Click();
        const QStringList lines = w->TxtOut->toPlainText().split(QLatin1Char('\n'));
        QVERIFY(lines.size() >= 12);
        const QString row = QString(6, u'砾') + QString(6, QChar(0x3000));
        for (const QString& line : lines.mid(lines.size() - 12))
            QCOMPARE(line, row);
    }

    void failedChoiceChangesNothing_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("text named .bmp")
            << "text.bmp" << QByteArray("Not a picture at all.\r\n") << false;
        QTest::newRow("bmp cut short")
            << "cut.bmp" << encoded(distinctPicture(QSize(30, 30)), "BMP").left(1000) << false;
        QTest::newRow("missing file") << "missing.bmp" << QByteArray() << false;
        QTest::newRow("cancel") << QString() << QByteArray() << true;
    }

    void failedChoiceChangesNothing()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, cancel);

        // Start from a chosen picture, so that falling back to anything shows.
        const QString first = savePicture(u"first.png"_qs, distinctPicture(QSize(100, 50)));
        choose(first);
        const QImage picture = w->Pic3->Picture();
        const QImage preview = w->Pic2->Image();
        QCOMPARE(w->mBgMapFile, first);

        std::optional<QString> reply;
        if (!cancel) {
            reply = dir.filePath(fileName);
            if (!bytes.isEmpty())
                writeFile(fileName, bytes);
        }
        choose(reply);

        QCOMPARE(services.dialogsShown.size(), 2);
        QCOMPARE(w->Pic3->Picture(), picture);
        QCOMPARE(w->Pic3->ScaleWidth(), 100);
        QCOMPARE(w->Pic3->ScaleHeight(), 50);
        QCOMPARE(w->mBgMapFile, first);
        QCOMPARE(w->Pic2->Image(), preview);
        if (cancel)
            QCOMPARE(w->CDlgOpen.FileName, first);
        QVERIFY(services.warnings.isEmpty());
    }

    // A confirmed dialog without a file empties the holder, which keeps its size.
    void emptyFileNameEmptiesTheBackground()
    {
        choose(savePicture(u"first.png"_qs, distinctPicture(QSize(20, 10))));
        choose(QString());

        QVERIFY(w->Pic3->Picture().isNull());
        QCOMPARE(w->Pic3->ScaleWidth(), 20);
        QCOMPARE(w->Pic3->ScaleHeight(), 10);
        QVERIFY(w->mBgMapFile.isEmpty());
        QImage plain(12, 12, QImage::Format_RGB32);
        plain.fill(w->Pic3->BackColor());
        QCOMPARE(w->Pic2->Image(), plain);
    }

    void defaultCommandRestoresTheBuiltInTile()
    {
        const QString path = savePicture(u"chosen.bmp"_qs, distinctPicture(QSize(100, 50)));
        choose(path);
        QCOMPARE(w->Pic3->ScaleWidth(), 100);

        w->mnuSetOldBgMap_Click();

        const QImage builtIn = w->Pic4->Picture();
        QCOMPARE(builtIn.size(), QSize(32, 32));
        QCOMPARE(w->Pic3->Picture(), builtIn);
        QCOMPARE(w->Pic3->ScaleWidth(), 32);
        QCOMPARE(w->Pic3->ScaleHeight(), 32);
        QVERIFY(w->mBgMapFile.isEmpty());
        QCOMPARE(w->CDlgOpen.FileName, path);
        QCOMPARE(w->Pic2->Image(), builtIn.copy(0, 0, 12, 12));
    }
};

TESSARIN_TEST(TestBackground)
#include "tst_background.moc"
