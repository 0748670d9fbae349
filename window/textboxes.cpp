#include "window/textboxes.h"

#include "output/resultfile.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextDocument>
#include <QValidator>

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

// The text document takes every U+2029 for a line break of its own, so a paragraph
// separator typed or pasted into a box is held there as a noncharacter, which Unicode
// leaves to a program's internal use.
constexpr char16_t HeldParagraphSeparator = 0xFDEF;

QString held(QString text)
{
    return text.replace(QChar::ParagraphSeparator, QChar(HeldParagraphSeparator));
}

// A box's text as the string it stands for, each line break written as lineBreak.
QString released(QStringView boxText, QStringView lineBreak)
{
    QString text;
    text.reserve(boxText.size());
    for (const QChar c : boxText) {
        if (c == QChar::ParagraphSeparator)
            text += lineBreak;
        else if (c == HeldParagraphSeparator)
            text += QChar::ParagraphSeparator;
        else
            text += c;
    }
    return text;
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
}

// The document's plain-text view would turn no-break spaces into spaces and line
// separators into line feeds; the raw text keeps them.
QString MultiLineTextBox::Text() const
{
    return released(document()->toRawText(), u"\r\n");
}

void MultiLineTextBox::SetText(const QString& text)
{
    if (text != Text())
        setPlainText(held(text));
}

void MultiLineTextBox::keyPressEvent(QKeyEvent* event)
{
    if (event->text().contains(QChar::ParagraphSeparator) && !isReadOnly()) {
        insertPlainText(held(event->text()));
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QMimeData* MultiLineTextBox::createMimeDataFromSelection() const
{
    return plainTextData(released(textCursor().selectedText(), u"\n"));
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
    setPlainText(text);
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

void OutputBox::mousePressEvent(QMouseEvent* event)
{
    Q_EMIT MouseDown(event->button());
    QPlainTextEdit::mousePressEvent(event);
}
