#include "output/resultfile.h"
#include "runtime/codepage.h"
#include "support/files.h"
#include "support/images.h"
#include "support/scriptedservices.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/textboxes.h"

#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QtEndian>
#include <optional>

using namespace testsupport;

namespace {

QImage stripes()
{
    return painted(
        {16, 8}, [](int x, int) { return x % 2 ? qRgb(20, 20, 20) : qRgb(230, 230, 230); });
}

quint32 crc32(QByteArrayView bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

void appendChunk(QByteArray& png, const char* type, const QByteArray& data)
{
    const QByteArray typed = type + data;
    char word[4];
    qToBigEndian<quint32>(quint32(data.size()), word);
    png.append(word, 4).append(typed);
    qToBigEndian<quint32>(crc32(typed), word);
    png.append(word, 4);
}

// A complete, valid PNG of side × side white pixels at one bit per pixel: a real picture whose
// pixels would take side² × 4 bytes once decoded.
QByteArray whitePng(int side)
{
    const qsizetype rowBytes = 1 + (side + 7) / 8; // the filter byte, then the pixels
    QByteArray pixels(rowBytes * side, char(0xFF));
    for (qsizetype row = 0; row < pixels.size(); row += rowBytes)
        pixels[row] = 0;
    QByteArray header(13, 0);
    qToBigEndian<quint32>(side, header.data());
    qToBigEndian<quint32>(side, header.data() + 4);
    header[8] = 1; // bit depth; colour type 0 (grey), standard compression, no interlace
    QByteArray png("\x89PNG\r\n\x1a\n");
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", qCompress(pixels).sliced(4)); // a zlib stream after Qt's length
    appendChunk(png, "IEND", {});
    return png;
}

QByteArray zeroBitmap()
{
    QByteArray bmp = encoded(stripes(), "BMP");
    qToLittleEndian<qint64>(0, bmp.data() + 18); // width and height
    return bmp;
}

// Text for the output box as the box holds it, no-break spaces and NULs included.
QString boxText(const FrmTessarin& w)
{
    return w.TxtOut->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

} // namespace

class TestBadInputs : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    void open(const QString& settingsPath)
    {
        w.reset();
        services = ScriptedServices();
        w = std::make_unique<FrmTessarin>(services);
        w->SetSettingsPath(settingsPath);
        w->Form_Load();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }

    void setPictureSize(int side)
    {
        w->TxtMapWidth->setText(QString::number(side));
        w->TxtMapHeight->setText(QString::number(side));
        QCOMPARE(w->Pic2->Image().size(), QSize(side, side));
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(dir.isValid()); }
    void cleanup() { w.reset(); }

    void settingsFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("size"); // zeros up to this size follow the bytes
        QTest::addColumn<QString>("read"); // picture width, font size
        QTest::addColumn<QByteArray>("kept"); // bytes that closing leaves in the file
        QByteArray junk(64 * 1024, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(junk.data()), junk.size() / 4);
        QTest::newRow("binary junk") << junk << qint64(0) << "12 9" << junk;

        // Read as missing and never replaced: it is over the 16 MiB limit.
        const QByteArray values = ToAnsi(u"[属性]\r\n图片宽=40\r\n字号=20\r\n"_qs);
        QTest::newRow("100 MB") << values << qint64(100) * 1024 * 1024 << "12 9" << QByteArray();

        const QByteArray longLine(1024 * 1024, 'x');
        QTest::newRow("one 1 MB line")
            << longLine + "\r\n" + values << qint64(0) << "40 20" << longLine;

        const QByteArray strangeSection
            = QByteArray("[\x81\x20\xFF]\r\n", 7) + ToAnsi(u"字号=20\r\n"_qs);
        QTest::newRow("invalid GBK bytes")
            << QByteArray("\x81\xFF\xFE\r\n", 5) + ToAnsi(u"[属性]\r\n"_qs)
                + QByteArray("\x81=\xFF\x80\r\n", 6) + ToAnsi(u"图片宽=40\r\n"_qs) + strangeSection
            << qint64(0) << "40 9" << strangeSection;

        const QByteArray repeated = ToAnsi(u"[属性]\r\n字号=20\r\n"_qs);
        QTest::newRow("duplicate sections and keys")
            << ToAnsi(u"[属性]\r\n图片宽=40\r\n图片宽=50\r\n"_qs) + repeated << qint64(0) << "40 9"
            << repeated;

        QTest::newRow("section without closing bracket")
            << ToAnsi(u"[属性\r\n图片宽=40\r\n字号=20\r\n"_qs) << qint64(0) << "40 20"
            << ToAnsi(u"[属性\r\n"_qs);
    }

    // The window opens with what it can read and defaults for the rest; closing writes the
    // settings into the file without losing what it could not read, or leaves a file it must not
    // read alone.
    void settingsFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, size);
        QFETCH(QString, read);
        QFETCH(QByteArray, kept);
        const QString path = dir.filePath(u"Tessarin.Ini"_qs);
        QVERIFY(writeFile(path, bytes));
        if (size > 0)
            QVERIFY(QFile::resize(path, size)); // sparse: quick to make
        const auto remove = qScopeGuard([&] { QFile::remove(path); });
        // Picture width, font size and height as the fields show them, the width applied, K.
        const auto shown = [&] {
            return u"%1 %2 %3 %4 %5"_qs.arg(w->TxtMapWidth->text(), w->TxtHeight->text(),
                w->TxtMapHeight->text(), QString::number(w->Pic2->ScaleWidth()),
                QString::number(w->mKValue));
        };
        const QString width = read.section(u' ', 0, 0);

        open(path);
        QCOMPARE(shown(), u"%1 12 %2 128"_qs.arg(read, width));
        QCOMPARE(w->Pic3->Picture(), w->Pic4->Picture());
        w->TxtMapHeight->setText(u"30"_qs); // something to save
        w->close();
        QVERIFY(services.warnings.isEmpty());

        const QByteArray saved = readAll(path);
        if (size > 0) {
            QCOMPARE(saved.size(), size);
            QVERIFY(saved.startsWith(bytes));
            QCOMPARE(saved.count('\0'), size - bytes.size());
            return;
        }
        QVERIFY(saved.contains(kept));
        open(path);
        QCOMPARE(shown(), u"%1 30 %2 128"_qs.arg(read, width));
    }

    void pictures_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("usable");
        const QByteArray png = encoded(stripes(), "PNG");
        QTest::newRow("usable picture") << "stripes.png" << png << true;
        QTest::newRow("truncated") << "cut.png" << png.left(png.size() / 2) << false;
        QTest::newRow("empty file") << "empty.bmp" << QByteArray() << false;
        QTest::newRow("0 x 0 pixels") << "zero.bmp" << zeroBitmap() << false;
        QTest::newRow("30000 x 30000") << "huge.png" << whitePng(30000) << false;
        QTest::newRow("text named .gif")
            << "note.gif" << QByteArray("GIF? No, only a note.\r\n") << false;
    }

    // Chosen through the menu or named in the settings, a picture that cannot be used changes
    // nothing and says nothing; at start-up the built-in background stands in for it.
    void pictures()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, usable);
        const QString picture = dir.filePath(fileName);
        QVERIFY(writeFile(picture, bytes));
        const QString settings = dir.filePath(u"picture.ini"_qs);

        open(QString());
        const QImage background = w->Pic3->Picture();
        const QImage preview = w->Pic2->Image();
        services.openReplies.enqueue(picture);
        w->mnuBgMap_Click();
        QVERIFY(services.warnings.isEmpty());
        QCOMPARE(w->mBgMapFile, usable ? picture : QString());
        QCOMPARE(w->Pic3->Picture(), usable ? stripes() : background);
        if (!usable)
            QCOMPARE(w->Pic2->Image(), preview);

        QVERIFY(writeFile(settings, ToAnsi(u"[设置]\r\n背景图片="_qs + picture + u"\r\n"_qs)));
        open(settings);
        QVERIFY(services.warnings.isEmpty());
        QCOMPARE(w->mBgMapFile, usable ? picture : QString());
        QCOMPARE(w->Pic3->Picture(), usable ? stripes() : w->Pic4->Picture());
    }

    void texts_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("space");
        QTest::addColumn<int>("length"); // of each row produced; 0: refused
        const QString longSource = u"墨砾版字符拼合画"_qs.repeated(12500);
        const QString longDisplay(10000, u'砾');
        const QString longSpace(10000, QChar(0x3000));
        QTest::newRow("source of 100 000 characters")
            << 12 << longSource << u"砾"_qs << u"\u3000"_qs << 12;
        QTest::newRow("source of 100 000 characters at 1024 x 1024")
            << 1024 << longSource << u"砾"_qs << u"\u3000"_qs << 1024;
        QTest::newRow("display and space of 10 000 characters at 12 x 12")
            << 12 << u"墨"_qs << longDisplay << longSpace << 120000;
        // 10^10 characters: refused with a warning.
        QTest::newRow("space of 10 000 characters at 1024 x 1024")
            << 1024 << u"墨"_qs << u"砾"_qs << longSpace << 0;
    }

    void texts()
    {
        QFETCH(int, side);
        QFETCH(QString, source);
        QFETCH(QString, display);
        QFETCH(QString, space);
        QFETCH(int, length);
        open(QString());
        setPictureSize(side);
        w->TxtSrc->SetText(source);
        w->TxtView1->SetText(display);
        w->TxtView2->SetText(space);
        w->TxtOut->setPlainText(u"earlier"_qs);
        const QImage preview = w->Pic2->Image();
        w->CmdConv_Click();

        QCOMPARE(w->Pic2->Image(), preview);
        QCOMPARE(w->windowTitle(), FrmTessarin::Title);
        if (!length) {
            QCOMPARE(services.warnings.size(), 1);
            QCOMPARE(services.warnings[0].first, u"生成失败"_qs);
            QCOMPARE(boxText(*w), u"earlier"_qs);
            QVERIFY(!w->mShowOutput);
            return;
        }
        QVERIFY(services.warnings.isEmpty());
        QVERIFY(w->mShowOutput);
        const QStringList lines = boxText(*w).split(u'\n');
        QCOMPARE(lines.size(), side + 1);
        for (const QString& line : lines.mid(1))
            QCOMPARE(line.size(), length);
    }

    void clipboard_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("saved");
        const QChar nul(0);
        QTest::newRow("NUL inside") << u"a"_qs + nul + u"b"_qs << QByteArray("a\0b", 3);
        QTest::newRow("only NULs") << QString(3, nul) << QByteArray("\0\0\0", 3);
        QTest::newRow("NULs around a line break") << u"砾"_qs + nul + u"\n"_qs + nul + u"墨"_qs
                                                  << QByteArray("\xC0\xF9\0\r\n\0\xC4\xAB", 8);
    }

    // NULs are characters like any other: pasted, copied and saved as they are.
    void clipboard()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, saved);
        open(QString());
        w->TxtOut->setPlainText(QString());
        services.clipboardText = text;
        w->mnuPaste_Click();
        QCOMPARE(boxText(*w), text);

        services.clipboardText.reset();
        w->mnuCopyText_Click();
        QCOMPARE(services.clipboardText, std::optional<QString>(text));

        const QString path = dir.filePath(u"pasted.txt"_qs);
        services.saveReplies.enqueue(path);
        w->mnuSave_Click();
        QVERIFY(services.warnings.isEmpty());
        QCOMPARE(readAll(path), saved);
    }

    void saveTargets_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("saved");
        QTest::newRow("writable file") << "writable" << true;
        QTest::newRow("missing folder") << "missing folder" << false;
        QTest::newRow("read-only file") << "read-only" << false;
    }

    // A save that cannot be made warns once and leaves the previous file as it was, with no
    // temporary file beside it.
    void saveTargets()
    {
        QFETCH(QString, target);
        QFETCH(bool, saved);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QString path = folder.filePath(u"result.txt"_qs);
        const QByteArray previous("previous result");
        if (target == u"missing folder")
            path = folder.filePath(u"missing/result.txt"_qs);
        else
            QVERIFY(writeFile(path, previous));
        const QStringList entries = entriesBelow(folder.path());

        open(QString());
        setPictureSize(256);
        w->CmdConv_Click();
        const QByteArray result = ResultFileBytes(boxText(*w));
        QVERIFY(result.size() > 128 * 1024);
        services.saveReplies.enqueue(path);
        if (target != u"read-only")
            w->mnuSave_Click();
        else if (!runWithModes(
                     path, ReadOnly, folder.path(), ReadWrite | Enter, [&] { w->mnuSave_Click(); }))
            QSKIP("this user writes into read-only files anyway");

        QCOMPARE(entriesBelow(folder.path()), entries);
        if (saved) {
            QVERIFY(services.warnings.isEmpty());
            QCOMPARE(readAll(path), result);
            return;
        }
        QCOMPARE(services.warnings.size(), 1);
        QCOMPARE(services.warnings[0].first, u"保存失败"_qs);
        if (target != u"missing folder")
            QCOMPARE(readAll(path), previous);
    }
};

QTEST_MAIN(TestBadInputs)
#include "tst_badinputs.moc"
