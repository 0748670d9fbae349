#include "runtime/twips.h"
#include "support/scriptedservices.h"
#include "support/testregistry.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/vbwidgets.h"

#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

namespace {

int twipsLeft(const QWidget* w)
{
    return w->x() * 15;
}
int twipsWidth(const QWidget* w)
{
    return w->width() * 15;
}
int twipsHeight(const QWidget* w)
{
    return w->height() * 15;
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    std::unique_ptr<FrmTessarin> w;

    void clientArea(int width, int height)
    {
        w->resize(width, height);
        w->Form_Resize();
    }

    // The picture's width in pixels and the viewport's inner width.
    void pictureSize(int width, int height)
    {
        w->Pic2->SetInnerSize(width, height);
        w->LayoutPreview();
    }

private Q_SLOTS:
    void init()
    {
        w = std::make_unique<FrmTessarin>(services);
        w->Form_Load();
    }
    void cleanup() { w.reset(); }

    void bandsAndAreas_data()
    {
        QTest::addColumn<QSize>("client"); // pixels
        // band width, third box's left, viewport w/h, output w/h, list h; each
        // lands on whole pixels
        QTest::addColumn<QList<int>>("twips");
        QTest::newRow("design size")
            << QSize(312, 213) << QList<int> {1560, 3120, 2595, 2010, 2880, 2295, 1035};
        QTest::newRow("larger") << QSize(640, 480)
                                << QList<int> {3195, 6405, 7515, 6015, 7800, 6300, 5040};
        QTest::newRow("width not divisible by three")
            << QSize(301, 300) << QList<int> {1500, 3015, 2430, 3315, 2715, 3600, 2340};
    }

    void bandsAndAreas()
    {
        QFETCH(QSize, client);
        QFETCH(QList<int>, twips);
        clientArea(client.width(), client.height());
        const int band = twips[0];
        QCOMPARE(twipsWidth(w->TxtSrc), band);
        QCOMPARE(twipsLeft(w->TxtView1), band);
        QCOMPARE(twipsWidth(w->TxtView1), band);
        QCOMPARE(twipsLeft(w->TxtView2), twips[1]);
        QCOMPARE(twipsWidth(w->TxtView2), band);
        QCOMPARE(twipsHeight(w->TxtSrc), 900);
        QCOMPARE(twipsWidth(w->Pic1), twips[2]);
        QCOMPARE(twipsHeight(w->Pic1), twips[3]);
        QCOMPARE(twipsWidth(w->TxtOut), twips[4]);
        QCOMPARE(twipsHeight(w->TxtOut), twips[5]);
        QCOMPARE(twipsHeight(w->ListFontName), twips[6]);
        // The bars run along the viewport, 30 twips short of its sides.
        QCOMPARE(w->HSBar1->y(), w->Pic1->y() + w->Pic1->height());
        QCOMPARE(twipsWidth(w->HSBar1), twips[2] - 30);
        QCOMPARE(w->VSBar1->x(), w->Pic1->x() + w->Pic1->width());
        QCOMPARE(twipsHeight(w->VSBar1), twips[3] - 30);
    }

    // Below 2085 twips of width the viewport's new width would be negative: it keeps
    // its last width, the bar follows the kept width, the output box still fits.
    void narrowWindowKeepsRefusedWidths()
    {
        clientArea(312, 213);
        const int viewport = w->Pic1->width();
        clientArea(133, 213); // 1995 twips
        QCOMPARE(w->Pic1->width(), viewport);
        QCOMPARE(twipsWidth(w->HSBar1), viewport * 15 - 30);
        QCOMPARE(twipsWidth(w->TxtOut), 1995 - 1800);
        QCOMPARE(twipsWidth(w->TxtSrc), 660); // a third of 1995, on whole pixels
        clientArea(100, 213); // the output box too would be negative now
        QCOMPARE(twipsWidth(w->TxtOut), 1995 - 1800);
    }

    void minimizedMovesNothing()
    {
        clientArea(312, 213);
        w->setWindowState(Qt::WindowMinimized);
        w->resize(640, 480);
        w->Form_Resize();
        QCOMPARE(twipsWidth(w->TxtOut), 2880);
        w->setWindowState(Qt::WindowNoState);
        QCOMPARE(twipsWidth(w->TxtOut), 7800);
    }

    void barFitsPictureToViewport_data()
    {
        QTest::addColumn<int>("extra"); // picture width beyond the viewport's inner width
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("max");
        QTest::newRow("narrower") << -5 << false << 0;
        QTest::newRow("exactly as wide") << 0 << false << 0;
        QTest::newRow("one pixel wider") << 1 << true << -1;
        QTest::newRow("a hundred wider") << 100 << true << -100;
    }

    void barFitsPictureToViewport()
    {
        QFETCH(int, extra);
        QFETCH(bool, enabled);
        QFETCH(int, max);
        clientArea(312, 213);
        const int inner = w->Pic1->ScaleWidth();
        pictureSize(inner + extra, 10);
        QCOMPARE(w->HSBar1->isEnabled(), enabled);
        QCOMPARE(w->HSBar1->Value(), 0);
        if (enabled) {
            QCOMPARE(w->HSBar1->Max(), max);
            QCOMPARE(w->HSBar1->LargeChange(), inner);
        }
        QVERIFY(!w->VSBar1->isEnabled());
    }

    void scrollingMovesThePicture()
    {
        clientArea(312, 213);
        const int inner = w->Pic1->ScaleWidth();
        pictureSize(inner + 100, inner + 500);
        QCOMPARE(w->HSBar1->Max(), -100);

        // To the far end: the picture's last column is the viewport's last.
        w->HSBar1->SetValue(-100);
        QCOMPARE(w->Pic2->x(), -100);
        QCOMPARE(w->Pic2->x() + w->Pic2->width(), inner);
        // The thumb stands at the right end, as the picture's right part shows.
        QCOMPARE(w->HSBar1->value(), w->HSBar1->maximum());

        w->HSBar1->SetValue(0);
        w->HSBar1->triggerAction(QAbstractSlider::SliderSingleStepAdd); // right arrow
        QCOMPARE(w->Pic2->x(), -1);
        w->HSBar1->triggerAction(QAbstractSlider::SliderPageStepAdd); // trough
        QCOMPARE(w->Pic2->x(), -100); // one viewport width, but never beyond the end
        w->HSBar1->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(w->Pic2->x(), -99);

        w->VSBar1->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(w->Pic2->y(), -w->Pic1->ScaleHeight());
    }

    void pictureFollowsADraggedThumb()
    {
        clientArea(312, 213);
        pictureSize(w->Pic1->ScaleWidth() + 100, 10);
        QSignalSpy dragging(w->HSBar1, &ScrollBar::Scroll);
        w->HSBar1->setTracking(false); // the value itself changes only on release
        w->HSBar1->setSliderDown(true);
        w->HSBar1->setSliderPosition(40);
        QCOMPARE(dragging.count(), 1);
        QCOMPARE(w->Pic2->x(), -40);
        w->HSBar1->setSliderDown(false);
        QCOMPARE(w->HSBar1->Value(), -40);
    }

    void enlargingPullsTheScrolledPictureBack()
    {
        clientArea(312, 213);
        const int inner = w->Pic1->ScaleWidth();
        pictureSize(inner + 100, 10);
        w->HSBar1->SetValue(-100);
        clientArea(312 + 40, 213); // 40 pixels more viewport
        QCOMPARE(w->HSBar1->Max(), -60);
        QCOMPARE(w->HSBar1->Value(), -60);
        QCOMPARE(w->Pic2->x() + w->Pic2->width(), w->Pic1->ScaleWidth());
        clientArea(312 + 20, 213); // shrinking keeps value and place
        QCOMPARE(w->HSBar1->Max(), -80);
        QCOMPARE(w->HSBar1->Value(), -60);
        QCOMPARE(w->Pic2->x(), -60);
        clientArea(600, 213); // now it fits
        QVERIFY(!w->HSBar1->isEnabled());
        QCOMPARE(w->HSBar1->Value(), 0);
        QCOMPARE(w->Pic2->x(), 0);
    }

    void viewportWithoutInnerSizeSkipsTheRest()
    {
        clientArea(312, 213);
        pictureSize(400, 400);
        const int step = w->HSBar1->LargeChange();
        const int verticalMax = w->VSBar1->Max();
        w->Pic1->resize(4, 4); // the border alone
        w->LayoutPreview();
        QCOMPARE(w->HSBar1->Max(), -400);
        QCOMPARE(w->HSBar1->LargeChange(), step); // refused; the old step stays
        QCOMPARE(w->VSBar1->Max(), verticalMax); // not reached
    }
};

TESSARIN_TEST(TestLayout)
#include "tst_layout.moc"
