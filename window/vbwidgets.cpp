#include "window/vbwidgets.h"

#include "output/resultfile.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleHints>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>
#include <QStylePainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QValidator>
#include <QWheelEvent>
#include <utility>

Label::Label(const QString& caption, QWidget* parent)
    : QLabel(caption, parent)
    , m_backColor(palette().color(QPalette::Button))
{
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void Label::SetBackColor(const QColor& colour)
{
    m_backColor = colour;
    update();
}

QColor Label::ForeColor() const
{
    return palette().color(QPalette::WindowText);
}

void Label::SetForeColor(const QColor& colour)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
}

void Label::SetBackStyle(int style)
{
    m_backStyle = style;
    update();
}

void Label::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT Click();
}

void Label::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLabel::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT DblClick();
}

void Label::paintEvent(QPaintEvent* event)
{
    if (m_backStyle != 0) {
        QPainter painter(this);
        painter.fillRect(rect(), m_backColor);
    }
    QLabel::paintEvent(event);
}

CheckBox::CheckBox(const QString& caption, Look look, QWidget* parent)
    : QCheckBox(caption, parent)
    , m_look(look)
{ }

int CheckBox::Value() const
{
    switch (checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::Checked:
        return 1;
    default:
        return 2;
    }
}

void CheckBox::SetValue(int value)
{
    if (value == 2)
        setTristate(true);
    setCheckState(value == 0 ? Qt::Unchecked : value == 1 ? Qt::Checked : Qt::PartiallyChecked);
}

void CheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void CheckBox::paintEvent(QPaintEvent* event)
{
    if (m_look == BoxLook) {
        QCheckBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = text();
    if (isDown() || checkState() != Qt::Unchecked)
        option.state |= QStyle::State_Sunken;
    if (checkState() == Qt::Checked)
        option.state |= QStyle::State_On;
    // A sunken bevel alone is a shade darker than a raised one; the selection colour makes a
    // pressed button plain to see.
    if (checkState() != Qt::Unchecked) {
        option.palette.setColor(QPalette::Button, option.palette.color(QPalette::Highlight));
        option.palette.setColor(
            QPalette::ButtonText, option.palette.color(QPalette::HighlightedText));
    }
    if (checkState() == Qt::PartiallyChecked)
        option.palette.setColor(
            QPalette::ButtonText, option.palette.color(QPalette::Disabled, QPalette::ButtonText));
    painter.drawControl(QStyle::CE_PushButton, option);
}

bool CheckBox::hitButton(const QPoint& pos) const
{
    return m_look == ButtonLook ? rect().contains(pos) : QCheckBox::hitButton(pos);
}

CommandButton::CommandButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent)
{ }

void CommandButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    if (isDown())
        painter.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
            style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    painter.drawItemText(rect(), Qt::AlignCenter | Qt::TextWordWrap, option.palette, isEnabled(),
        text(), QPalette::ButtonText);
}

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

namespace {

int modifierBits(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

// The window system's virtual key code of a key, where it has one.
int virtualKeyCode(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Delete:
        return 46;
    default:
        if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
            return key;
        return 0;
    }
}

} // namespace

void TextBox::keyPressEvent(QKeyEvent* event)
{
    Q_EMIT KeyDown(virtualKeyCode(event->key()), modifierBits(event->modifiers()));
    QLineEdit::keyPressEvent(event);
}

TextBox::TextBox(int maxTypedLength, QWidget* parent)
    : QLineEdit(parent)
    , m_maxTypedLength(maxTypedLength)
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
    // Qt shapes a line's text anew whenever it draws the line or places the cursor in it, unless
    // the line's layout keeps the result: the cursor's own line keeps it, the others are shaped
    // only when they are drawn.
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        const QTextBlock current = textCursor().block();
        for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
            block.layout()->setCacheEnabled(block == current);
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
    int button = 0;
    switch (event->button()) {
    case Qt::LeftButton:
        button = 1;
        break;
    case Qt::RightButton:
        button = 2;
        break;
    case Qt::MiddleButton:
        button = 4;
        break;
    default:
        break;
    }
    const QPoint at = event->position().toPoint();
    Q_EMIT MouseDown(button, modifierBits(event->modifiers()), at.x(), at.y());
    QPlainTextEdit::mousePressEvent(event);
}

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{
    setFocusPolicy(Qt::TabFocus);
    setRange(0, 0);
    connect(this, &QScrollBar::valueChanged, this, &ScrollBar::Change);
    connect(this, &QScrollBar::sliderMoved, this, &ScrollBar::Scroll);
}

// The Qt bar always counts from 0 at the start end up to |Max - Min| at the far
// end; the value it shows is mapped to and from that count.
void ScrollBar::SetMin(int min)
{
    const int kept = Value();
    m_min = min;
    applyRange(kept);
}

void ScrollBar::SetMax(int max)
{
    const int kept = Value();
    m_max = max;
    applyRange(kept);
}

void ScrollBar::SetValue(int value)
{
    const int low = std::min(m_min, m_max), high = std::max(m_min, m_max);
    setValue((std::clamp(value, low, high) - m_min) * direction());
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

// A bar that cannot be operated shows no thumb.
void ScrollBar::paintEvent(QPaintEvent* event)
{
    if (isEnabled()) {
        QScrollBar::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SubControls(QStyle::SC_All) & ~QStyle::SC_ScrollBarSlider;
    painter.drawComplexControl(QStyle::CC_ScrollBar, option);
}

void ScrollBar::applyRange(int keptValue)
{
    const int low = std::min(m_min, m_max), high = std::max(m_min, m_max);
    const int value = std::clamp(keptValue, low, high);
    {
        const QSignalBlocker quiet(this);
        setRange(0, high - low);
        setValue((value - m_min) * direction());
    }
    if (value != keptValue)
        Q_EMIT Change();
}
