#include "support/scriptedservices.h"
#include "support/testregistry.h"
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

    void showWindow()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }

private Q_SLOTS:
    void init()
    {
        services = ScriptedServices();
        w = std::make_unique<FrmTessarin>(services);
        w->Form_Load();
        w->mKValue = 128;
    }
    void cleanup() { w.reset(); }

    // Each pixel of the preview as the output shows it: the display string where
    // the pixel is dark, the space string where it is light.
    void outputFollowsThePreview()
    {
        w->CmdConv_Click();
        const QStringList lines = w->TxtOut->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 13);
        QVERIFY(lines[0].isEmpty());
        const QImage& preview = w->Pic2->Image();
        int dark = 0;
        for (int y = 0; y < 12; ++y) {
            QCOMPARE(lines[y + 1].size(), 12);
            for (int x = 0; x < 12; ++x) {
                const QRgb p = preview.pixel(x, y);
                const bool light = qRed(p) >= 128 && qGreen(p) >= 128 && qBlue(p) >= 128;
                QCOMPARE(lines[y + 1][x], light ? QChar(0x3000) : u'砾');
                dark += !light;
            }
        }
        QVERIFY(dark > 0);
    }

    void busyStateWhileGenerating()
    {
        QString title;
        int pointer = -1;
        connect(w->TxtOut, &QPlainTextEdit::textChanged, this, [&] {
            title = w->windowTitle();
            pointer = w->MousePointer();
        });
        w->CmdConv_Click();
        QCOMPARE(title, u"墨砾版字符拼合画 处理中……"_qs);
        QCOMPARE(pointer, 11);
        QCOMPARE(w->windowTitle(), u"墨砾版字符拼合画"_qs);
        QCOMPARE(w->MousePointer(), 0);
        QVERIFY(!QApplication::overrideCursor());
    }

    void optionsReachTheText()
    {
        w->Pic2->SetInnerSize(3, 1);
        w->TxtSrc->SetText(QString());
        w->RenderPreview();
        w->TxtView2->SetText(u" "_qs);
        w->ChkDelRight->SetValue(2); // greyed counts as on
        w->mnuKeepWidth->setChecked(true);
        w->CmdConv_Click();
        QCOMPARE(w->TxtOut->toPlainText(), u"\n\n\n"_qs); // ruler of no width, one trimmed row
        w->ChkDelRight->SetValue(0);
        w->CmdConv_Click();
        QCOMPARE(w->TxtOut->toPlainText(), u"\nTTT\n\n   "_qs);
    }

    void tooLargeAPictureIsRefusedAndSaidSo()
    {
        w->TxtOut->setPlainText(u"earlier"_qs);
        w->Pic2->SetInnerSize(1024, 1024);
        w->TxtView1->SetText(QString(10000, u'墨'));
        w->CmdConv_Click();
        QCOMPARE(services.warnings.size(), 1);
        QCOMPARE(services.warnings[0].first, u"生成失败"_qs);
        QCOMPARE(w->TxtOut->toPlainText(), u"earlier"_qs);
        QCOMPARE(w->windowTitle(), u"墨砾版字符拼合画"_qs);
        QVERIFY(!w->mShowOutput);
    }

    void autoSwitchShowsTheOutput()
    {
        showWindow();
        QVERIFY(w->mnuZDQH->isChecked());
        w->CmdConv_Click();
        QVERIFY(w->mShowOutput);
        QVERIFY(w->Pic1->isHidden());
        QCOMPARE(QApplication::focusWidget(), w->TxtOut);
    }

    void withoutAutoSwitchTheTabStays()
    {
        showWindow();
        w->mnuZDQH->setChecked(false);
        w->TxtSrc->setFocus();
        w->CmdConv_Click();
        QVERIFY(!w->mShowOutput);
        QVERIFY(w->Pic1->isVisible());
        QCOMPARE(QApplication::focusWidget(), w->TxtOut);
    }

    void kPrompt_data()
    {
        QTest::addColumn<QStringList>("replies");
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("asked");
        QTest::newRow("16 accepted") << QStringList {u"16"_qs} << 16 << 1;
        QTest::newRow("240 accepted") << QStringList {u"240"_qs} << 240 << 1;
        QTest::newRow("out of range, asked again")
            << QStringList {u"15"_qs, u"241"_qs, u"15.9"_qs, u"100"_qs} << 100 << 4;
        QTest::newRow("100.5 rounds to even") << QStringList {u"100.5"_qs} << 100 << 1;
        QTest::newRow("101.5 rounds to even") << QStringList {u"101.5"_qs} << 102 << 1;
        QTest::newRow("239.5 rounds up to 240") << QStringList {u"239.5"_qs} << 240 << 1;
        QTest::newRow("trailing letters") << QStringList {u"60abc"_qs} << 60 << 1;
        QTest::newRow("blanks between digits") << QStringList {u" 2 0 0 "_qs} << 200 << 1;
        QTest::newRow("hexadecimal") << QStringList {u"&HA0"_qs} << 160 << 1;
        QTest::newRow("letters only, then cancel")
            << QStringList {u"abc"_qs, QString()} << 128 << 2;
        QTest::newRow("cancel at once") << QStringList {QString()} << 128 << 1;
        QTest::newRow("beyond 32 bits") << QStringList {u"9e9"_qs, QString()} << 128 << 2;
    }

    void kPrompt()
    {
        QFETCH(QStringList, replies);
        QFETCH(int, k);
        QFETCH(int, asked);
        for (const QString& reply : replies)
            services.inputReplies.enqueue(reply);
        w->mnuFS_Click(2);
        QCOMPARE(int(w->mKValue), k);
        QCOMPARE(services.prompts.size(), asked);
        for (const ScriptedServices::Prompt& p : services.prompts) {
            QCOMPARE(p.prompt, u"范围：16 ~ 240"_qs);
            QCOMPARE(p.title, u"请输入K值："_qs);
            QCOMPARE(p.defaultText, u"128"_qs); // the unchanged K, every time
        }
        QCOMPARE(w->mProcessMode, 2); // even after a cancel
        QCOMPARE(w->mnuFS[2]->text(), u"较慢！(&3) K="_qs + QString::number(k));
    }

    void modeCheckMarks()
    {
        services.inputReplies.enqueue(u"77"_qs);
        w->mnuFS[2]->trigger();
        QCOMPARE(w->mProcessMode, 2);
        QVERIFY(!w->mnuFS[0]->isChecked() && !w->mnuFS[1]->isChecked() && w->mnuFS[2]->isChecked());
        QCOMPARE(int(w->mKValue), 77);

        // Choosing the checked entry again asks for K again.
        services.inputReplies.enqueue(u"90"_qs);
        w->mnuFS[2]->trigger();
        QVERIFY(w->mnuFS[2]->isChecked());
        QCOMPARE(int(w->mKValue), 90);
        QCOMPARE(services.prompts.size(), 2);
        QCOMPARE(services.prompts[1].defaultText, u"77"_qs);

        w->mnuFS[0]->trigger();
        QCOMPARE(w->mProcessMode, 0);
        QVERIFY(w->mnuFS[0]->isChecked() && !w->mnuFS[1]->isChecked() && !w->mnuFS[2]->isChecked());
        QCOMPARE(services.prompts.size(), 2);
        QCOMPARE(w->mnuFS[2]->text(), u"较慢！(&3) K=90"_qs);
    }

    void modeReachesTheGenerator()
    {
        w->Pic2->SetInnerSize(1, 1);
        w->TxtSrc->SetText(QString());
        w->Pic3->SetPicture([] {
            QImage p(1, 1, QImage::Format_RGB32);
            p.fill(qRgb(127, 200, 200));
            return p;
        }());
        w->RenderPreview();
        w->mnuFS_Click(0);
        w->CmdConv_Click();
        QCOMPARE(w->TxtOut->toPlainText(), u"\n砾"_qs);
        w->mnuFS_Click(1);
        w->CmdConv_Click();
        QCOMPARE(w->TxtOut->toPlainText(), u"\n\u3000"_qs);
    }

    void tabsAtStart()
    {
        const QColor designFill = w->Lbl1->BackColor();
        w->Lbl1_Click();
        QVERIFY(!w->mShowOutput);
        QCOMPARE(w->Lbl1->BackColor(), designFill);
        QCOMPARE(w->Lbl1->BackStyle(), 1);
        QCOMPARE(w->Lbl2->BackStyle(), 0);
    }

    void switchingTabs()
    {
        showWindow();
        const QColor lightRed(255, 192, 192);
        w->Lbl2_Click();
        QVERIFY(w->mShowOutput);
        for (QWidget* hidden : {static_cast<QWidget*>(w->Pic1), static_cast<QWidget*>(w->HSBar1),
                 static_cast<QWidget*>(w->VSBar1)})
            QVERIFY(hidden->isHidden());
        QCOMPARE(w->Lbl2->BackStyle(), 1);
        QCOMPARE(w->Lbl1->BackStyle(), 0);
        QCOMPARE(w->Lbl1->BackColor(), lightRed);
        QCOMPARE(w->Lbl2->BackColor(), lightRed);
        QCOMPARE(w->Lbl2->ForeColor(), QColor(0, 128, 0));
        QCOMPARE(w->Lbl1->ForeColor(), QColor(0, 0, 128));
        QCOMPARE(QApplication::focusWidget(), w->TxtOut);

        // A click on the active tab changes nothing, not even the focus.
        w->TxtSrc->setFocus();
        w->Lbl2_Click();
        QCOMPARE(QApplication::focusWidget(), w->TxtSrc);
        QVERIFY(w->Pic1->isHidden());

        QTest::mouseClick(w->Lbl1, Qt::LeftButton);
        QVERIFY(!w->mShowOutput);
        QVERIFY(w->Pic1->isVisible() && w->HSBar1->isVisible() && w->VSBar1->isVisible());
        QCOMPARE(w->Lbl1->BackStyle(), 1);
        QCOMPARE(w->Lbl2->BackStyle(), 0);
        QCOMPARE(w->Lbl1->ForeColor(), QColor(0, 128, 0));
        QCOMPARE(w->Lbl2->ForeColor(), QColor(0, 0, 128));
        QCOMPARE(w->Lbl2->BackColor(), lightRed);
        QCOMPARE(QApplication::focusWidget(), w->TxtSrc);
    }
};

TESSARIN_TEST(TestGenerator)
#include "tst_generator.moc"
