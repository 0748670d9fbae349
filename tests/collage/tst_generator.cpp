#include "support/loadedwindow.h"
#include "support/scriptedservices.h"
#include "window/buttons.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/scrollbar.h"
#include "window/textboxes.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>

class TestGenerator : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

private Q_SLOTS:
    void init() { w = LoadedWindow(services); }
    void cleanup() { w.reset(); }

    // Each pixel of the preview as the output shows it: the display string where
    // the pixel is dark, the space string where it is light.
    void outputFollowsThePreview()
    {
        w->CmdConv_Click();
        const QImage& preview = w->Pic2->Image();
        QString expected;
        for (int y = 0; y < 12; ++y) {
            expected += u'\n';
            for (int x = 0; x < 12; ++x) {
                const QRgb p = preview.pixel(x, y);
                expected
                    += qRed(p) >= 128 && qGreen(p) >= 128 && qBlue(p) >= 128 ? u'\u3000' : u'砾';
            }
        }
        QCOMPARE(w->TxtOut->toPlainText(), expected);
        QVERIFY(expected.contains(u'砾'));
    }

    // The title and the pointer say the window is busy while the text is made. The output
    // shows afterwards only with auto switch; the focus goes to it anyway.
    void busyStateAndAutoSwitch()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QString title;
        Qt::CursorShape pointer = Qt::ArrowCursor;
        connect(w->TxtOut, &QPlainTextEdit::textChanged, this, [&] {
            title = w->windowTitle();
            pointer = w->MousePointer();
        });
        for (const bool autoSwitch : {false, true}) {
            w->mnuZDQH->setChecked(autoSwitch);
            w->TxtSrc->setFocus();
            w->CmdConv_Click();
            QCOMPARE(title, u"墨砾版字符拼合画 处理中……"_qs);
            QCOMPARE(pointer, Qt::WaitCursor);
            QCOMPARE(w->windowTitle(), u"墨砾版字符拼合画"_qs);
            QCOMPARE(w->MousePointer(), Qt::ArrowCursor);
            QVERIFY(!QApplication::overrideCursor());
            QCOMPARE(w->mShowOutput, autoSwitch);
            QCOMPARE(w->Pic1->isHidden(), autoSwitch);
            QCOMPARE(QApplication::focusWidget(), w->TxtOut);
            title.clear();
        }
    }

    // The replies typed, one per prompt; an empty one is a cancel. Every reply is asked for.
    void kPrompt_data()
    {
        QTest::addColumn<QString>("replies"); // split at "|"
        QTest::addColumn<int>("k");
        QTest::newRow("16 accepted") << u"16"_qs << 16;
        QTest::newRow("240 accepted") << u"240"_qs << 240;
        QTest::newRow("out of range, asked again") << u"15|241|15.9|100"_qs << 100;
        QTest::newRow("100.5 rounds to even") << u"100.5"_qs << 100;
        QTest::newRow("101.5 rounds to even") << u"101.5"_qs << 102;
        QTest::newRow("239.5 rounds up to 240") << u"239.5"_qs << 240;
        QTest::newRow("trailing letters") << u"60abc"_qs << 60;
        QTest::newRow("blanks between digits") << u" 2 0 0 "_qs << 200;
        QTest::newRow("hexadecimal") << u"&HA0"_qs << 160;
        QTest::newRow("letters only, then cancel") << u"abc|"_qs << 128;
        QTest::newRow("cancel at once") << QString() << 128;
        QTest::newRow("beyond 32 bits, then cancel") << u"9e9|"_qs << 128;
    }

    void kPrompt()
    {
        QFETCH(QString, replies);
        QFETCH(int, k);
        for (const QString& reply : replies.split(u'|'))
            services.inputReplies.enqueue(reply);
        const qsizetype asked = services.inputReplies.size();
        w->mnuFS_Click(2);
        QCOMPARE(int(w->mKValue), k);
        QCOMPARE(services.prompts.size(), asked);
        for (const ScriptedServices::Prompt& p : services.prompts) {
            QCOMPARE(p.prompt, u"范围：16 ~ 240"_qs);
            QCOMPARE(p.title, u"请输入K值："_qs);
            QCOMPARE(p.defaultText, u"128"_qs); // the unchanged K, every time
        }
        QCOMPARE(w->mProcessMode, ProcessMode::Slow); // even after a cancel
        QCOMPARE(w->mnuFS[2]->text(), u"较慢！(&3) K="_qs + QString::number(k));
    }

    // Choosing an entry marks it alone; choosing the slow one asks for K each time, offering
    // the K in use.
    void modeCheckMarks()
    {
        const auto modes = [&] { // the marks, the mode, K
            QString marks;
            for (const QAction* entry : w->mnuFS)
                marks += entry->isChecked() ? u'1' : u'0';
            return u"%1 %2 %3"_qs.arg(marks).arg(int(w->mProcessMode)).arg(w->mKValue);
        };
        services.inputReplies << u"77"_qs << u"90"_qs;
        w->mnuFS[2]->trigger();
        QCOMPARE(modes(), u"001 2 77"_qs);
        w->mnuFS[2]->trigger();
        QCOMPARE(modes(), u"001 2 90"_qs);
        QCOMPARE(services.prompts.size(), 2);
        QCOMPARE(services.prompts[1].defaultText, u"77"_qs);
        w->mnuFS[1]->trigger();
        QCOMPARE(modes(), u"010 1 90"_qs);
        w->mnuFS[0]->trigger();
        QCOMPARE(modes(), u"100 0 90"_qs);
        QCOMPARE(services.prompts.size(), 2);
        QCOMPARE(w->mnuFS[2]->text(), u"较慢！(&3) K=90"_qs);
    }

    // Every option reaches the generator. The background's one colour, grey level 178, is dark
    // only in the fastest mode, and in the slow one at K 179.
    void optionsReachTheText()
    {
        w->Pic2->SetInnerSize(3, 1);
        w->TxtSrc->SetText(QString());
        QImage tile(1, 1, QImage::Format_RGB32);
        tile.fill(qRgb(127, 200, 200));
        w->Pic3->SetPicture(tile);
        w->RenderPreview();
        w->TxtView1->SetText(u"#"_qs);
        w->TxtView2->SetText(u" "_qs);
        const auto generated = [&] {
            w->CmdConv_Click();
            return w->TxtOut->toPlainText();
        };
        QCOMPARE(generated(), u"\n###"_qs);
        w->mnuFS_Click(1);
        QCOMPARE(generated(), u"\n   "_qs);
        services.inputReplies.enqueue(u"179"_qs);
        w->mnuFS_Click(2);
        QCOMPARE(generated(), u"\n###"_qs);
        w->mnuFS_Click(1);
        w->ChkDelRight->SetValue(2); // greyed counts as on
        w->mnuKeepWidth->setChecked(true);
        QCOMPARE(generated(), u"\n\n\n"_qs); // a ruler of no width, one trimmed row
        w->ChkDelRight->SetValue(0);
        QCOMPARE(generated(), u"\nTTT\n\n   "_qs);
    }

    // Only the active tab is filled; a click on the tab already active changes nothing, not
    // even the focus.
    void switchingTabs()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        // Until a tab is chosen, the labels keep the window's button colour.
        const QColor design = w->palette().color(QPalette::Button), red(255, 192, 192),
                     green(0, 128, 0), blue(0, 0, 128);
        // The tab shown, the preview's controls visible, each label's fill style, text and fill
        // colours, the focus.
        const auto tabs = [&] {
            return QList<QVariant> {w->mShowOutput,
                w->Pic1->isVisible() + w->HSBar1->isVisible() + w->VSBar1->isVisible(),
                w->Lbl1->autoFillBackground(), w->Lbl2->autoFillBackground(), w->Lbl1->ForeColor(),
                w->Lbl2->ForeColor(), w->Lbl1->BackColor(), w->Lbl2->BackColor(),
                QApplication::focusWidget()->objectName()};
        };
        const auto preview = [&](const QColor& fill, const QString& focus) {
            return QList<QVariant> {false, 3, true, false, green, blue, fill, fill, focus};
        };
        const auto output = [&](const QString& focus) {
            return QList<QVariant> {true, 0, false, true, blue, green, red, red, focus};
        };
        w->TxtSrc->setFocus();
        w->Lbl1_Click();
        QCOMPARE(tabs(), preview(design, u"TxtSrc"_qs));
        w->Lbl2_Click();
        QCOMPARE(tabs(), output(u"TxtOut"_qs));
        w->TxtSrc->setFocus();
        w->Lbl2_Click();
        QCOMPARE(tabs(), output(u"TxtSrc"_qs));
        QTest::mouseClick(w->Lbl1, Qt::LeftButton);
        QCOMPARE(tabs(), preview(red, u"TxtSrc"_qs));
    }
};

QTEST_MAIN(TestGenerator)
#include "tst_generator.moc"
