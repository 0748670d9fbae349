#include "runtime/codepage.h"
#include "support/files.h"
#include "support/scriptedservices.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/buttons.h"
#include "window/textboxes.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using testsupport::readAll;

class TestSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path;
    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    // A window started with the given settings file text (none: no file at all).
    void start(const std::optional<QString>& settings)
    {
        startWith(settings ? std::optional<QByteArray>(ToAnsi(*settings)) : std::nullopt);
    }
    void startWith(const std::optional<QByteArray>& bytes)
    {
        w.reset();
        QFile::remove(path);
        if (bytes)
            QVERIFY(testsupport::writeFile(path, *bytes));
        w = std::make_unique<FrmTessarin>(services);
        w->SetSettingsFiles({path, path});
        w->Form_Load();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        path = dir.filePath(u"Tessarin.Ini"_qs);
    }
    void cleanup() { w.reset(); }

    // What the window starts with. Keys that are missing or empty give their defaults; a file
    // that is missing or empty gives the design instead. Bounds are outer bounds in twips.
    void startUp_data()
    {
        QTest::addColumn<QString>("settings"); // null: no file at all
        QTest::addColumn<QRect>("bounds"); // pixels; null: maximized
        QTest::addColumn<QString>("marks"); // the modes' check marks
        QTest::addColumn<int>("k");
        const auto row = [](const char* name, const QString& settings, const QString& marks, int k,
                             QRect bounds = {0, 0, 320, 240}) {
            QTest::newRow(name) << settings << bounds << marks << k;
        };
        row("no file", QString(), u"100"_qs, 128, {0, 0, 312, 213});
        row("0-byte file", u""_qs, u"100"_qs, 128, {0, 0, 312, 213});
        row("only the options section", u"[设置]\r\n处理方式=1\r\n"_qs, u"010"_qs, 128);
        row("empty width reads as 4800", u"[窗体]\r\nLeft=150\r\nWidth=\r\nHeight=6000\r\n"_qs,
            u"100"_qs, 128, {10, 0, 320, 400});
        row("WindowState 2 opens maximized", u"[窗体]\r\nWindowState=2\r\n"_qs, u"100"_qs, 128, {});
        row("WindowState 1 opens normal", u"[窗体]\r\nWindowState=1\r\n"_qs, u"100"_qs, 128);
        row("mode 3 is no mode: the first", u"[设置]\r\n处理方式=3\r\n"_qs, u"100"_qs, 128);
        const QString slow = u"[设置]\r\n处理方式=2\r\n亮度="_qs;
        row("K 5", slow + u"5"_qs, u"001"_qs, 16);
        row("K 250", slow + u"250"_qs, u"001"_qs, 240);
        row("K 16", slow + u"16"_qs, u"001"_qs, 16);
        row("K 240", slow + u"240"_qs, u"001"_qs, 240);
        row("K not a number", slow + u"bright"_qs, u"001"_qs, 128);
        // The offscreen screen is 800 x 600.
        row("sizes too small give the default", u"[窗体]\r\nWidth=15\r\nHeight=-1\r\n"_qs,
            u"100"_qs, 128);
        row("a size beyond the screen is cut to it",
            u"[窗体]\r\nLeft=1500\r\nTop=1500\r\nWidth=9999999\r\nHeight=abc\r\n"_qs, u"100"_qs,
            128, {0, 100, 800, 240});
    }

    void startUp()
    {
        QFETCH(QString, settings);
        QFETCH(QRect, bounds);
        QFETCH(QString, marks);
        QFETCH(int, k);
        start(settings.isNull() ? std::nullopt : std::optional<QString>(settings));
        QCOMPARE(w->windowState(), bounds.isNull() ? Qt::WindowMaximized : Qt::WindowNoState);
        if (!bounds.isNull())
            QCOMPARE(w->frameGeometry(), bounds);
        QString shownMarks;
        for (const QAction* mode : w->mnuFS)
            shownMarks += mode->isChecked() ? u'1' : u'0';
        QCOMPARE(shownMarks, marks);
        QCOMPARE(int(w->mProcessMode), int(marks.indexOf(u'1')));
        QCOMPARE(int(w->mKValue), k);
        QCOMPARE(w->mnuFS[2]->text(), u"较慢！(&3) K="_qs + QString::number(k));
        QCOMPARE(
            w->TxtMapWidth->text() + w->TxtMapHeight->text() + w->TxtHeight->text(), u"12129"_qs);
        QCOMPARE(w->Pic3->Picture(), w->Pic4->Picture());
        QVERIFY(w->mBgMapFile.isEmpty());
        QVERIFY(w->mnuZDQH->isChecked() && !w->mnuLock->isChecked());
        QVERIFY(!w->mnuKeepWidth->isChecked());
    }

    // Fields read their leading number and are saved as they then read, or as typed, even
    // where the value is refused; the fixed texts are not read at all.
    void fieldsAreNormalizedAndSavedAsTyped()
    {
        start(u"[属性]\r\n图片宽=abc\r\n图片高=12.50\r\n字号=1e1\r\n源字符=abc\r\n"_qs);
        QCOMPARE(w->TxtMapWidth->text(), u"0"_qs);
        QCOMPARE(w->TxtMapHeight->text(), u"12.5"_qs);
        QCOMPARE(w->TxtHeight->text(), u"10"_qs);
        QCOMPARE(w->Pic2->ScaleWidth(), 12); // 0 is refused
        QCOMPARE(w->Pic2->Font().pointSize(), 10);
        QCOMPARE(w->TxtSrc->Text() + w->TxtView1->Text() + w->TxtView2->Text(), u"墨砾\u3000"_qs);
        w->TxtMapWidth->setText(u"2000"_qs);
        w->SaveSettings();
        QVERIFY(
            FromAnsi(readAll(path)).contains(u"\r\n图片宽=2000\r\n图片高=12.5\r\n字号=10\r\n"_qs));
    }

    void backgroundPicture()
    {
        const QString picture = dir.filePath(u"背景.bmp"_qs);
        QImage dark(20, 10, QImage::Format_RGB32);
        dark.fill(qRgb(10, 10, 10));
        QVERIFY(dark.save(picture, "BMP"));
        start(u"[设置]\r\n背景图片="_qs + picture + u"\r\n"_qs);
        QCOMPARE(w->mBgMapFile, picture);
        QCOMPARE(w->CDlgOpen.FileName, picture); // survives the dialog's configuration
        QCOMPARE(w->Pic3->ScaleWidth(), 20);

        QVERIFY(QFile::remove(picture));
        w->SaveSettings();
        start(FromAnsi(readAll(path)));
        QVERIFY(w->mBgMapFile.isEmpty());
        QCOMPARE(w->Pic3->Picture(), w->Pic4->Picture());
        w->SaveSettings();
        QVERIFY(FromAnsi(readAll(path)).contains(u"\r\n背景图片=\r\n"_qs));
    }

    // Every key is written in order, read back, and written again the same.
    void roundTripOfEveryKey()
    {
        start(std::nullopt);
        w->setGeometry(80, 60, 400, 300);
        w->TxtMapWidth->setText(u"40"_qs);
        w->TxtMapHeight->setText(u"30"_qs);
        w->TxtHeight->setText(u"20"_qs);
        for (CheckBox* box : {w->ChkB, w->ChkU, w->ChkD, w->ChkDelRight, w->ChkTxtFont})
            box->SetValue(1);
        w->ChkI->SetValue(2);
        services.inputReplies.enqueue(u"99"_qs);
        w->mnuFS_Click(2);
        w->mnuZDQH_Click();
        w->mnuLock_Click();
        w->mnuKeepWidth_Click();
        w->close(); // closing writes the settings
        const QString expected
            = u"[窗体]\r\nLeft=1200\r\nTop=900\r\nWidth=6000\r\nHeight=4500\r\n"
              u"WindowState=0\r\n[属性]\r\n图片宽=40\r\n图片高=30\r\n字号=20\r\n"
              u"粗体=1\r\n斜体=2\r\n下划线=1\r\n删除线=1\r\n[设置]\r\n删除右侧空格=1\r\n"
              u"改变字体=1\r\n处理方式=2\r\n亮度=99\r\n背景图片=\r\n自动切换=False\r\n"
              u"锁定输出文本框=True\r\n保持宽度=True\r\n"_qs;
        QCOMPARE(FromAnsi(readAll(path)), expected);

        start(expected);
        QCOMPARE(w->geometry(), QRect(80, 60, 400, 300));
        QCOMPARE(w->Pic2->Image().size(), QSize(40, 30));
        const QFont& font = w->Pic2->Font();
        QVERIFY(font.pointSize() == 20 && font.bold() && font.italic() && font.strikeOut());
        QVERIFY(w->TxtSrc->font().bold()); // carried over at once
        QVERIFY(w->TxtOut->isReadOnly());
        QCOMPARE(w->mnuFS[2]->text(), u"较慢！(&3) K=99"_qs);
        // Every value differs from its default, so only values read back save the same.
        w->SaveSettings();
        QCOMPARE(FromAnsi(readAll(path)), expected);
    }

    // The file is read once and written once, as a whole: what it holds beyond the twenty keys
    // stays byte for byte, a key is set where it stands or after its section's last key, a missing
    // section goes at the end, and what changed in the file while the window was open is gone.
    void oneDocumentKeepsForeignBytes()
    {
        const QByteArray junk = QByteArray::fromHex("ff813b815d");
        const QString rest = u"[外]\r\nLeft=7\r\n\r\n[属性]\r\n; note\r\n字号=20\r\n"_qs;
        startWith("; top\n" + junk
            + ToAnsi(u"\r\n[窗体]\r\nwidth=6000\r\n"_qs + rest + u"\r\n[窗体]\r\nTop=1\r\n"_qs));
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append) && file.write(ToAnsi(u"[后]\r\nx=1\r\n"_qs)) > 0);
        file.close();
        w->close();
        QCOMPARE(readAll(path),
            "; top\n" + junk
                + ToAnsi(u"\r\n[窗体]\r\nwidth=6000\r\nLeft=0\r\nTop=0\r\nHeight=3600\r\n"
                         u"WindowState=0\r\n"_qs
                    + rest
                    + u"图片宽=12\r\n图片高=12\r\n粗体=0\r\n斜体=0\r\n下划线=0\r\n删除线=0\r\n"
                      u"\r\n[窗体]\r\nTop=1\r\n[设置]\r\n删除右侧空格=0\r\n改变字体=0\r\n"
                      u"处理方式=0\r\n亮度=128\r\n背景图片=\r\n自动切换=True\r\n"
                      u"锁定输出文本框=False\r\n保持宽度=False\r\n"_qs));
    }

    // The stored bounds are the outer ones: once shown with a frame, the window's outer size is
    // what was stored, so a save and a load do not let it grow. Closed maximized, it stores the
    // bounds it had before.
    void outerBoundsSurviveFrameAndMaximizing()
    {
        start(u"[窗体]\r\nLeft=1500\r\nTop=1500\r\nWidth=6000\r\nHeight=4500\r\n"_qs);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTRY_COMPARE(w->frameGeometry().size(), QSize(400, 300));
        QVERIFY(w->frameGeometry().size() != w->size()); // there is a frame
        const QRect normal = w->frameGeometry();
        w->showMaximized();
        QTRY_VERIFY(w->isMaximized());
        QTRY_VERIFY(w->frameGeometry() != normal);
        w->close();
        const QString saved = FromAnsi(readAll(path));
        QVERIFY2(saved.startsWith(u"[窗体]\r\nLeft=%1\r\nTop=%2\r\nWidth=6000\r\nHeight=4500\r\n"
                                  u"WindowState=2\r\n"_qs.arg(normal.x() * 15)
                                      .arg(normal.y() * 15)),
            qPrintable(saved));
    }

    void unwritableFileIsPassedOverSilently()
    {
        start(std::nullopt);
        w->SetSettingsFiles({QString(), u"/proc/version/Tessarin.Ini"_qs});
        w->close();
        QVERIFY(services.warnings.isEmpty());
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"