#include "window/ui/buttons.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

void setColour(QWidget& widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette p = widget.palette();
    p.setColor(role, colour);
    widget.setPalette(p);
}

} // namespace

Label::Label(const QString& caption, QWidget* parent)
    : QLabel(caption, parent)
{
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAutoFillBackground(true);
    SetBackColor(palette().color(QPalette::Button));
}

void Label::SetBackColor(const QColor& colour)
{
    setColour(*this, QPalette::Window, colour);
}

void Label::SetForeColor(const QColor& colour)
{
    setColour(*this, QPalette::WindowText, colour);
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

void TabLabel::SetSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
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
    // From the button's own palette: the option's has just had every group's text colour set.
    if (checkState() == Qt::PartiallyChecked)
        option.palette.setColor(
            QPalette::ButtonText, palette().color(QPalette::Disabled, QPalette::ButtonText));
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

// Outside a dialog Qt's buttons take Enter only as a dialog's default button; this one takes it
// wherever it has the focus. A held key presses it once.
void CommandButton::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QPushButton::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat())
        click();
}

void CommandButton::mouseReleaseEvent(QMouseEvent* event)
{
    m_mouseClick = true;
    QPushButton::mouseReleaseEvent(event);
    m_mouseClick = false;
}
