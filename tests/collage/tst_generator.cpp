#include "support/images.h"
#include "support/loadedwindow.h"
#include "window/ui/buttons.h"
#include "window/ui/picturebox.h"
#include "window/ui/scrollbar.h"
#include "window/ui/textboxes.h"

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QTest>

class TestGenerator : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

private Q_SLOTS:
    void initTestCase()
    {
        // Buttons unlike the window, as some desktops' colours have them.
        QPalette colours = QApplication::palette();
        colours.setColor(QPalette::Button, QColor(200, 210, 220));
        QApplication::setPalette(colours);
    }
    void init() { w = LoadedWindow(services); }
    void cleanup() { w.reset(); }

    // The replies typed, one per prompt (empty cancels), each prompt offering the K in use; the
    // slow entry alone is marked, even after a cancel. The other entries ask nothing.
    void kPrompt_data()
    {
        QTest::addColumn<QString>("replies"); // split at "|"
        QTest::addColumn<int>("k");
        QTest::newRow("out of range before rounding, asked again") << u"15|241|15.9|16"_qs << 16;
        QTest::newRow("the upper limit") << u"240"_qs << 240;
        QTest::newRow("read the forgiving way") << u"&HA0"_qs << 160;
        QTest::newRow("letters only, then cancel") << u"abc|"_qs << 99;
    }
    void kPrompt()
    {
        QFETCH(QString, replies);
        w->mKValue = 99;
        services.inputReplies.append(replies.split(u'|'));
        const qsizetype asked = services.inputReplies.size();
        const auto marks = [&] {
            QString shown = QString::number(int(w->mProcessMode));
            for (const QAction* entry : w->mnuFS)
                shown += entry->isChecked() ? u'1' : u'0';
            return shown;
        };
        w->mnuFS[2]->trigger();
        QTEST(int(w->mKValue), "k");
        QCOMPARE(marks(), u"2001"_qs);
        QCOMPARE(w->mnuFS[2]->text(), u"较慢！(&3) K="_qs + QString::number(w->mKValue));
        QCOMPARE(services.prompts, QStringList(asked, u"99"_qs));
        w->mnuFS[1]->trigger();
        QCOMPARE(marks() + u'|' + QString::number(services.prompts.size() - asked), u"1010|0"_qs);
    }

    // 墨 in a Song face (as on the program's home platform) fills most of the em square, points x
    // 4 / 3 pixels at 96 dots per inch, at the top-left corner, crisp from a bitmap strike (9
    // points) and from outlines alike: tile or pure black, no grey. A second line draws it below.
    void crispPreview()
    {
        const QString song = u"AR PL UMing CN"_qs;
        if (!QFontDatabase::families().contains(song))
            QSKIP("needs the font of fonts-arphic-uming");
        w->Pic2->Font().setFamily(song);
        w->TxtSrc->SetText(u"墨\r\n墨"_qs);
        for (const auto& [points, side] : {std::pair {9, 12}, {36, 100}}) {
            w->Pic2->Font().setPointSize(points);
            w->Pic2->SetInnerSize(side, 3 * side);
            w->RenderPreview();
            const int em = points * 4 / 3;
            QRect bounds, below;
            for (int i = 0; i < 3 * side * side; ++i) {
                const int x = i % side, y = i / side;
                const QRgb p = w->Pic2->Image().pixel(x, y);
                if (p == qRgb(0, 0, 0))
                    (y < em ? bounds : below) |= QRect(x, y, 1, 1);
                else if (p != w->Pic3->Image().pixel(x % 32, y % 32))
                    QFAIL(qPrintable(u"%1 points: grey at %2,%3"_qs.arg(points).arg(x).arg(y)));
            }
            QVERIFY2(bounds.width() >= points && bounds.height() >= points && bounds.right() < em
                    && bounds.bottom() < em && below.size() == bounds.size()
                    && below.top() >= bounds.top() + em,
                qPrintable(u"%1 points"_qs.arg(points)));
        }
    }

    // Only lines that can show are drawn, however many follow: the picture is the same as with its
    // first lines alone, the line cut by the bottom edge included.
    void manyLinesBelowThePicture()
    {
        w->Pic2->Font().setFamily(u"AR PL UMing CN"_qs);
        w->Pic2->Font().setPointSize(9);
        const int lineHeight = QFontMetrics(w->Pic2->Font(), &w->Pic2->hDC()).height();
        w->Pic2->SetInnerSize(12, lineHeight + 4);
        w->TxtSrc->SetText(u"墨\r\n墨"_qs);
        const QImage twoLines = w->Pic2->Image();
        // The box holds so many lines in fewer paragraphs; its text stays what was set, empty lines
        // and a line separator of the user's own included.
        const QString many = u"墨\r\n墨"_qs + u"\n\n墨\u2028"_qs.repeated(100'000);
        w->TxtSrc->SetText(many);
        QCOMPARE(w->TxtSrc->Text(), QString(many).replace(u"\n\n"_qs, u"\r\n\r\n"_qs));
        QCOMPARE_LT(w->TxtSrc->document()->blockCount(), 1000);
        QCOMPARE_LT(w->TxtSrc->FirstLines(2).size(), 10'000); // what is drawn of them
        QCOMPARE(w->Pic2->Image(), twoLines);
        QVERIFY(twoLines.copy(0, lineHeight, 12, 4) != w->Pic3->Image().copy(0, lineHeight, 12, 4));
    }

    // Every option reaches the generator: the background's one colour, grey level 178, is light in
    // the fast mode but dark in the slow one at K 179; a greyed trim box counts as on. Title and
    // pointer say the window is busy; the output shows, and takes the focus, only with auto switch.
    void generate()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->Pic2->SetInnerSize(3, 1);
        w->TxtSrc->SetText(QString());
        w->Pic3->SetPicture(
            testsupport::painted({1, 1}, [](int, int) { return qRgb(127, 200, 200); }));
        w->RenderPreview();
        w->TxtView1->SetText(u"#"_qs);
        w->TxtView2->SetText(u" "_qs);
        const auto state = [&] {
            const QCursor* pointer = QGuiApplication::overrideCursor();
            return w->windowTitle() + QString::number(pointer ? pointer->shape() : Qt::ArrowCursor);
        };
        QString busy;
        connect(w->TxtOut, &QPlainTextEdit::textChanged, this, [&] { busy = state(); });
        const auto generate = [&](bool autoSwitch, const QString& expected) {
            w->mnuZDQH->setChecked(autoSwitch);
            w->TxtSrc->setFocus();
            busy.clear();
            w->CmdConv_Click();
            QCOMPARE(w->TxtOut->toPlainText(), expected);
            QCOMPARE(w->TxtOut->textCursor().position(), 0); // typing goes before the collage
            QCOMPARE(busy, u"墨砾版字符拼合画 处理中……"_qs + QString::number(Qt::WaitCursor));
            QCOMPARE(state(), u"墨砾版字符拼合画"_qs + QString::number(Qt::ArrowCursor));
            QCOMPARE(w->mShowOutput, autoSwitch);
            QCOMPARE(QApplication::focusWidget(),
                autoSwitch ? static_cast<QWidget*>(w->TxtOut) : w->TxtSrc);
        };
        services.inputReplies.enqueue(u"179"_qs);
        w->mnuFS_Click(2);
        generate(false, u"\n###"_qs);
        w->mnuFS_Click(1);
        generate(true, u"\n   "_qs);
        w->ChkDelRight->SetValue(2);
        w->mnuKeepWidth->setChecked(true);
        generate(true, u"\n\n\n"_qs); // a ruler of no width, one trimmed row

        // A result beyond what any text box holds is refused with a word; the old one stays.
        w->Pic2->SetInnerSize(1024, 1024);
        w->TxtView2->SetText(QString(64, u'x'));
        w->CmdConv_Click();
        QCOMPARE(w->TxtOut->toPlainText(), u"\n\n\n"_qs);
        QCOMPARE(services.warnings.value(0).first, u"生成失败"_qs);
        QTest::keyClick(w->CmdConv, Qt::Key_A); // a key other than Enter or space presses nothing
        QCOMPARE(services.warnings.size(), 1);
    }

    // Only the active tab is filled, and until a tab is chosen both keep the window's button
    // colour; a click on the tab already active changes nothing, not even the focus.
    void switchingTabs()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const QColor design = w->palette().color(QPalette::Button), red(255, 192, 192),
                     green(0, 128, 0), blue(0, 0, 128);
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
        QTest::mouseClick(w->Lbl1, Qt::RightButton);
        QCOMPARE(tabs(), output(u"TxtSrc"_qs));
        QTest::mouseClick(w->Lbl1, Qt::LeftButton);
        QCOMPARE(tabs(), preview(red, u"TxtSrc"_qs));
    }
};

QTEST_MAIN(TestGenerator)
#include "tst_generator.moc"
