#include "runtime/codepage.h"
#include "support/scriptedservices.h"
#include "support/testregistry.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/vbwidgets.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeGbk(const QString& path, const QString& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(ToAnsi(text));
}

QString readGbk(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? FromAnsi(file.readAll()) : QString();
}

} // namespace

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
        w.reset();
        QFile::remove(path);
        if (settings)
            writeGbk(path, *settings);
        w = std::make_unique<FrmTessarin>(services);
        w->SetSettingsPath(path);
        w->Form_Load();
    }

    QStringList slowCaptionAndChecks() const
    {
        return {w->mnuFS[2]->text(), QString::number(w->mnuFS[0]->isChecked()),
            QString::number(w->mnuFS[1]->isChecked()), QString::number(w->mnuFS[2]->isChecked())};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        path = dir.filePath(u"Tessarin.Ini"_qs);
    }
    void cleanup() { w.reset(); }

    void missingAndEmptyFilesGiveTheDesign_data()
    {
        QTest::addColumn<bool>("emptyFile");
        QTest::newRow("no file") << false;
        QTest::newRow("empty file") << true;
    }

    void missingAndEmptyFilesGiveTheDesign()
    {
        QFETCH(bool, emptyFile);
        start(emptyFile ? std::optional<QString>(QString()) : std::nullopt);
        QCOMPARE(w->mProcessMode, 0);
        QCOMPARE(int(w->mKValue), 128);
        QCOMPARE(slowCaptionAndChecks(),
            (QStringList {u"较慢！(&3) K=128"_qs, u"1"_qs, u"0"_qs, u"0"_qs}));
        QCOMPARE(w->Pic3->Picture(), w->Pic4->Picture());
        QVERIFY(w->mBgMapFile.isEmpty());
        QCOMPARE(w->size(), QSize(312, 213)); // the design's client area
        QCOMPARE(w->TxtMapWidth->text(), u"12"_qs);
        QVERIFY(w->mnuZDQH->isChecked());
        QVERIFY(!w->mnuLock->isChecked() && !w->mnuKeepWidth->isChecked());
    }

    void onlyTheOptionsSection()
    {
        start(u"[设置]\r\n处理方式=1\r\n"_qs);
        QCOMPARE(w->pos(), QPoint(0, 0));
        QCOMPARE(w->frameGeometry().size(), QSize(320, 240)); // 4800 x 3600 twips
        QCOMPARE(w->TxtMapWidth->text(), u"12"_qs);
        QCOMPARE(w->TxtMapHeight->text(), u"12"_qs);
        QCOMPARE(w->TxtHeight->text(), u"9"_qs);
        QCOMPARE(w->mProcessMode, 1);
    }

    void emptyValueReadsAsTheDefault()
    {
        start(u"[窗体]\r\nLeft=150\r\nWidth=\r\nHeight=6000\r\n"_qs);
        QCOMPARE(w->pos(), QPoint(10, 0));
        QCOMPARE(w->frameGeometry().size(), QSize(320, 400));
    }

    // The stored size is the outer one: once shown with a frame, the window's
    // outer size is what was stored, so a save and a load do not let it grow.
    void outerSizeSurvivesTheFrame()
    {
        start(u"[窗体]\r\nLeft=1500\r\nTop=1500\r\nWidth=6000\r\nHeight=4500\r\n"_qs);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTRY_COMPARE(w->frameGeometry().size(), QSize(400, 300));
        QVERIFY(w->frameGeometry().size() != w->size()); // there is a frame
        w->SaveSettings();
        QVERIFY(readGbk(path).contains(u"\r\nWidth=6000\r\nHeight=4500\r\n"_qs));
    }

    void windowState_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("2 opens maximized") << u"2"_qs << true;
        QTest::newRow("1 opens normal") << u"1"_qs << false;
        QTest::newRow("0 opens normal") << u"0"_qs << false;
    }

    void windowState()
    {
        QFETCH(QString, stored);
        QFETCH(bool, maximized);
        start(u"[窗体]\r\nWindowState="_qs + stored + u"\r\n"_qs);
        QCOMPARE(bool(w->windowState() & Qt::WindowMaximized), maximized);
        QVERIFY(!(w->windowState() & Qt::WindowMinimized));
    }

    void threshold_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("caption");
        QTest::newRow("5") << u"5"_qs << u"较慢！(&3) K=16"_qs;
        QTest::newRow("250") << u"250"_qs << u"较慢！(&3) K=240"_qs;
        QTest::newRow("16") << u"16"_qs << u"较慢！(&3) K=16"_qs;
        QTest::newRow("240") << u"240"_qs << u"较慢！(&3) K=240"_qs;
        QTest::newRow("not a number") << u"bright"_qs << u"较慢！(&3) K=128"_qs;
    }

    void threshold()
    {
        QFETCH(QString, stored);
        QFETCH(QString, caption);
        start(u"[设置]\r\n处理方式=2\r\n亮度="_qs + stored + u"\r\n"_qs);
        QCOMPARE(w->mnuFS[2]->text(), caption);
        QCOMPARE(w->mnuFS[2]->text(), u"较慢！(&3) K="_qs + QString::number(w->mKValue));
        QVERIFY(w->mnuFS[2]->isChecked());
    }

    void fieldsAreNormalizedAndSavedAsTyped()
    {
        start(u"[属性]\r\n图片宽=abc\r\n图片高=12.50\r\n字号=1e1\r\n"_qs);
        QCOMPARE(w->TxtMapWidth->text(), u"0"_qs);
        QCOMPARE(w->TxtMapHeight->text(), u"12.5"_qs);
        QCOMPARE(w->TxtHeight->text(), u"10"_qs);
        QCOMPARE(w->Pic2->ScaleWidth(), 12); // 0 is refused
        QCOMPARE(w->Pic2->Font().pointSize(), 10);
        w->TxtMapWidth->setText(u"2000"_qs);
        w->SaveSettings();
        const QString saved = readGbk(path);
        QVERIFY(saved.contains(u"\r\n图片宽=2000\r\n"_qs));
        QVERIFY(saved.contains(u"\r\n图片高=12.5\r\n"_qs));
    }

    void checkBoxesAndOptions()
    {
        start(
            u"[属性]\r\n粗体=1\r\n斜体=2\r\n下划线=7\r\n[设置]\r\n删除右侧空格=1\r\n改变字体=1\r\n"
            u"自动切换=False\r\n锁定输出文本框=True\r\n保持宽度=-1\r\n"_qs);
        QCOMPARE(w->ChkB->Value(), 1);
        QCOMPARE(w->ChkI->Value(), 2);
        QCOMPARE(w->ChkU->Value(), 0); // unreadable: the default
        QVERIFY(w->Pic2->Font().bold() && w->Pic2->Font().italic());
        QCOMPARE(w->ChkDelRight->Value(), 1);
        QVERIFY(w->mChangeFont);
        QVERIFY(w->TxtSrc->font().bold()); // the preview font carried over at once
        QVERIFY(!w->mnuZDQH->isChecked());
        QVERIFY(w->mnuLock->isChecked());
        QVERIFY(w->TxtOut->isReadOnly());
        QVERIFY(w->mnuKeepWidth->isChecked());
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
        start(readGbk(path));
        QVERIFY(w->mBgMapFile.isEmpty());
        QCOMPARE(w->Pic3->Picture(), w->Pic4->Picture());
        w->SaveSettings();
        QVERIFY(readGbk(path).contains(u"\r\n背景图片=\r\n"_qs));
    }

    void fixedTextsWhateverTheFile()
    {
        start(u"[属性]\r\n源字符=abc\r\n"_qs);
        QCOMPARE(w->TxtSrc->Text(), u"墨"_qs);
        QCOMPARE(w->TxtView1->Text(), u"砾"_qs);
        QCOMPARE(w->TxtView2->Text(), u"\u3000"_qs);
    }

    void savedFileInOrder()
    {
        start(std::nullopt);
        w->setGeometry(80, 60, 400, 300);
        w->ChkB->SetValue(1);
        w->ChkDelRight->SetValue(1);
        services.inputReplies.enqueue(u"99"_qs);
        w->mnuFS_Click(2);
        w->mnuZDQH_Click();
        w->mnuKeepWidth_Click();
        w->close(); // closing writes the settings
        const QString expected
            = u"[窗体]\r\nLeft=1200\r\nTop=900\r\nWidth=6000\r\nHeight=4500\r\n"
              u"WindowState=0\r\n[属性]\r\n图片宽=12\r\n图片高=12\r\n字号=9\r\n"
              u"粗体=1\r\n斜体=0\r\n下划线=0\r\n删除线=0\r\n[设置]\r\n删除右侧空格=1\r\n"
              u"改变字体=0\r\n处理方式=2\r\n亮度=99\r\n背景图片=\r\n自动切换=False\r\n"
              u"锁定输出文本框=False\r\n保持宽度=True\r\n"_qs;
        QCOMPARE(readGbk(path), expected);
    }

    void roundTrip()
    {
        start(std::nullopt);
        w->setGeometry(45, 30, 500, 350);
        w->TxtMapWidth->setText(u"40"_qs);
        w->TxtMapHeight->setText(u"30"_qs);
        w->TxtHeight->setText(u"20"_qs);
        w->ChkI->SetValue(1);
        w->ChkD->SetValue(1);
        w->ChkTxtFont->SetValue(1);
        w->mnuFS_Click(1);
        w->mnuLock_Click();
        w->SaveSettings();
        const QString first = readGbk(path);
        start(first);
        QCOMPARE(w->geometry(), QRect(45, 30, 500, 350));
        QCOMPARE(w->Pic2->ScaleWidth(), 40);
        QCOMPARE(w->Pic2->ScaleHeight(), 30);
        QCOMPARE(w->Pic2->Font().pointSize(), 20);
        QVERIFY(w->Pic2->Font().italic() && w->Pic2->Font().strikeOut());
        QVERIFY(w->mChangeFont);
        QCOMPARE(w->mProcessMode, 1);
        QVERIFY(w->mnuLock->isChecked());
        w->SaveSettings();
        QCOMPARE(readGbk(path), first);
    }

    void closingMaximizedStoresNormalBounds()
    {
        start(std::nullopt);
        w->setGeometry(30, 45, 400, 300);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QRect normal = w->frameGeometry(); // outer bounds, frame included
        w->showMaximized();
        QTRY_VERIFY(w->isMaximized());
        QTRY_VERIFY(w->frameGeometry() != normal);
        w->close();
        const QString bounds
            = u"[窗体]\r\nLeft=%1\r\nTop=%2\r\nWidth=%3\r\nHeight=%4\r\nWindowState=2\r\n"_qs
                  .arg(normal.x() * 15)
                  .arg(normal.y() * 15)
                  .arg(normal.width() * 15)
                  .arg(normal.height() * 15);
        const QString saved = readGbk(path);
        QVERIFY2(saved.startsWith(bounds), qPrintable(saved));
    }

    void unwritableFileIsPassedOverSilently()
    {
        start(std::nullopt);
        w->SetSettingsPath(dir.filePath(u"no/such/folder/and/a/file/Tessarin.Ini"_qs));
        w->SetSettingsPath(u"/proc/version/Tessarin.Ini"_qs);
        w->close();
        QVERIFY(services.warnings.isEmpty());
    }
};

TESSARIN_TEST(TestSettings)
#include "tst_settings.moc"
