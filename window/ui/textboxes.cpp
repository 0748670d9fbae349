#include "window/ui/textboxes.h"

#include "runtime/linebreaks.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QValidator>
#include <utility>

namespace {

// Refuses typing that would make the text longer than the limit; texts the
// program sets are not validated.
class MaxLengthValidator : public QValidator
{
public:
    MaxLengthValidator(int maxLength, QObject* parent)
        : QValidator(parent)
        , m_maxLength(maxLength)
    { }
    State validate(QString& input, int&) const override
    {
        return input.size() <= m_maxLength ? Acceptable : Invalid;
    }

private:
    int m_maxLength;
};

} // namespace

void TextBox::keyPressEvent(QKeyEvent* event)
{
    Q_EMIT KeyDown(Qt::Key(event->key()));
    QLineEdit::keyPressEvent(event);
}

TextBox::TextBox(int maxTypedLength, QWidget* parent)
    : QLineEdit(parent)
{
    setValidator(new MaxLengthValidator(maxTypedLength, this));
}

namespace {

// The text document takes every U+2029 and U+2028 for a line break of its own, so such a
// separator typed or pasted into a box is held there as a noncharacter, which Unicode leaves to
// a program's internal use.
constexpr char16_t HeldParagraphSeparator = 0xFDEF;
constexpr char16_t HeldLineSeparator = 0xFDEE;

// The text document takes about 5 microseconds for every paragraph it makes, so a paste of two
// million short lines would take ten seconds. A text of many lines is held in paragraphs of
// LinesPerParagraph lines instead, the lines within one broken by U+2028, which the box shows as
// line breaks all the same.
constexpr qsizetype ManyLines = 4096;
constexpr int LinesPerParagraph = 256;

QString held(QString text)
{
    text.replace(QChar::ParagraphSeparator, QChar(HeldParagraphSeparator))
        .replace(QChar::LineSeparator, QChar(HeldLineSeparator));
    if (text.count(u'\n') + text.count(u'\r') < ManyLines)
        return text;
    QString grouped;
    grouped.reserve(text.size());
    int line = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') {
            grouped += c;
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        grouped += ++line % LinesPerParagraph ? QChar(QChar::LineSeparator) : QChar(u'\n');
    }
    return grouped;
}

// A box's text, its line breaks already written out, as the string it stands for.
QString released(QString text)
{
    return text.replace(QChar(HeldParagraphSeparator), QChar::ParagraphSeparator)
        .replace(QChar(HeldLineSeparator), QChar::LineSeparator);
}

QMimeData* plainTextData(const QString& text)
{
    auto* data = new QMimeData;
    data->setText(text);
    return data;
}

} // namespace

MultiLineTextBox::MultiLineTextBox(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    // Qt shapes a line's text anew whenever it draws the line or places the cursor in it, unless
    // the line's layout keeps the result: the cursor's own line keeps it, the others are shaped
    // only when they are drawn. Only the line left and the line entered change, so a source of
    // millions of lines costs no more per key than one of a few (asking every line for its layout
    // would make one for each).
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        const QTextBlock current = textCursor().block();
        const QTextBlock left = document()->findBlockByNumber(m_shapedBlock);
        if (left.isValid() && left != current && left.layout())
            left.layout()->setCacheEnabled(false);
        current.layout()->setCacheEnabled(true);
        m_shapedBlock = current.blockNumber();
        holdCursorStill();
    });
}

MultiLineTextBox::~MultiLineTextBox()
{
    if (m_heldFlashTime >= 0)
        QGuiApplication::styleHints()->setCursorFlashTime(m_heldFlashTime);
}

// Every blink redraws the cursor's whole line, and drawing a pasted line of a million characters
// takes a good part of a core, for as long as the window stands idle. On such a line the cursor
// stays lit instead. Qt has one blinking time for all of its text boxes, so this box holds it at
// nought only while it has the focus.
void MultiLineTextBox::holdCursorStill()
{
    constexpr int LongLine = 10'000;
    const bool still = hasFocus() && textCursor().block().length() > LongLine;
    QStyleHints* hints = QGuiApplication::styleHints();
    if (still && m_heldFlashTime < 0) {
        m_heldFlashTime = hints->cursorFlashTime();
        hints->setCursorFlashTime(0);
    } else if (!still && m_heldFlashTime >= 0) {
        hints->setCursorFlashTime(std::exchange(m_heldFlashTime, -1));
    }
}

void MultiLineTextBox::focusInEvent(QFocusEvent* event)
{
    holdCursorStill();
    QPlainTextEdit::focusInEvent(event);
}

void MultiLineTextBox::focusOutEvent(QFocusEvent* event)
{
    holdCursorStill();
    QPlainTextEdit::focusOutEvent(event);
}

// The document's plain-text view would turn no-break spaces into spaces and line
// separators into line feeds; the raw text keeps them.
QString MultiLineTextBox::Text() const
{
    return released(WithCrLf(document()->toRawText()));
}

QString MultiLineTextBox::FirstLines(int count) const
{
    QString lines;
    for (QTextBlock block = document()->begin(); block.isValid() && count > 0;
         block = block.next()) {
        if (block != document()->begin())
            lines += QChar::ParagraphSeparator;
        const QString text = block.text();
        lines += text;
        count -= 1 + int(text.count(QChar::LineSeparator));
    }
    return released(WithCrLf(lines));
}

void MultiLineTextBox::SetText(const QString& text)
{
    if (text != Text())
        setPlainText(held(text));
}

void MultiLineTextBox::keyPressEvent(QKeyEvent* event)
{
    if ((event->text().contains(QChar::ParagraphSeparator)
            || event->text().contains(QChar::LineSeparator))
        && !isReadOnly()) {
        insertPlainText(held(event->text()));
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QMimeData* MultiLineTextBox::createMimeDataFromSelection() const
{
    return plainTextData(released(WithLineFeeds(textCursor().selectedText())));
}

void MultiLineTextBox::insertFromMimeData(const QMimeData* source)
{
    if (source->hasText())
        insertPlainText(held(source->text()));
}

OutputBox::OutputBox(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setTabChangesFocus(true);
}

void OutputBox::SetText(const QString& text)
{
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    cursor.endEditBlock();
    moveCursor(QTextCursor::Start);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

// The cursor reports line breaks as U+2029.
QString OutputBox::SelectedText() const
{
    return WithLineFeeds(textCursor().selectedText());
}

// Qt would add HTML, Markdown and ODF, which a word processor pastes with Qt's own
// paragraph styles; a character picture is plain text only.
QMimeData* OutputBox::createMimeDataFromSelection() const
{
    return plainTextData(SelectedText());
}

void OutputBox::SetReadOnly(bool readOnly)
{
    setReadOnly(readOnly);
    if (readOnly)
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void OutputBox::mousePressEvent(QMouseEvent* event)
{
    Q_EMIT MouseDown(event->button());
    QPlainTextEdit::mousePressEvent(event);
}

void OutputBox::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Menu && modifiers == Qt::NoModifier)
        || (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        event->accept();
        Q_EMIT MenuKey();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
