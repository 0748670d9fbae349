#include "window/ui/frmtessarin.h"

#include "runtime/twips.h"
#include "window/ui/picturebox.h"
#include "window/ui/scrollbar.h"
#include "window/ui/textboxes.h"

#include <QListWidget>
#include <QWheelEvent>

namespace {

// A control's place in twips, read and written one measure at a time. A width
// or height below zero is refused: that one control keeps its measure.
float leftOf(const QWidget* w)
{
    return float(PixelsToTwips(w->x()));
}
float topOf(const QWidget* w)
{
    return float(PixelsToTwips(w->y()));
}
float widthOf(const QWidget* w)
{
    return float(PixelsToTwips(w->width()));
}
float heightOf(const QWidget* w)
{
    return float(PixelsToTwips(w->height()));
}

void setLeft(QWidget* w, float twips)
{
    w->move(TwipsToPixels(twips), w->y());
}
void setTop(QWidget* w, float twips)
{
    w->move(w->x(), TwipsToPixels(twips));
}
void setWidth(QWidget* w, float twips)
{
    if (twips >= 0)
        w->resize(TwipsToPixels(twips), w->height());
}
void setHeight(QWidget* w, float twips)
{
    if (twips >= 0)
        w->resize(w->width(), TwipsToPixels(twips));
}

// The width of a box that begins at left: it ends on the pixel where the next box, at
// left + twips, begins, so neighbours meet however their edges round to pixels.
void setWidthFrom(QWidget* w, float left, float twips)
{
    if (twips >= 0)
        w->resize(TwipsToPixels(left + twips) - TwipsToPixels(left), w->height());
}

// A bar is usable only where the picture is larger than the viewport; its range runs from 0
// down to minus the part that does not fit. False when the bar refuses the viewport as its page.
bool fitBar(ScrollBar& bar, int picture, int viewport)
{
    if (picture <= viewport) {
        bar.SetValue(0);
        bar.setEnabled(false);
        return true;
    }
    bar.setEnabled(true);
    bar.SetMax(viewport - picture);
    return bar.SetLargeChange(viewport);
}

constexpr float BandHeight = 900;
constexpr float BarThickness = 240;
constexpr float EdgeGap = 45;
constexpr float BarInset = 30;

} // namespace

void FrmTessarin::Form_Resize()
{
    if (isMinimized())
        return;
    const float W = float(PixelsToTwips(width()));
    const float H = float(PixelsToTwips(height()));
    const float T = W / 3;

    setWidthFrom(TxtSrc, 0, T);
    setHeight(TxtSrc, BandHeight);
    setLeft(TxtView1, T);
    setWidthFrom(TxtView1, T, T);
    setLeft(TxtView2, T + T);
    setWidthFrom(TxtView2, T + T, T);
    setHeight(ListFontName, H - topOf(ListFontName));
    setWidth(Pic1, W - leftOf(Pic1) - BarThickness - EdgeGap);
    setHeight(Pic1, H - topOf(Pic1) - BarThickness - EdgeGap);
    setTop(HSBar1, topOf(Pic1) + heightOf(Pic1));
    setWidth(HSBar1, widthOf(Pic1) - BarInset);
    setLeft(VSBar1, leftOf(Pic1) + widthOf(Pic1));
    setHeight(VSBar1, heightOf(Pic1) - BarInset);
    LayoutPreview();
    setWidth(TxtOut, W - leftOf(TxtOut));
    setHeight(TxtOut, H - topOf(TxtOut));
}

void FrmTessarin::LayoutPreview()
{
    if (fitBar(*HSBar1, Pic2->width(), Pic1->ScaleWidth()))
        fitBar(*VSBar1, Pic2->height(), Pic1->ScaleHeight());
}

void FrmTessarin::HSBar1_Change()
{
    Pic2->move(HSBar1->Value(), Pic2->y());
}

void FrmTessarin::HSBar1_Scroll()
{
    HSBar1_Change();
}

void FrmTessarin::VSBar1_Change()
{
    Pic2->move(Pic2->x(), VSBar1->Value());
}

void FrmTessarin::VSBar1_Scroll()
{
    VSBar1_Change();
}

// The wheel scrolls the preview up and down, sideways with Shift held or with a sideways
// wheel, as the bars would.
bool FrmTessarin::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Pic1 || event->type() != QEvent::Wheel)
        return QWidget::eventFilter(watched, event);
    const auto* wheel = static_cast<QWheelEvent*>(event);
    const QPoint angle = wheel->angleDelta();
    HSBar1->TurnWheel(angle.x());
    if (wheel->modifiers() & Qt::ShiftModifier)
        HSBar1->TurnWheel(angle.y());
    else
        VSBar1->TurnWheel(angle.y());
    return true;
}
