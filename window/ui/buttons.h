#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

// A label that reports clicks and double clicks. With autoFillBackground (on at first) its
// background colour fills it; without, the parent shows through.
class Label : public QLabel
{
    Q_OBJECT

public:
    Label(const QString& caption, QWidget* parent);

    QColor BackColor() const { return palette().color(QPalette::Window); }
    void SetBackColor(const QColor& colour);
    QColor ForeColor() const { return palette().color(QPalette::WindowText); }
    void SetForeColor(const QColor& colour);

Q_SIGNALS:
    void Click();
    void DblClick();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// A label that acts as one of a set of page tabs: screen readers see a tab, named by its
// caption, selected while its page is shown, which their "press" action brings forward.
class TabLabel : public Label
{
    Q_OBJECT

public:
    using Label::Label;

    bool Selected() const { return m_selected; }
    void SetSelected(bool selected);

private:
    bool m_selected = false;
};

// A check box whose value is 0 (unchecked), 1 (checked) or 2 (greyed). Only the
// program sets the greyed value; a click on a greyed box checks it. With
// ButtonLook it is drawn as a push button that stays pressed while not unchecked.
class CheckBox : public QCheckBox
{
    Q_OBJECT

public:
    enum Look { BoxLook, ButtonLook };
    CheckBox(const QString& caption, Look look, QWidget* parent);

    int Value() const;
    void SetValue(int value);

protected:
    void nextCheckState() override;
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    Look m_look;
};

// A push button whose caption wraps onto further lines when the button is too
// narrow for it, so a tall narrow button shows its characters one above the other.
// Enter presses it as Space does.
class CommandButton : public QPushButton
{
    Q_OBJECT

public:
    CommandButton(const QString& caption, QWidget* parent);

    // True while the click being reported comes from the mouse, false for a key or a program.
    bool ClickedByMouse() const { return m_mouseClick; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_mouseClick = false;
};
