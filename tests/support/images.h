#pragma once

#include <QBuffer>
#include <QImage>

// Picture helpers shared by the tests that decode pictures.
namespace testsupport {

// A picture whose pixel at x, y is colour(x, y).
template <typename Colour>
QImage painted(QSize size, Colour colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage picture(size, format);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, colour(x, y));
    return picture;
}

// The picture as a file of the given format would hold it.
inline QByteArray encoded(const QImage& picture, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, format))
        qFatal("cannot encode a %s test picture", format);
    return bytes;
}

} // namespace testsupport
