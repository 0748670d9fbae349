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
    QString Text() const;
    // Replaces the text; nothing happens, and no change is reported, when it is the same.
    void SetText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
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
