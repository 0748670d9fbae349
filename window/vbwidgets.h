#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

// A label that reports clicks and double clicks, with an opaque or transparent
// background in a colour of its own.
class Label : public QLabel
{
    Q_OBJECT

public:
    Label(const QString& caption, QWidget* parent);

    QColor BackColor() const { return m_backColor; }
    void SetBackColor(const QColor& colour);
    QColor ForeColor() const;
    void SetForeColor(const QColor& colour);
    // 1: the background colour fills the label; 0: the parent shows through.
    int BackStyle() const { return m_backStyle; }
    void SetBackStyle(int style);

Q_SIGNALS:
    void Click();
    void DblClick();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_backColor;
    int m_backStyle = 1;
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
class CommandButton : public QPushButton
{
    Q_OBJECT

public:
    CommandButton(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A single-line field that takes at most a given number of typed characters; the
// program may still set a longer text.
class TextBox : public QLineEdit
{
    Q_OBJECT

public:
    TextBox(int maxTypedLength, QWidget* parent);
    int MaxLength() const { return m_maxTypedLength; }

Q_SIGNALS:
    // A key was pressed in the field: its virtual key code and the modifiers
    // (1 Shift, 2 Ctrl, 4 Alt). The field still receives the key.
    void KeyDown(int keyCode, int shift);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_maxTypedLength;
};

// A multi-line text box whose lines never wrap. Its text is every character typed,
// pasted or set, each as it came, with a line break as CR LF; Tab moves the focus on.
class MultiLineTextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit MultiLineTextBox(QWidget* parent);
    ~MultiLineTextBox() override;
    QString Text() const;
    // Replaces the text; nothing happens, and no change is reported, when it is the same.
    void SetText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void holdCursorStill();

    int m_heldFlashTime = -1; // the application's blinking time while this box holds it
};

// The output box: plain text without wrapping, which reports every mouse button
// pressed over it and has no context menu of its own (the window supplies one).
// Tab moves the focus on; a copy, however made, is plain text.
class OutputBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit OutputBox(QWidget* parent);
    // Replaces the whole text and shows it from its start: the first row from its first
    // column, the caret before the first character.
    void SetText(const QString& text);
    // The selection as the clipboard takes it, with LF line breaks.
    QString SelectedText() const;

Q_SIGNALS:
    // button: 1 left, 2 right, 4 middle.
    void MouseDown(int button, int shift, int x, int y);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
};

// A scroll bar whose range runs from Min at its left (or top) end to Max at the
// other, where Max may lie below Min: the value then falls as the thumb moves
// right (or down), and the arrows and the trough step towards Max as usual.
class ScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    ScrollBar(Qt::Orientation orientation, QWidget* parent);

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    // A value outside the new range moves to its nearest end and reports a change.
    void SetMin(int min);
    void SetMax(int max);
    // While the thumb is dragged, the value is where the thumb stands.
    int Value() const { return m_min + sliderPosition() * direction(); }
    void SetValue(int value);
    int SmallChange() const { return singleStep(); }
    void SetSmallChange(int step) { setSingleStep(step); }
    int LargeChange() const { return pageStep(); }
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
    int direction() const { return m_max < m_min ? -1 : 1; }
    void applyRange(int keptValue);

    int m_min = 0;
    int m_max = 0;
    int m_wheelRest = 0;
};
