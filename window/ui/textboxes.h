#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>

// A single-line field that takes at most a given number of typed characters; the
// program may still set a longer text.
class TextBox : public QLineEdit
{
    Q_OBJECT

public:
    TextBox(int maxTypedLength, QWidget* parent);

Q_SIGNALS:
    // A key was pressed in the field, which still receives it.
    void KeyDown(Qt::Key key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
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
    // The same, of the first count lines only: a box of millions of lines gives the few that
    // can be drawn without copying all of them.
    QString FirstLines(int count) const;
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
    int m_shapedBlock = -1; // the line whose layout keeps its shaping: the cursor's
};

// The output box: plain text without wrapping, which reports every mouse button
// pressed over it and the keys that ask for a context menu, and has no context menu of its
// own (the window supplies one). Tab moves the focus on; a copy, however made, is plain text.
class OutputBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit OutputBox(QWidget* parent);
    // Replaces the whole text and shows it from its start: the first row from its first
    // column, the caret before the first character. One undo brings the old text back.
    void SetText(const QString& text);
    // Read-only, the box still lets the keyboard move the caret and select, to copy.
    void SetReadOnly(bool readOnly);
    // The selection as the clipboard takes it, with LF line breaks.
    QString SelectedText() const;

Q_SIGNALS:
    void MouseDown(Qt::MouseButton button);
    // The Menu key or Shift+F10 was pressed.
    void MenuKey();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
};
