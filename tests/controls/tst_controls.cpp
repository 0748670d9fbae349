#include "support/scriptedservices.h"
#include "support/testregistry.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/vbwidgets.h"

#include <QAction>
#include <QListWidget>
#include <QTest>

namespace {

QImage plain(QRgb colour)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

class TestControls : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    QStringList listEntries() const
    {
        QStringList entries;
        for (int i = 0; i < w->ListFontName->count(); ++i)
            entries.append(w->ListFontName->item(i)->text());
        return entries;
    }

    // Puts a new background in place without drawing it, so that a redraw shows.
    void markBackground()
    {
        w->Pic3->SetPicture(plain(qRgb(1, 2, 3)));
        w->TxtSrc->blockSignals(true);
        w->TxtSrc->SetText(QString());
        w->TxtSrc->blockSignals(false);
    }
    bool redrawn() const { return w->Pic2->Image().pixel(0, 0) == qRgb(1, 2, 3); }

    TextBox* field(const QString& name) const { return w->findChild<TextBox*>(name); }

private Q_SLOTS:
    void init()
    {
        services = ScriptedServices();
        w = std::make_unique<FrmTessarin>(services);
        w->Form_Load();
    }
    void cleanup() { w.reset(); }

    void fontList_data()
    {
        QTest::addColumn<QStringList>("fonts");
        QTest::addColumn<QStringList>("sorted");
        QTest::addColumn<int>("selected");
        QTest::newRow("default font wherever it sorts")
            << QStringList {u"Zapf"_qs, u"宋体"_qs, u"Arial"_qs}
            << QStringList {u"Arial"_qs, u"Zapf"_qs, u"宋体"_qs} << 2;
        QTest::newRow("default font first")
            << QStringList {u"Mono"_qs, u"宋体"_qs, u"黑体"_qs}
            << QStringList {u"Mono"_qs, u"宋体"_qs, u"黑体"_qs} << 1;
        QTest::newRow("two default entries, the later wins")
            << QStringList {u"宋体"_qs, u"Arial"_qs, u"宋体"_qs, u"黑体"_qs}
            << QStringList {u"Arial"_qs, u"宋体"_qs, u"宋体"_qs, u"黑体"_qs} << 2;
        QTest::newRow("a longer name does not count")
            << QStringList {u"宋体 Bold"_qs, u"黑体"_qs, u" 宋体"_qs}
            << QStringList {u" 宋体"_qs, u"宋体 Bold"_qs, u"黑体"_qs} << 2;
        QTest::newRow("without the default, the last entry")
            << QStringList {u"b"_qs, u"A"_qs, u"C"_qs, u"a"_qs}
            << QStringList {u"A"_qs, u"a"_qs, u"b"_qs, u"C"_qs} << 3;
        QTest::newRow("no fonts") << QStringList {} << QStringList {} << -1;
    }

    void fontList()
    {
        QFETCH(QStringList, fonts);
        QFETCH(QStringList, sorted);
        QFETCH(int, selected);
        const QString before = w->Pic2->Font().family();
        services.fonts = fonts;
        w->LblFontName_DblClick();
        QCOMPARE(listEntries(), sorted);
        QCOMPARE(w->ListFontName->currentRow(), selected);
        QCOMPARE(services.eventPasses, 2); // once at start-up, once now
        const QString chosen = selected >= 0 ? sorted[selected] : before;
        QCOMPARE(w->Pic2->Font().family(), chosen);
        if (selected >= 0)
            QCOMPARE(w->ListFontName->toolTip(), chosen);
    }

    void refillingBringsBackTheDefault()
    {
        services.fonts = {u"Arial"_qs, u"宋体"_qs, u"Zapf"_qs};
        w->LblFontName_DblClick();
        w->ListFontName->setCurrentRow(0);
        QCOMPARE(w->Pic2->Font().family(), u"Arial"_qs);
        QCOMPARE(w->ListFontName->toolTip(), u"Arial"_qs);
        w->LblFontName_DblClick();
        QCOMPARE(w->Pic2->Font().family(), u"宋体"_qs);
        QCOMPARE(w->ListFontName->count(), 3);
    }

    void sourceBoxFollowsThePreviewFontOnlyWhenAsked()
    {
        services.fonts = {u"Arial"_qs, u"宋体"_qs, u"Zapf"_qs};
        w->LblFontName_DblClick();
        const QFont plainFont = w->TxtView1->font();
        w->ListFontName->setCurrentRow(0);
        QCOMPARE(w->TxtSrc->font(), plainFont);

        w->ChkTxtFont->SetValue(2); // greyed counts as on
        QVERIFY(w->mChangeFont);
        QCOMPARE(w->TxtSrc->font().family(), u"Arial"_qs);
        w->ListFontName->setCurrentRow(1);
        QCOMPARE(w->TxtSrc->font().family(), u"Zapf"_qs);
        w->ChkB->SetValue(1);
        w->ChkU->SetValue(1);
        w->TxtHeight->setText(u"20"_qs);
        QVERIFY(w->TxtSrc->font().bold() && w->TxtSrc->font().underline());
        QCOMPARE(w->TxtSrc->font().pointSize(), 20);

        w->ChkTxtFont->SetValue(0);
        QVERIFY(!w->mChangeFont);
        QCOMPARE(w->TxtSrc->font(), plainFont);
        w->ChkI->SetValue(1);
        QVERIFY(!w->TxtSrc->font().italic());
        QVERIFY(w->Pic2->Font().italic());
    }

    void styleButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("bold") << u"ChkB"_qs;
        QTest::newRow("italic") << u"ChkI"_qs;
        QTest::newRow("underline") << u"ChkU"_qs;
        QTest::newRow("strikethrough") << u"ChkD"_qs;
    }

    void styleButtons()
    {
        QFETCH(QString, button);
        auto* box = w->findChild<CheckBox*>(button);
        auto attribute = [&] {
            const QFont& f = w->Pic2->Font();
            return button == u"ChkB"_qs ? f.bold()
                : button == u"ChkI"_qs  ? f.italic()
                : button == u"ChkU"_qs  ? f.underline()
                                        : f.strikeOut();
        };
        markBackground();
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(box->Value(), 1);
        QVERIFY(attribute());
        QVERIFY(redrawn());
        box->SetValue(0);
        QVERIFY(!attribute());
        box->SetValue(2);
        QVERIFY(attribute());
        QTest::mouseClick(box, Qt::LeftButton); // a greyed button clicked becomes checked
        QCOMPARE(box->Value(), 1);
    }

    void fontSize_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("points"); // 0: not applied
        QTest::newRow("2.5 rounds to even") << u"2.5"_qs << 2;
        QTest::newRow("3.5 rounds to even") << u"3.5"_qs << 4;
        QTest::newRow("0.6 gives one point") << u"0.6"_qs << 1;
        QTest::newRow("0.4 is ignored") << u"0.4"_qs << 0;
        QTest::newRow("letters are ignored") << u"abc"_qs << 0;
        QTest::newRow("empty is ignored") << QString() << 0;
        QTest::newRow("negative is ignored") << u"-5"_qs << 0;
        QTest::newRow("blank between digits") << u"1 2"_qs << 12;
        QTest::newRow("trailing letters") << u"12abc"_qs << 12;
        QTest::newRow("beyond a whole number") << u"9e9"_qs << 0;
    }

    void fontSize()
    {
        QFETCH(QString, text);
        QFETCH(int, points);
        w->Lbl2_Click();
        markBackground();
        w->TxtHeight->setText(text);
        const int expected = points ? points : 9;
        QCOMPARE(w->Pic2->Font().pointSize(), expected);
        QCOMPARE(redrawn(), points != 0);
        // Only an accepted size brings the preview forward.
        QCOMPARE(w->mShowOutput, points == 0);
        QCOMPARE(w->TxtHeight->text(), text); // a rejected text stays visible
    }

    void pictureSize_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width"); // the picture's width afterwards
        QTest::addColumn<bool>("numeric");
        QTest::newRow("1024 applied") << u"1024"_qs << 1024 << true;
        QTest::newRow("1 applied") << u"1"_qs << 1 << true;
        QTest::newRow("1025 refused") << u"1025"_qs << 12 << true;
        QTest::newRow("0 refused") << u"0"_qs << 12 << true;
        QTest::newRow("12.5 rounds to even") << u"12.5"_qs << 12 << true;
        QTest::newRow("13.5 rounds to even") << u"13.5"_qs << 14 << true;
        QTest::newRow("surrounding blanks") << u" 20 "_qs << 20 << true;
        QTest::newRow("beyond a whole number") << u"9e9"_qs << 12 << true;
        QTest::newRow("letters") << u"abc"_qs << 12 << false;
        QTest::newRow("trailing letters") << u"20px"_qs << 12 << false;
        QTest::newRow("empty") << QString() << 12 << false;
    }

    void pictureSize()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(bool, numeric);
        w->resize(312, 213);
        w->Form_Resize();
        w->Lbl2_Click();
        markBackground();
        w->TxtMapWidth->setText(text);
        QCOMPARE(w->Pic2->ScaleWidth(), width);
        QCOMPARE(w->Pic2->ScaleHeight(), 12);
        QCOMPARE(redrawn(), numeric);
        QCOMPARE(w->mShowOutput, !numeric);
        QCOMPARE(w->HSBar1->isEnabled(), width > w->Pic1->ScaleWidth());
    }

    void pictureHeight()
    {
        w->TxtMapHeight->setText(u"300"_qs);
        QCOMPARE(w->Pic2->ScaleHeight(), 300);
        QCOMPARE(w->Pic2->ScaleWidth(), 12);
    }

    void arrowKeys_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("points"); // the font size applied afterwards
        const int up = Qt::Key_Up, down = Qt::Key_Down;
        QTest::newRow("up at 999 stays") << u"TxtHeight"_qs << u"999"_qs << up << u"999"_qs << 999;
        QTest::newRow("down at 1 stays") << u"TxtHeight"_qs << u"1"_qs << down << u"1"_qs << 1;
        QTest::newRow("up from empty") << u"TxtHeight"_qs << QString() << up << u"1"_qs << 1;
        QTest::newRow("down from empty") << u"TxtHeight"_qs << QString() << down << u"1"_qs << 1;
        QTest::newRow("up from -5 is not applied")
            << u"TxtHeight"_qs << u"-5"_qs << up << u"-4"_qs << 9;
        QTest::newRow("down from -5 gives the minimum")
            << u"TxtHeight"_qs << u"-5"_qs << down << u"1"_qs << 1;
        QTest::newRow("up from 2.5 rounds 3.5 to 4")
            << u"TxtHeight"_qs << u"2.5"_qs << up << u"4"_qs << 4;
        QTest::newRow("up from 12abc") << u"TxtHeight"_qs << u"12abc"_qs << up << u"13"_qs << 13;
        QTest::newRow("other keys do nothing")
            << u"TxtHeight"_qs << u"7"_qs << int(Qt::Key_Left) << u"7"_qs << 7;
        QTest::newRow("width up at 1024 stays")
            << u"TxtMapWidth"_qs << u"1024"_qs << up << u"1024"_qs << 9;
        QTest::newRow("width down at 1 stays")
            << u"TxtMapWidth"_qs << u"1"_qs << down << u"1"_qs << 9;
        QTest::newRow("width up from far beyond")
            << u"TxtMapWidth"_qs << u"9e9"_qs << up << u"1024"_qs << 9;
        QTest::newRow("width down from far beyond")
            << u"TxtMapWidth"_qs << u"9e9"_qs << down << u"2147483647"_qs << 9;
        QTest::newRow("height down from 1500 goes one down")
            << u"TxtMapHeight"_qs << u"1500"_qs << down << u"1499"_qs << 9;
    }

    void arrowKeys()
    {
        QFETCH(QString, name);
        QFETCH(QString, start);
        QFETCH(int, key);
        QFETCH(QString, result);
        QFETCH(int, points);
        TextBox* box = field(name);
        box->setText(start);
        QTest::keyClick(box, Qt::Key(key));
        QCOMPARE(box->text(), result);
        QCOMPARE(w->Pic2->Font().pointSize(), points);
    }

    void arrowStepAppliesThePictureSize()
    {
        w->TxtMapWidth->setText(u"40"_qs);
        QTest::keyClick(w->TxtMapWidth, Qt::Key_Up);
        QCOMPARE(w->Pic2->ScaleWidth(), 41);
    }

    void sourceTextRedrawsAndSwitches()
    {
        w->Lbl2_Click();
        markBackground();
        w->TxtSrc->SetText(u"一"_qs);
        QVERIFY(w->Pic2->Image().pixel(11, 11) == qRgb(1, 2, 3));
        QVERIFY(!w->mShowOutput);
    }

    void autoSwitchOnlyWhenChecked()
    {
        services.fonts = {u"Arial"_qs, u"Zapf"_qs};
        w->LblFontName_DblClick();
        w->mnuZDQH_Click();
        QVERIFY(!w->mnuZDQH->isChecked());
        w->Lbl2_Click();
        w->ListFontName->setCurrentRow(0);
        w->ChkB->SetValue(1);
        w->TxtHeight->setText(u"12"_qs);
        w->TxtMapWidth->setText(u"30"_qs);
        w->TxtSrc->SetText(u"砾"_qs);
        QVERIFY(w->mShowOutput);
        w->mnuZDQH_Click();
        w->ListFontName->setCurrentRow(1);
        QVERIFY(!w->mShowOutput);
    }
};

TESSARIN_TEST(TestControls)
#include "tst_controls.moc"
