#include "support/loadedwindow.h"
#include "window/buttons.h"
#include "window/picturebox.h"
#include "window/scrollbar.h"
#include "window/textboxes.h"

#include <QAction>
#include <QListWidget>
#include <QTest>

// The font list, the style buttons and the number fields.
class TestControls : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    // Shows the output tab and puts a new background, of a colour not used before, in place
    // without drawing it, so that a redraw shows and so does a switch back to the preview.
    QRgb mark = qRgb(1, 2, 3);
    void markBackground()
    {
        w->Lbl2_Click();
        QImage plain(8, 8, QImage::Format_RGB32);
        plain.fill(++mark);
        w->Pic3->SetPicture(plain);
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
        QTest::newRow("default font wherever it sorts, before a stand-in")
            << u"Zapf|宋体|SimSun|Arial"_qs << u"Arial|SimSun|Zapf|宋体"_qs << 3;
        QTest::newRow("two default entries, the later wins")
            << u"宋体|Arial|宋体|黑体"_qs << u"Arial|宋体|宋体|黑体"_qs << 2;
        QTest::newRow("without it, the Song face most alike")
            << u"Z003|Noto Serif CJK SC|SimSun|AR PL UMing CN"_qs
            << u"AR PL UMing CN|Noto Serif CJK SC|SimSun|Z003"_qs << 2;
        QTest::newRow("without any Song face, the last entry")
            << u"b|A|C|a"_qs << u"A|a|b|C"_qs << 3;
        QTest::newRow("no fonts") << QString() << QString() << -1;
    }

    // Filling the list chooses the default; so does filling it again after another choice.
    void fontList()
    {
        QFETCH(QString, fonts);
        QFETCH(QString, sorted);
        QFETCH(int, selected);
        const QString chosen
            = selected >= 0 ? sorted.split(u'|')[selected] : w->Pic2->Font().family();
        services.fonts = fonts.split(u'|', Qt::SkipEmptyParts);
        for (int pass = 0; pass < 2; ++pass) {
            w->ListFontName->setCurrentRow(0);
            w->LblFontName_DblClick();
            QStringList entries;
            for (int i = 0; i < w->ListFontName->count(); ++i)
                entries.append(w->ListFontName->item(i)->text());
            QCOMPARE(entries.join(u'|'), sorted);
            QCOMPARE(w->ListFontName->currentRow(), selected);
            QCOMPARE(w->Pic2->Font().family(), chosen);
        }
    }

    // With the check box on (greyed counts as on), the preview's font and every change of it
    // reach the source box; off, the box has its plain font back.
    void sourceBoxFollowsThePreviewFontOnlyWhenAsked()
    {
        services.fonts = {u"Arial"_qs, u"宋体"_qs, u"Zapf"_qs};
        w->LblFontName_DblClick();
        const QFont plainFont = w->TxtView1->font();
        w->ListFontName->setCurrentRow(0);
        QCOMPARE(w->TxtSrc->font(), plainFont);
        w->ChkTxtFont->SetValue(2);
        QCOMPARE(w->TxtSrc->font().family(), u"Arial"_qs);
        w->ListFontName->setCurrentRow(1);
        w->ChkB->SetValue(1);
        w->TxtHeight->setText(u"20"_qs);
        const QFont font = w->TxtSrc->font();
        QVERIFY(font.family() == u"Zapf"_qs && font.bold() && font.pointSize() == 20);
        w->ChkTxtFont->SetValue(0);
        w->ChkI->SetValue(1);
        QCOMPARE(w->TxtSrc->font(), plainFont);
    }

    // Each button sets the style its caption names, and only that one; a greyed button clicked
    // becomes checked. Without auto switch a change redraws but leaves the output in front.
    void styleButtons_data()
    {
        QTest::addColumn<QString>("button");
        for (const char* button : {"ChkB", "ChkI", "ChkU", "ChkD"})
            QTest::newRow(button) << QString::fromLatin1(button);
    }

    void styleButtons()
    {
        QFETCH(QString, button);
        auto* box = w->findChild<CheckBox*>(button);
        auto styles = [&] {
            const QFont& f = w->Pic2->Font();
            return QString(f.bold() ? "B" : "") + (f.italic() ? "I" : "")
                + (f.underline() ? "U" : "") + (f.strikeOut() ? "D" : "");
        };
        markBackground();
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(styles(), box->text());
        QVERIFY(redrawn() && !w->mShowOutput);
        box->SetValue(2);
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(box->Value(), 1);
        w->mnuZDQH_Click();
        markBackground();
        box->SetValue(0);
        QCOMPARE(styles(), QString());
        QVERIFY(redrawn() && w->mShowOutput);
    }

    // A text typed, or stepped with an arrow key. The font size takes the leading number, if it
    // comes to a point; a picture measure a whole number from 1 to 1024, and any other number
    // still redraws. Only a change that redraws brings the preview forward. An arrow steps by
    // one within the field's limits; a text it leaves as it was changes nothing.
    void numberFields_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("key"); // 0: the start text is typed after the mark
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("measure"); // font size, picture width or height afterwards
        QTest::addColumn<bool>("redraws");
        const auto step = [](const char* name, const char* field, const char* start, int key,
                              const char* shown, int measure, bool redraws) {
            QTest::newRow(name) << QString::fromLatin1(field) << QString::fromLatin1(start) << key
                                << QString::fromLatin1(shown) << measure << redraws;
        };
        const auto type = [&](const char* name, const char* field, const char* text, int measure,
                              bool redraws) { step(name, field, text, 0, text, measure, redraws); };
        type("size 0.6 gives one point", "TxtHeight", "0.6", 1, true);
        type("size 0.4 is ignored", "TxtHeight", "0.4", 9, false);
        type("size trailing letters", "TxtHeight", "12abc", 12, true);
        type("width 1024 applied", "TxtMapWidth", "1024", 1024, true);
        type("width 1025 refused, still redraws", "TxtMapWidth", "1025", 12, true);
        type("width 0 refused", "TxtMapWidth", "0", 12, true);
        type("width trailing letters", "TxtMapWidth", "12abc", 12, false);
        type("height 300 applied", "TxtMapHeight", "300", 300, true);
        const int up = Qt::Key_Up, down = Qt::Key_Down;
        step("up at 999 stays", "TxtHeight", "999", up, "999", 999, false);
        step("up from -5 is not applied", "TxtHeight", "-5", up, "-4", 9, false);
        step("down from -5 gives the minimum", "TxtHeight", "-5", down, "1", 1, true);
        step("other keys do nothing", "TxtHeight", "7", Qt::Key_Left, "7", 7, false);
        step("width up at 1024 stays", "TxtMapWidth", "1024", up, "1024", 1024, false);
        step("width up from far beyond", "TxtMapWidth", "9e9", up, "1024", 1024, true);
        step("height down from 1500 goes one down", "TxtMapHeight", "1500", down, "1499", 12, true);
    }

    void numberFields()
    {
        QFETCH(QString, name);
        QFETCH(QString, start);
        QFETCH(int, key);
        QFETCH(QString, shown);
        QFETCH(int, measure);
        QFETCH(bool, redraws);
        w->resize(312, 213);
        w->Form_Resize();
        auto* field = w->findChild<TextBox*>(name);
        if (key)
            field->setText(start);
        markBackground();
        if (key)
            QTest::keyClick(field, Qt::Key(key));
        else
            field->setText(start);
        QCOMPARE(field->text(), shown);
        const QFont& font = w->Pic2->Font();
        QCOMPARE(name == u"TxtHeight"    ? font.pointSize()
                : name == u"TxtMapWidth" ? w->Pic2->ScaleWidth()
                                         : w->Pic2->ScaleHeight(),
            measure);
        QCOMPARE(redrawn(), redraws);
        QCOMPARE(w->mShowOutput, !redraws);
        QCOMPARE(w->HSBar1->isEnabled(), w->Pic2->width() > w->Pic1->ScaleWidth());
        QCOMPARE(w->VSBar1->isEnabled(), w->Pic2->height() > w->Pic1->ScaleHeight());
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
