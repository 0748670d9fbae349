#include "runtime/twips.h"
#include "support/scriptedservices.h"
#include "window/frmtessarin.h"
#include "window/picturebox.h"
#include "window/scrollbar.h"
#include "window/textboxes.h"

#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

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

    // At the design size, a picture of the viewport's inner width plus extra; gives that width.
    int pictureWider(int extra, int height = 10)
    {
        clientArea(312, 213);
        const int inner = w->Pic1->ScaleWidth();
        w->Pic2->SetInnerSize(inner + extra, height);
        w->LayoutPreview();
        return inner;
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
        QTest::newRow("design size, 4680 twips")
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
        QList<int> measured {w->TxtSrc->width(), w->TxtView2->x(), w->Pic1->width(),
            w->Pic1->height(), w->TxtOut->width(), w->TxtOut->height(), w->ListFontName->height()};
        for (int& pixels : measured)
            pixels *= 15;
        QCOMPARE(measured, twips);
        // The band's three boxes meet without a gap and fill the width.
        QCOMPARE(w->TxtView1->x(), w->TxtSrc->geometry().right() + 1);
        QCOMPARE(w->TxtView2->x(), w->TxtView1->geometry().right() + 1);
        QCOMPARE(w->TxtView2->geometry().right() + 1, client.width());
        QCOMPARE(w->TxtSrc->height(), 60);
        // The bars run along the viewport, 30 twips short of its sides.
        QCOMPARE(w->HSBar1->y(), w->Pic1->y() + w->Pic1->height());
        QCOMPARE(w->HSBar1->width(), w->Pic1->width() - 2);
        QCOMPARE(w->VSBar1->x(), w->Pic1->x() + w->Pic1->width());
        QCOMPARE(w->VSBar1->height(), w->Pic1->height() - 2);
    }

    // Below 2085 twips of width the viewport's new width would be negative: it keeps
    // its last width, the bar follows the kept width, the output box still fits.
    void narrowWindowKeepsRefusedWidths()
    {
        clientArea(312, 213);
        const int viewport = w->Pic1->width();
        clientArea(133, 213); // 1995 twips
        QCOMPARE(w->Pic1->width(), viewport);
        QCOMPARE(w->HSBar1->width(), viewport - 2);
        QCOMPARE(w->TxtOut->width(), 13); // 1995 - 1800 twips
        QCOMPARE(w->TxtSrc->width(), 44); // a third of 1995, on whole pixels
        clientArea(100, 213); // the output box too would be negative now
        QCOMPARE(w->TxtOut->width(), 13);
    }

    void minimizedMovesNothing()
    {
        clientArea(312, 213);
        w->setWindowState(Qt::WindowMinimized);
        clientArea(640, 480);
        QCOMPARE(w->TxtOut->width(), 192);
        w->setWindowState(Qt::WindowNoState);
        QCOMPARE(w->TxtOut->width(), 520);
    }

    void scrollingMovesThePicture()
    {
        pictureWider(0);
        QVERIFY(!w->HSBar1->isEnabled());
        int inner = pictureWider(1);
        QVERIFY(w->HSBar1->isEnabled() && !w->VSBar1->isEnabled());
        QCOMPARE(w->HSBar1->Max(), -1);
        QCOMPARE(w->HSBar1->pageStep(), inner);

        inner = pictureWider(100, 1000);
        QCOMPARE(w->HSBar1->Max(), -100);
        // To the far end: the picture's last column is the viewport's last, and the thumb
        // stands at the right end.
        w->HSBar1->SetValue(-100);
        QCOMPARE(w->Pic2->x() + w->Pic2->width(), inner);
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

        // A dragged thumb moves the picture before the value changes on release.
        QSignalSpy dragging(w->HSBar1, &ScrollBar::Scroll);
        w->HSBar1->setTracking(false);
        w->HSBar1->setSliderDown(true);
        w->HSBar1->setSliderPosition(40);
        QCOMPARE(dragging.count(), 1);
        QCOMPARE(w->Pic2->x(), -40);
        w->HSBar1->setSliderDown(false);
        QCOMPARE(w->HSBar1->Value(), -40);
    }

    void enlargingPullsTheScrolledPictureBack()
    {
        pictureWider(100);
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
        pictureWider(300, 400);
        const int step = w->HSBar1->pageStep();
        const int verticalMax = w->VSBar1->Max();
        w->Pic1->resize(4, 4); // the border alone
        w->LayoutPreview();
        QCOMPARE(w->HSBar1->Max(), -w->Pic2->width());
        QCOMPARE(w->HSBar1->pageStep(), step); // refused; the old step stays
        QCOMPARE(w->VSBar1->Max(), verticalMax); // not reached
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"