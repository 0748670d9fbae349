#pragma once

#include <QScrollBar>

// A scroll bar whose range runs from 0 at its left (or top) end to Max at the other,
// where Max may lie below 0: the value then falls as the thumb moves right (or down),
// and the arrows and the trough step towards Max as usual.
class ScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    ScrollBar(Qt::Orientation orientation, QWidget* parent);

    int Max() const { return m_max; }
    // A value outside the new range moves to its nearest end and reports a change.
    void SetMax(int max);
    // While the thumb is dragged, the value is where the thumb stands.
    int Value() const { return sliderPosition() * direction(); }
    void SetValue(int value);
    // A step below 1 is refused: the bar keeps its step and the call returns false.
    bool SetLargeChange(int step);
    // Moves by a turn of the mouse wheel, in eighths of a degree: away from the user (or to
    // the left) towards the start end. A notch moves several pixels, never more than a page.
    void TurnWheel(int eighthsOfDegree);

Q_SIGNALS:
    // The value has changed, by whatever means.
    void Change();
    // The thumb is being dragged.
    void Scroll();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int direction() const { return m_max < 0 ? -1 : 1; }

    int m_max = 0;
    int m_wheelRest = 0;
};
