#include "support/images.h"
#include "support/loadedwindow.h"
#include "window/ui/buttons.h"
#include "window/ui/picturebox.h"
#include "window/ui/textboxes.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>

using namespace testsupport;

class TestControls : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    // Shows the output tab and a background of a new colour not yet drawn: a redraw shows.
    QRgb mark = qRgb(1, 2, 3);
    void markBackground()
    {
        w->Lbl2_Click();
        w->Pic3->SetPicture(painted({8, 8}, [m = ++mark](int, int) { return m; }));
        const QSignalBlocker quiet(w->TxtSrc);
        w->TxtSrc->SetText(QString());
    }
    bool redrawn() const { return w->Pic2->Image().pixel(0, 0) == mark; }

private Q_SLOTS:
    void init() { w = LoadedWindow(services); }
    void cleanup() { w.reset(); }

    void fontList_data()
    {
        QTest::addColumn<QString>("fonts"); // split at "|"
        QTest::addColumn<QString>("sorted");
        QTest::addColumn<int>("selected");
        QTest::newRow("default font, before a stand-in")
            << u"Zapf|宋体|SimSun|Arial"_qs << u"Arial|SimSun|Zapf|宋体"_qs << 3;
        QTest::newRow("without it, the Song face most alike")
            << u"Z003|Noto Serif CJK SC|SimSun|AR PL UMing CN"_qs
            << u"AR PL UMing CN|Noto Serif CJK SC|SimSun|Z003"_qs << 2;
        QTest::newRow("no Song face: the last") << u"b|A|C|a"_qs << u"A|a|b|C"_qs << 3;
        QTest::newRow("no fonts") << QString() << QString() << -1;
    }

    // Filling the list chooses the default; so does filling it again after another choice.
    void fontList()
    {
        QFETCH(QString, fonts);
        QFETCH(QString, sorted);
        QFETCH(int, selected);
        const QString font = selected < 0 ? w->Pic2->Font().family() : sorted.split(u'|')[selected];
        services.fonts = fonts.split(u'|', Qt::SkipEmptyParts);
        w->ChkTxtFont->SetValue(1); // the source box follows the choice
        for (int pass = 0; pass < 2; ++pass) {
            w->ListFontName->setCurrentRow(0);
            QTest::mouseDClick(w->LblFontName, Qt::LeftButton);
            QStringList entries;
            for (int i = 0; i < w->ListFontName->count(); ++i)
                entries.append(w->ListFontName->item(i)->text());
            QCOMPARE(entries.join(u'|'), sorted);
            QCOMPARE(w->ListFontName->currentRow(), selected);
            QCOMPARE(w->Pic2->Font().family(), font);
            QCOMPARE(w->TxtSrc->font().family(), font);
            QCOMPARE(w->ListFontName->toolTip(), selected < 0 ? QString() : font);
        }
    }

    // Typing in the source box redraws the preview and brings it forward. The box gives back what
    // it holds, line and paragraph separators and the character beside the noncharacters that
    // stand for them inside too, and shows no vertical bar however many lines it holds.
    void sourceBox()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        markBackground();
        QTest::keyClicks(w->TxtSrc, u"x"_qs);
        QVERIFY(redrawn() && !w->mShowOutput);
        QTest::keyClicks(w->TxtMapWidth, u"345"_qs); // a field takes four characters typed
        QCOMPARE(w->TxtMapWidth->text(), u"1234"_qs);
        const QString text = u"a\u2029b\ufdf0\u2028\r\n\r\n\r\n\r\n\r\n\r\nc"_qs;
        w->TxtSrc->SetText(text);
        QCOMPARE(w->TxtSrc->Text(), text);
        QCoreApplication::processEvents(); // the box lays out its lines
        QVERIFY(w->TxtSrc->horizontalScrollBar()->isVisible());
        QVERIFY(!w->TxtSrc->verticalScrollBar()->isVisible());
        QGuiApplication::clipboard()->setText(u"\u2029墨"_qs); // pasted as it stands
        w->TxtSrc->selectAll();
        w->TxtSrc->paste();
        QCOMPARE(w->TxtSrc->Text(), u"\u2029墨"_qs);
    }

    // A style box sets its own style of the preview font, redraws and brings the preview forward;
    // with "改变字体" ticked the source box takes the preview font, without it the display box's.
    void styleBoxes_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("changeFont");
        QTest::addColumn<QString>("styles"); // of the preview font, then of the source box's
        QTest::newRow("bold") << u"ChkB"_qs << false << u"B---|----"_qs;
        QTest::newRow("italic, copied") << u"ChkI"_qs << true << u"-I--|-I--"_qs;
        QTest::newRow("underline") << u"ChkU"_qs << false << u"--U-|----"_qs;
        QTest::newRow("strikeout, copied") << u"ChkD"_qs << true << u"---S|---S"_qs;
    }
    void styleBoxes()
    {
        QFETCH(QString, box);
        QFETCH(bool, changeFont);
        w->ChkTxtFont->SetValue(changeFont);
        markBackground();
        auto* button = w->findChild<CheckBox*>(box);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().bottomRight()); // any part
        QTEST(styleMarks(w->Pic2->Font()) + u'|' + styleMarks(w->TxtSrc->font()), "styles");
        QVERIFY(redrawn() && !w->mShowOutput);
        w->ChkTxtFont->SetValue(0);
        QCOMPARE(w->TxtSrc->font(), w->TxtView1->font());
        w->ChkTxtFont->SetValue(1);
        QCOMPARE(styleMarks(w->TxtSrc->font()), styleMarks(w->Pic2->Font()));
    }

    // An arrow steps by one within the field's limits; a measure outside 1 to 1024 is refused
    // but still redraws, and only a redraw brings the preview forward.
    void numberFields_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("measure"); // font size, picture width or height afterwards
        QTest::addColumn<bool>("redraws");
        const auto row = [](const char* name, const char* field, const char* start, int key,
                             const char* shown, int measure, bool redraws) {
            QTest::newRow(name) << field << start << key << shown << measure << redraws;
        };
        row("up at 999 stays", "TxtHeight", "999", Qt::Key_Up, "999", 999, false);
        row("up from -5 is not applied", "TxtHeight", "-5", Qt::Key_Up, "-4", 9, false);
        row("down from -5 to the minimum", "TxtHeight", "-5", Qt::Key_Down, "1", 1, true);
        row("width up from far beyond", "TxtMapWidth", "9e9", Qt::Key_Up, "1024", 1024, true);
        row("width up to 0 is refused", "TxtMapWidth", "-1", Qt::Key_Up, "0", 12, true);
        row("height down from 1500", "TxtMapHeight", "1500", Qt::Key_Down, "1499", 12, true);
    }

    void numberFields()
    {
        QFETCH(QString, name);
        QFETCH(QString, start);
        QFETCH(int, key);
        QFETCH(bool, redraws);
        auto* field = w->findChild<TextBox*>(name);
        field->setText(start);
        markBackground();
        QTest::keyClick(field, Qt::Key(key));
        QTEST(field->text(), "shown");
        QTEST(name == u"TxtHeight"       ? w->Pic2->Font().pointSize()
                : name == u"TxtMapWidth" ? w->Pic2->ScaleWidth()
                                         : w->Pic2->ScaleHeight(),
            "measure");
        QCOMPARE((QList<bool> {redrawn(), w->mShowOutput}), (QList<bool> {redraws, !redraws}));
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
