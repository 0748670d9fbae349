#include "window/vbwidgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QValidator>

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

TextBox::TextBox(int maxTypedLength, QWidget* parent)
    : QLineEdit(parent)
    , m_maxTypedLength(maxTypedLength)
{
    setValidator(new MaxLengthValidator(maxTypedLength, this));
}

MultiLineTextBox::MultiLineTextBox(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

void MultiLineTextBox::SetText(const QString& text)
{
    if (text != toPlainText())
        setPlainText(text);
}

OutputBox::OutputBox(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setContextMenuPolicy(Qt::PreventContextMenu);
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
    int shift = 0;
    if (event->modifiers() & Qt::ShiftModifier)
        shift |= 1;
    if (event->modifiers() & Qt::ControlModifier)
        shift |= 2;
    if (event->modifiers() & Qt::AltModifier)
        shift |= 4;
    const QPoint at = event->position().toPoint();
    Q_EMIT MouseDown(button, shift, at.x(), at.y());
    QPlainTextEdit::mousePressEvent(event);
}

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QScrollBar::valueChanged, this, &ScrollBar::Change);
    connect(this, &QScrollBar::sliderMoved, this, &ScrollBar::Scroll);
}

void ScrollBar::SetMin(int min)
{
    m_min = min;
    applyRange();
}

void ScrollBar::SetMax(int max)
{
    m_max = max;
    applyRange();
}

void ScrollBar::applyRange()
{
    const bool downwards = m_max < m_min;
    setInvertedAppearance(downwards);
    setRange(std::min(m_min, m_max), std::max(m_min, m_max));
}
