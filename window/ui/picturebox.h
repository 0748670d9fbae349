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
    int ScaleWidth() const { return std::max(contentsRect().width(), 0); }
    int ScaleHeight() const { return std::max(contentsRect().height(), 0); }
    // Gives the drawing area this size; the widget grows by its border. What was
    // drawn is kept where it still fits, new area gets the background colour.
    void SetInnerSize(int width, int height);

    // The image takes the drawing area's size where the box is sized: in SetInnerSize, or,
    // when it is resized from outside, once it is told (a hidden widget is told when shown).
    const QImage& Image() const { return m_image; }
    // The image to draw into.
    QImage& hDC() { return m_image; }

    QColor BackColor() const { return m_backColor; }
    void SetBackColor(const QColor& colour);

    // With AutoSize the box takes the size of every picture it is given. A null
    // picture keeps the size and shows only the background colour.
    void SetAutoSize(bool on) { m_autoSize = on; }
    const QImage& Picture() const { return m_picture; }
    void SetPicture(const QImage& picture);

    // The font the preview is drawn in; size in points at 96 dots per inch.
    QFont& Font() { return m_font; }
    const QFont& Font() const { return m_font; }

    void Refresh();

    // The widget whose children lie inside the border, in inner pixel coordinates.
    QWidget* Container();

    Border BorderStyle() const { return m_border; }
    // Screen readers hear the box by this name followed by its inner size, "W × H".
    void SetSizedName(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void fitImageToWidget();
    void updateSizedName();
    bool focusWithin() const;
    void updateFocusFrames();

    QImage m_image;
    QImage m_picture;
    QColor m_backColor;
    QFont m_font;
    bool m_autoSize = false;
    QWidget* m_container = nullptr;
    Border m_border;
    QString m_sizedName;
};
