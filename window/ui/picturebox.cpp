#include "window/ui/picturebox.h"

#include "window/blankpicture.h"

#include <QApplication>
#include <QPainter>

PictureBox::PictureBox(Border border, QWidget* parent)
    : QFrame(parent)
    , m_backColor(palette().color(QPalette::Button))
    , m_border(border)
{
    if (border == SunkenBorder) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
    }
    m_image = BlankPicture(0, 0, m_backColor);
}

void PictureBox::SetInnerSize(int width, int height)
{
    const int frame = 2 * frameWidth();
    resize(std::max(width, 0) + frame, std::max(height, 0) + frame);
    fitImageToWidget();
}

void PictureBox::SetBackColor(const QColor& colour)
{
    m_backColor = colour;
    m_image.fill(colour);
    update();
}

void PictureBox::SetPicture(const QImage& picture)
{
    m_picture = picture;
    if (m_autoSize && !picture.isNull())
        SetInnerSize(picture.width(), picture.height());
    m_image.fill(m_backColor);
    if (!picture.isNull()) {
        QPainter painter(&m_image);
        painter.drawImage(0, 0, picture);
    }
    update();
}

void PictureBox::Refresh()
{
    update();
}

QWidget* PictureBox::Container()
{
    if (!m_container) {
        m_container = new QWidget(this);
        m_container->setGeometry(contentsRect());
        m_container->show();
    }
    return m_container;
}

void PictureBox::SetSizedName(const QString& name)
{
    m_sizedName = name;
    updateSizedName();
}

void PictureBox::updateSizedName()
{
    if (!m_sizedName.isEmpty())
        setAccessibleName(
            QStringLiteral("%1 %2 × %3").arg(m_sizedName).arg(ScaleWidth()).arg(ScaleHeight()));
}

// The picture inside a box has no border of its own: the box's border shows where the focus is
// for both, drawn in the selection colour over the sunken bevel.
void PictureBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), Image());
    if (frameWidth() > 0 && focusWithin()) {
        const int width = frameWidth();
        QPen pen(palette().color(QPalette::Highlight), width);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(
            QRectF(rect()).adjusted(width / 2.0, width / 2.0, -width / 2.0, -width / 2.0));
    }
}

bool PictureBox::focusWithin() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

void PictureBox::updateFocusFrames()
{
    for (QWidget* widget = this; widget; widget = widget->parentWidget())
        if (auto* box = qobject_cast<PictureBox*>(widget))
            box->update();
}

void PictureBox::focusInEvent(QFocusEvent* event)
{
    QFrame::focusInEvent(event);
    updateFocusFrames();
}

void PictureBox::focusOutEvent(QFocusEvent* event)
{
    QFrame::focusOutEvent(event);
    updateFocusFrames();
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    fitImageToWidget();
    if (m_container)
        m_container->setGeometry(contentsRect());
}

void PictureBox::fitImageToWidget()
{
    const QSize inner = contentsRect().size().expandedTo(QSize(0, 0));
    if (inner == m_image.size())
        return;
    QImage grown = BlankPicture(inner.width(), inner.height(), m_backColor);
    if (!m_image.isNull()) {
        QPainter painter(&grown);
        painter.drawImage(0, 0, m_image);
    }
    m_image = grown;
    updateSizedName();
    update();
}
