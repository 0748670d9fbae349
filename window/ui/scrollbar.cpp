#include "window/ui/scrollbar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStyleOptionSlider>
#include <QStylePainter>
#include <QWheelEvent>

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{
    setFocusPolicy(Qt::TabFocus);
    setRange(0, 0);
    // A dragged thumb reports Scroll as it moves and Change once, where it is let go.
    setTracking(false);
    connect(this, &QScrollBar::valueChanged, this, &ScrollBar::Change);
    connect(this, &QScrollBar::sliderMoved, this, &ScrollBar::Scroll);
}

// The Qt bar always counts from 0 at the start end up to |Max| at the far end; the
// value it shows is mapped to and from that count.
void ScrollBar::SetMax(int max)
{
    const int kept = Value();
    m_max = max;
    const int value = std::clamp(kept, std::min(0, max), std::max(0, max));
    {
        const QSignalBlocker quiet(this);
        setRange(0, std::abs(max));
        setValue(value * direction());
    }
    if (value != kept)
        Q_EMIT Change();
}

void ScrollBar::SetValue(int value)
{
    setValue(std::clamp(value, std::min(0, m_max), std::max(0, m_max)) * direction());
}

bool ScrollBar::SetLargeChange(int step)
{
    if (step < 1)
        return false;
    setPageStep(step);
    return true;
}

// Qt's bars take Left and Right the way they take the wheel, which for a horizontal bar
// moves the thumb against the arrow pressed.
void ScrollBar::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (orientation() != Qt::Horizontal || (key != Qt::Key_Left && key != Qt::Key_Right)) {
        QScrollBar::keyPressEvent(event);
        return;
    }
    const bool towardsEnd = (key == Qt::Key_Right) != isRightToLeft();
    triggerAction(towardsEnd ? SliderSingleStepAdd : SliderSingleStepSub);
    event->accept();
}

void ScrollBar::TurnWheel(int eighthsOfDegree)
{
    // Qt's own step, three pixels a notch, takes hundreds of notches across a large picture.
    constexpr int WheelLine = 16;
    constexpr int Notch = 120;
    if (!isEnabled())
        return;
    // A fine-grained wheel sends fractions of a notch; they add up.
    m_wheelRest += eighthsOfDegree * QApplication::wheelScrollLines() * WheelLine;
    const int pixels = m_wheelRest / Notch;
    m_wheelRest -= pixels * Notch;
    setValue(value() - std::clamp(pixels, -pageStep(), pageStep()));
}

void ScrollBar::wheelEvent(QWheelEvent* event)
{
    const QPoint angle = event->angleDelta();
    TurnWheel(angle.y() != 0 ? angle.y() : angle.x());
    event->accept();
}

// A bar that cannot be operated shows no thumb. Qt's styles show no focus on a bar; this one
// is framed in the selection colour while the arrow keys go to it.
void ScrollBar::paintEvent(QPaintEvent* event)
{
    if (isEnabled())
        QScrollBar::paintEvent(event);
    QStylePainter painter(this);
    if (!isEnabled()) {
        QStyleOptionSlider option;
        initStyleOption(&option);
        option.subControls = QStyle::SubControls(QStyle::SC_All) & ~QStyle::SC_ScrollBarSlider;
        painter.drawComplexControl(QStyle::CC_ScrollBar, option);
    }
    if (hasFocus()) {
        constexpr int Width = 2;
        QPen pen(palette().color(QPalette::Highlight), Width);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}
