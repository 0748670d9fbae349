#include "support/loadedwindow.h"
#include "support/scriptedservices.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/vbwidgets.h"

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

    // The title and the pointer say the window is busy while the text is made. The output
    // shows afterwards only with auto switch; the focus goes to it anyway.
    void busyStateAndAutoSwitch()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QString title;
        int pointer = -1;
        connect(w->TxtOut, &QPlainTextEdit::textChanged, this, [&] {
            title = w->windowTitle();
            pointer = w->MousePointer();
        });
        for (const bool autoSwitch : {false, true}) {
            w->mnuZDQH->setChecked(autoSwitch);
            w->TxtSrc->setFocus();
            w->CmdConv_Click();
            QCOMPARE(title, u"墨砾版字符拼合画 处理中……"_qs);
            QCOMPARE(pointer, 11);
            QCOMPARE(w->windowTitle(), u"墨砾版字符拼合画"_qs);
            QCOMPARE(w->MousePointer(), 0);
            QVERIFY(!QApplication::overrideCursor());
            QCOMPARE(w->mShowOutput, autoSwitch);
            QCOMPARE(w->Pic1->isHidden(), autoSwitch);
            QCOMPARE(QApplication::focusWidget(), w->TxtOut);
            title.clear();
        }
    }

    // The replies typed, one per prompt; an empty one is a cancel. Every reply is asked for, each
    // time offering the K in use; the slow entry alone is marked, even after a cancel. The other
    // entries ask nothing.
    void kPrompt_data()
    {
        QTest::addColumn<QString>("replies"); // split at "|"
        QTest::addColumn<int>("k");
        QTest::newRow("16 accepted") << u"16"_qs << 16;
        QTest::newRow("240 accepted") << u"240"_qs << 240;
        QTest::newRow("out of range before rounding, asked again") << u"15|241|15.9|100"_qs << 100;
        QTest::newRow("read the forgiving way") << u"&HA0"_qs << 160;
        QTest::newRow("letters only, then cancel") << u"abc|"_qs << 99;
        QTest::newRow("cancel at once") << QString() << 99;
    }

    void kPrompt()
    {
        QFETCH(QString, replies);
        QFETCH(int, k);
        w->mKValue = 99;
        services.inputReplies.append(replies.split(u'|'));
        const qsizetype asked = services.inputReplies.size();
        const auto marks = [&] {
            QString shown;
            for (const QAction* entry : w->mnuFS)
                shown += entry->isChecked() ? u'1' : u'0';
            return shown + u' ' + QString::number(w->mProcessMode);
        };
        w->mnuFS[2]->trigger();
        QCOMPARE(int(w->mKValue), k);
        QCOMPARE(marks(), u"001 2"_qs);
        QCOMPARE(w->mnuFS[2]->text(), u"较慢！(&3) K="_qs + QString::number(k));
        QCOMPARE(services.prompts.size(), asked);
        for (const ScriptedServices::Prompt& p : services.prompts)
            QCOMPARE(p.defaultText, u"99"_qs);
        w->mnuFS[1]->trigger();
        QCOMPARE(marks(), u"010 1"_qs);
        QCOMPARE(services.prompts.size(), asked);
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
                w->Lbl1->BackStyle(), w->Lbl2->BackStyle(), w->Lbl1->ForeColor(),
                w->Lbl2->ForeColor(), w->Lbl1->BackColor(), w->Lbl2->BackColor(),
                QApplication::focusWidget()->objectName()};
        };
        const auto preview = [&](const QColor& fill, const QString& focus) {
            return QList<QVariant> {false, 3, 1, 0, green, blue, fill, fill, focus};
        };
        const auto output = [&](const QString& focus) {
            return QList<QVariant> {true, 0, 0, 1, blue, green, red, red, focus};
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
