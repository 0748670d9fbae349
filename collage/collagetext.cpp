#include "collage/collagetext.h"

#include "runtime/codepage.h"

namespace {

const QLatin1String CrLf("\r\n");

bool isTrimmed(QChar c)
{
    return c == QChar(0x20) || c == QChar(0x3000);
}

template <class IsLight>
void appendRows(QString& text, const QImage& image, const CollageOptions& options, qsizetype& ruler,
    IsLight isLight)
{
    for (int y = 0; y < image.height(); ++y) {
        text.append(CrLf);
        const qsizetype rowStart = text.size();
        const auto* pixels = reinterpret_cast<const quint32*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            text.append(isLight(ColourOf(pixels[x])) ? options.space : options.display);
        if (options.trim) {
            qsizetype end = text.size();
            while (end > rowStart && isTrimmed(text.at(end - 1)))
                --end;
            text.truncate(end);
        }
        if (options.keepWidth)
            ruler = std::max(ruler, AnsiByteLength(QStringView(text).sliced(rowStart)));
    }
}

} // namespace

QString CollageText(const QImage& picture, const CollageOptions& options)
{
    const QImage image
        = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
        ? picture
        : picture.convertToFormat(QImage::Format_RGB32);

    QString text;
    const qsizetype widest = std::max(options.display.size(), options.space.size());
    text.reserve(qsizetype(image.height()) * (2 + qsizetype(image.width()) * widest));

    qsizetype ruler = 0;
    switch (options.mode) {
    case ProcessMode::Fastest:
        appendRows(text, image, options, ruler, IsLightFastest);
        break;
    case ProcessMode::Fast:
        appendRows(text, image, options, ruler, IsLightFast);
        break;
    case ProcessMode::Slow:
        appendRows(text, image, options, ruler,
            [k = options.k](quint32 colour) { return IsLightSlow(colour, k); });
        break;
    }
    if (options.keepWidth)
        text.prepend(CrLf + QString(ruler, QLatin1Char('T')) + CrLf);
    return text;
}
