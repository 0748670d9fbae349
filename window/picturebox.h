#pragma once

#include <QFont>
#include <QFrame>
#include <QImage>

// A picture box with a persistent image: what is drawn into it stays until it is
// drawn over, is shown on screen, and can be read back pixel by pixel. Inside it
// everything is measured in pixels; its inner area is its size less its border.
class PictureBox : public QFrame
{
    Q_OBJECT

public:
    enum Border { NoBorder, SunkenBorder };

    PictureBox(Border border, QWidget* parent);

    // Size of the drawing area, in pixels.
    int ScaleWidth() const { return Image().width(); }
    int ScaleHeight() const { return Image().height(); }
    // Gives the drawing area this size; the widget grows by its border. What was
    // drawn is kept where it still fits, new area gets the background colour.
    void SetInnerSize(int width, int height);

    const QImage& Image() const
    {
        fitImageToWidget();
        return m_image;
    }
    // The image to draw into.
    QImage& hDC()
    {
        fitImageToWidget();
        return m_image;
    }

    QColor BackColor() const { return m_backColor; }
    void SetBackColor(const QColor& colour);

    // With AutoSize the box takes the size of every picture it is given. A null
    // picture keeps the size and shows only the background colour.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool on) { m_autoSize = on; }
    const QImage& Picture() const { return m_picture; }
    void SetPicture(const QImage& picture);

    // The font the preview is drawn in; size in points at 96 dots per inch.
    QFont& Font() { return m_font; }
    const QFont& Font() const { return m_font; }

    void Refresh();

    // The widget whose children lie inside the border, in inner pixel coordinates.
    QWidget* Container();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // A hidden widget learns of its new size only when shown, so the image follows
    // the widget's geometry whenever it is used rather than on resize events alone.
    void fitImageToWidget() const;

    mutable QImage m_image;
    QImage m_picture;
    QColor m_backColor;
    QFont m_font;
    bool m_autoSize = false;
    QWidget* m_container = nullptr;
};
