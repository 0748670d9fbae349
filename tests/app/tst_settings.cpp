#include "app/inifile.h"
#include "app/settingsrules.h"
#include "runtime/codepage.h"
#include "support/files.h"
#include "support/images.h"
#include "support/loadedwindow.h"
#include "window/openingbounds.h"
#include "window/ui/buttons.h"
#include "window/ui/picturebox.h"
#include "window/ui/textboxes.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

namespace {

// Each UTF-16 unit as it stands, an unpaired surrogate too.
QByteArray utf16(const QString& text, bool bigEndian = false)
{
    QByteArray bytes = bigEndian ? "\xfe\xff" : "\xff\xfe";
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xff);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    const QString path = dir.filePath(u"Tessarin.Ini"_qs);
    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    // A window started with a settings file of these bytes (none: no file at all).
    void start(const std::optional<QByteArray>& bytes)
    {
        w.reset();
        QFile::remove(path);
        if (bytes)
            QVERIFY(writeFile(path, *bytes));
        w = std::make_unique<FrmTessarin>(services);
        w->SetSettingsFiles({path, path, {}});
        w->Form_Load();
    }

private Q_SLOTS:
    void cleanup() { w.reset(); }

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

        // No value is its default, the bounds neither: only values read back save the same.
        start(ToAnsi(expected));
        w->move(w->pos() + QPoint(1, 0)); // then moved by a pixel, where no frame is known
        w->SaveSettings();
        QCOMPARE(FromAnsi(readAll(path)), QString(expected).replace(u"=1200"_qs, u"=1215"_qs));
    }

    // What a start leaves, from a settings file ("-": none): texts, fields, picture, font styles,
    // mode and K, tab, the marks of auto switch, lock and keep width, the trim and font boxes,
    // background, window state, font chosen. A stored background is saved again at close.
    void startUp_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no file") << u"-"_qs
                                 << u"墨|砾|\u3000|12 12 9|12x12|----|0 K=128|preview|100|00|"
                                    u"built-in|normal|宋体"_qs;
        QTest::newRow("maximized, underline, mode 1, a background that loads")
            << u"[窗体]\r\nWindowState=2\r\n[属性]\r\n图片宽=30\r\n下划线=1\r\n[设置]\r\n"
               u"处理方式=1\r\n亮度=100\r\n背景图片=TILE\r\n自动切换=False\r\n"
               u"删除右侧空格=2\r\n"_qs
            << u"墨|砾|\u3000|30 12 9|30x12|--U-|1 K=100|preview|000|20|TILE|maximized|宋体"_qs;
        QTest::newRow("minimized, bold and strikeout, a background gone")
            << u"[窗体]\r\nWindowState=1\r\n[属性]\r\n粗体=1\r\n删除线=1\r\n字号=20\r\n"
               u"[设置]\r\n背景图片=/no/such.bmp\r\n改变字体=1\r\n锁定输出文本框=abc\r\n"_qs
            << u"墨|砾|\u3000|12 12 20|12x12|B--S|0 K=128|preview|100|01|built-in|normal|宋体"_qs;
    }
    void startUp()
    {
        QFETCH(QString, settings);
        QFETCH(QString, expected);
        const QString tile = dir.filePath(u"tile.bmp"_qs);
        QVERIFY(painted({2, 2}, [](int, int) { return qRgb(255, 0, 0); }).save(tile));
        services.fonts = QStringList {u"A"_qs, u"宋体"_qs};
        start(settings == u"-" ? std::nullopt
                               : std::optional(ToAnsi(settings.replace(u"TILE"_qs, tile))));
        const QFont& font = w->Pic2->Font();
        QString marks, mode;
        for (const QAction* option : {w->mnuZDQH, w->mnuLock, w->mnuKeepWidth})
            marks += QString::number(option->isChecked());
        for (int i = 0; i < 3; ++i)
            mode += w->mnuFS[i]->isChecked() ? QString::number(i) : QString();
        const QStringList state {w->TxtSrc->Text(), w->TxtView1->Text(), w->TxtView2->Text(),
            QStringList {w->TxtMapWidth->text(), w->TxtMapHeight->text(), w->TxtHeight->text()}
                .join(u' '),
            u"%1x%2"_qs.arg(w->Pic2->Image().width()).arg(w->Pic2->Image().height()),
            styleMarks(font), mode + w->mnuFS[2]->text().mid(w->mnuFS[2]->text().indexOf(u' ')),
            w->mShowOutput ? u"output"_qs : u"preview"_qs, marks,
            QString::number(w->ChkDelRight->Value()) + QString::number(w->ChkTxtFont->Value()),
            w->Pic3->Image() == w->Pic4->Image() ? u"built-in"_qs : w->mBgMapFile,
            w->isMaximized() ? u"maximized"_qs : u"normal"_qs,
            w->ListFontName->currentItem() ? w->ListFontName->currentItem()->text() : QString()};
        QCOMPARE(state.join(u'|'), expected.replace(u"TILE"_qs, tile));
        QCOMPARE(w->TxtSrc->font().bold(), font.bold()); // the font box copies the styles
        w->close();
        QCOMPARE(w->CDlgOpen.FileName, w->mBgMapFile); // the dialog offers the background in use
        QCOMPARE(ReadSettingValues(readAll(path)).background, w->mBgMapFile);
    }

    // The file is written once, as a whole, as it stands at close: what it holds beyond the twenty
    // keys stays byte for byte, also what another program added while the window was open; a key
    // is set where it stands or after its section's last key, a missing section goes at the end.
    void oneDocumentKeepsForeignBytes()
    {
        const QByteArray junk = QByteArray::fromHex("ff813b815d");
        const QString rest = u"[外]\r\nLeft=7\r\n\r\n[属性]\r\n; note\r\n字号=20\r\n"_qs;
        start("; top\n" + junk
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
                      u"\r\n[窗体]\r\nTop=1\r\n[后]\r\nx=1\r\n[设置]\r\n删除右侧空格=0\r\n"
                      u"改变字体=0\r\n处理方式=0\r\n亮度=128\r\n背景图片=\r\n自动切换=True\r\n"
                      u"锁定输出文本框=False\r\n保持宽度=False\r\n"_qs));
    }

    // What a close leaves beside the program | in the user's folder after another program changed
    // the file beside the program meanwhile: "saved" (the window's values), "same" (as the other
    // program left it), "-" (nothing there).
    void savedAtClose_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("expected");
        QTest::newRow("removed") << u"removed"_qs << u"saved|-"_qs;
        QTest::newRow("its folder removed") << u"no folder"_qs << u"-|saved"_qs;
        QTest::newRow("grown over 16 MiB") << u"huge"_qs << u"same|saved"_qs;
        // Setting the twenty keys would make a file the next start refuses; so would the copy.
        QTest::newRow("16 MiB less 100 bytes") << u"full"_qs << u"same|-"_qs;
    }
    void savedAtClose()
    {
        QFETCH(QString, change);
        QTemporaryDir program, config;
        const QString beside = program.filePath(u"Tessarin.Ini"_qs);
        const QString user = JoinPath(config.filePath(u"Tessarin"_qs), u"Tessarin.Ini"_qs);
        QVERIFY(writeFile(beside, ToAnsi(u"[属性]\r\n字号=9\r\n"_qs)));
        w = std::make_unique<FrmTessarin>(services);
        w->SetSettingsFiles({beside, beside, user});
        w->Form_Load();
        w->TxtHeight->setText(u"20"_qs);

        QByteArray left = readAll(beside);
        if (change == u"huge" || change == u"full")
            left.append(
                QByteArray(MaxIniFileBytes - left.size() + (change == u"huge" ? 1 : -100), ';'));
        if (change == u"no folder")
            QVERIFY(program.remove());
        else if (change == u"removed")
            QVERIFY(QFile::remove(beside));
        else
            QVERIFY(writeFile(beside, left));
        w->close();

        const auto state = [&](const QString& file) {
            const QByteArray bytes = readAll(file);
            return bytes == "<unreadable>"              ? u"-"_qs
                : bytes == left                         ? u"same"_qs
                : bytes.contains(ToAnsi(u"字号=20"_qs)) ? u"saved"_qs
                                                        : u"wrong"_qs;
        };
        QTEST(state(beside) + u'|' + state(user), "expected");
    }

    // Closed maximized, the window keeps the normal bounds it was last moved to, and the state.
    void closedMaximized()
    {
        start(ToAnsi(u"[窗体]\r\nLeft=1500\r\nTop=1500\r\nWidth=6000\r\nHeight=4500\r\n"_qs));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTRY_COMPARE(w->frameGeometry().topLeft(), QPoint(100, 100));
        w->move(w->pos() + QPoint(30, 15));
        w->showMaximized();
        QTRY_VERIFY(w->isMaximized());
        w->close();
        const SettingValues saved = ReadSettingValues(readAll(path));
        QVERIFY(saved.maximized && saved.bounds == QRect(1950, 1725, 6000, 4500));
    }

    // Where the settings are read from | saved to ("-": nowhere). Each place holds a file of the
    // given bytes, none ("-"), or one over the size limit ("huge"); "no folder": the program's
    // folder is not there. Beside the program there may be a link instead: to a file of "[a]" in
    // another folder, one that may not be written ("read-only"), into a missing folder, or a loop.
    void settingsFiles_data()
    {
        QTest::addColumn<QString>("beside");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* beside, const char* user, const char* expected,
                             const char* name = nullptr) {
            QTest::newRow(name ? name : expected) << beside << user << expected;
        };
        row("-", "-", "-|beside");
        row("[a]", "[a]", "beside|beside");
        row("", "[a]", "user|beside"); // an empty file is no file
        row("no folder", "[a]", "user|user");
        row("huge", "huge", "-|-");
        row("link", "-", "beside|beside", "link to a file");
        row("link read-only", "-", "beside|user", "link into a read-only folder");
        row("link missing", "-", "-|user", "link into a missing folder");
        row("link loop", "-", "-|user", "link loop");
    }
    void settingsFiles()
    {
        QFETCH(QString, beside);
        QFETCH(QString, user);
        QTemporaryDir program, config, elsewhere;
        const QString dir = beside == u"no folder" ? program.filePath(u"none"_qs) : program.path();
        const QString besideFile = JoinPath(dir, u"Tessarin.Ini"_qs);
        const QString userFile = JoinPath(config.path(), u"Tessarin.Ini"_qs);
        const auto place = [](const QString& file, const QString& content) {
            if (content == u"huge")
                QVERIFY(writeFile(file, "[a]") && QFile::resize(file, 16 << 20 | 1));
            else if (content.isEmpty() || content.startsWith(u'['))
                QVERIFY(writeFile(file, content.toLatin1()));
        };
        if (beside.startsWith(u"link")) {
            const QString target = beside == u"link loop"
                ? besideFile
                : elsewhere.filePath(beside == u"link missing" ? u"none/a.ini"_qs : u"a.ini"_qs);
            if (beside == u"link" || beside == u"link read-only")
                place(target, u"[a]"_qs);
            if (beside == u"link read-only") {
                QVERIFY(
                    QFile::setPermissions(elsewhere.path(), QFile::ReadOwner | QFile::ExeOwner));
                if (QFileInfo(elsewhere.path()).isWritable())
                    QSKIP("this user writes into read-only folders anyway");
            }
            QVERIFY(QFile::link(target, besideFile));
        }
        place(besideFile, beside);
        place(userFile, user);
        const SettingsFiles files = FindSettingsFiles(dir, config.path());
        QFile::setPermissions(
            elsewhere.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const auto name = [&](const QString& file) {
            return file.isEmpty()    ? u"-"_qs
                : file == besideFile ? u"beside"_qs
                : file == userFile   ? u"user"_qs
                                     : file;
        };
        QTEST(name(files.read) + u'|' + name(files.save), "expected");
    }

    // A stored text as mode (its leading number) | K (a byte held to 16..240, else 128); a window
    // measure past 10^7 twips gives way to the default.
    void modeAndK()
    {
        QCOMPARE(ReadSettingValues(ToAnsi(u"[窗体]\r\nLeft=10000001\r\nWidth=-1e7"_qs)).bounds,
            QRect(0, 0, -10'000'000, 3600));
        QStringList shown;
        for (const QString& stored :
            {u"1.5"_qs, u"1abc"_qs, u"0"_qs, u"-1"_qs, u"250"_qs, u"300"_qs})
            shown << u"%1|%2"_qs.arg(ProcessModeSetting(stored)).arg(ThresholdSetting(stored));
        QCOMPARE(shown.join(u' '), u"2|16 1|128 0|16 0|128 0|240 0|128"_qs);
    }

    // Stored outer bounds against two screens, and where the window opens (fallback 320 x 240):
    // title bar reachable, 48 pixels of it on a screen, half its height on one, less than half,
    // wholly off to the right, just too small, smallest usable, larger than the second screen.
    void openingBounds()
    {
        const QList<QRect> screens {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
        for (const auto& [stored, expected] : std::initializer_list<std::pair<QRect, QRect>> {
                 {{1800, 100, 320, 240}, {1800, 100, 320, 240}},
                 {{3152, 100, 320, 240}, {3152, 100, 320, 240}},
                 {{100, -12, 320, 240}, {100, -12, 320, 240}},
                 {{100, -13, 320, 240}, {100, 0, 320, 240}},
                 {{5000, 100, 320, 240}, {1600, 100, 320, 240}},
                 {{100, 100, 159, 119}, {100, 100, 320, 240}},
                 {{100, 100, 160, 120}, {100, 100, 160, 120}},
                 {{2500, 50, 5000, 5000}, {1920, 0, 1280, 1024}}})
            QCOMPARE(OpeningBounds(stored, QSize(320, 240), screens), expected);
    }

    // Key k of section " s\t" read with the default "128" into a variable holding "previous".
    void readIni_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("count");

        const auto row = [](const char* name, const QByteArray& file, const QString& expected,
                             int count) { QTest::newRow(name) << file << expected << count; };
        const auto x = [](int n) { return QByteArray(n, 'x'); };
        const auto hex = [](const char* digits) { return QByteArray::fromHex(digits); };
        row("2 bytes across 254", "[s]\r\nk=" + x(253) + hex("d6d0"), x(253), 253);
        row("4 bytes ending at 254", "[s]\r\nk=" + x(250) + hex("9439fc36"), x(250) + "😀", 254);
        row("blanks around names and value", " [ s ]\r\n\t k \t=  1 a\t\r\n", "1 a", 3);
        row("one pair of quotes dropped", "[s]\r\nk= \"\"abc\"\" ", "\"abc\"", 5);
        row("empty quotes keep previous", "[s]\r\nk=''\r\n", "previous", 0);
        row("a NUL ends the value", QByteArray("[s]\r\nk=ab\0cd", 11), "ab", 2);
        row("an empty header ends the section", "[s]\r\n[]\r\nk=1\r\n", "128", 3);
        row("first of duplicates", "[s]\r\nk=1\r\nK=2\r\n[S]\r\nk=3\r\n", "1", 1);
    }
    void readIni()
    {
        QFETCH(QByteArray, file);
        QString value = QStringLiteral("previous");
        QTEST(ReadIni(file, u" s\t"_qs, u"k"_qs, value, u"128"_qs), "count");
        QTEST(value, "expected");
    }

    // The rules where Windows' own profile functions were the judge (under Wine, code page 936):
    // "字号" of "属性" as read with the default "128", then the file after "字号" is set to "文Ω𝄞"
    // (of three, two and four bytes in UTF-8) and "Left" of "窗体" to "1".
    void profileRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QByteArray>("written");
        const QString added = u"[窗体]\r\nLeft=1\r\n"_qs;
        QTest::newRow("header without ], key without =")
            << ToAnsi(u"[属性\r\n字号=40\r\n[属性]\r\n 字号 \r\n字号=5\r\n"_qs) << "128"
            << ToAnsi(u"[属性\r\n字号=40\r\n[属性]\r\n 字号=文Ω𝄞\r\n字号=5\r\n"_qs + added);
        QTest::newRow("UTF-16LE") << utf16(u"[属性]\r\n字号=中𝄞\r\n; \xd800\r\n"_qs) + 'x' << "中𝄞"
                                  << utf16(u"[属性]\r\n字号=文Ω𝄞\r\n; \xd800\r\n"_qs + added) + 'x';
        QTest::newRow("UTF-16BE") << utf16(u"[属性]\n字号=20"_qs, true) << "20"
                                  << utf16(u"[属性]\n字号=文Ω𝄞\r\n"_qs + added, true);
        const QByteArray mark = "\xef\xbb\xbf";
        QTest::newRow("UTF-8 with its mark, a section without keys")
            << mark + u"[窗体]\r\n[属性]\r\n字号=中\r\n"_qs.toUtf8() << "中"
            << mark + u"[窗体]\r\nLeft=1\r\n[属性]\r\n字号=文Ω𝄞\r\n"_qs.toUtf8();
    }
    void profileRules()
    {
        QFETCH(QByteArray, file);
        QString value = QStringLiteral("previous");
        ReadIni(file, u"属性"_qs, u"字号"_qs, value, u"128"_qs);
        QTEST(value, "read");
        QVERIFY(WriteIni(file, u"属性"_qs, u"字号"_qs, u"文Ω𝄞"_qs));
        QVERIFY(WriteIni(file, u"窗体"_qs, u"Left"_qs, u"1"_qs));
        // A value with a line break or a NUL would not read back: refused, the file left alone.
        QVERIFY(!WriteIni(file, u"窗体"_qs, u"Left"_qs, u"a\0b"_qs));
        QVERIFY(!WriteIni(file, u"窗体"_qs, u"Left"_qs, u"a\nb"_qs));
        QTEST(file, "written");
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"