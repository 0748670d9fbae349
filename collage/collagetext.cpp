#include "collage/collagetext.h"

#include "runtime/codepage.h"

#include <cstring>

namespace {

bool isTrimmed(char16_t c)
{
    return c == 0x20 || c == 0x3000;
}

// Mode 2 without a rounding per pixel: the products come from tables holding the
// very doubles the grey level multiplies out, summed in the same order, and the
// rounded level reaches K exactly when the sum passes K - 0.5 (at a tie the even
// neighbour decides, which is K when K is even).
class SlowRule
{
public:
    explicit SlowRule(quint8 k)
        : m_edge(k - 0.5)
        , m_tieIsLight(k % 2 == 0)
    {
        for (int v = 0; v < 256; ++v) {
            m_red[v] = v * 0.299;
            m_green[v] = v * 0.587;
            m_blue[v] = v * 0.114;
        }
    }
    bool operator()(quint32 colour) const
    {
        double grey = m_green[(colour >> 8) & 0xFF] + m_red[colour & 0xFF];
        grey = grey + m_blue[(colour >> 16) & 0xFF];
        return grey > m_edge || (grey == m_edge && m_tieIsLight);
    }

private:
    double m_red[256], m_green[256], m_blue[256];
    double m_edge;
    bool m_tieIsLight;
};

// Writes the rows into a buffer sized for the widest possible text, so no pixel
// costs more than a copy of its string.
template <class IsLight>
qsizetype writeRows(char16_t* out, const QImage& image, const CollageOptions& options,
    qsizetype& ruler, const IsLight& isLight)
{
    const auto* display = reinterpret_cast<const char16_t*>(options.display.constData());
    const auto* space = reinterpret_cast<const char16_t*>(options.space.constData());
    const qsizetype displayLength = options.display.size();
    const qsizetype spaceLength = options.space.size();
    const bool singles = displayLength == 1 && spaceLength == 1;

    char16_t* p = out;
    const int width = image.width();
    const int height = image.height();
    for (int y = 0; y < height; ++y) {
        *p++ = u'\r';
        *p++ = u'\n';
        char16_t* rowStart = p;
        const auto* pixels = reinterpret_cast<const quint32*>(image.constScanLine(y));
        if (singles) {
            for (int x = 0; x < width; ++x)
                *p++ = isLight(ColourOf(pixels[x])) ? space[0] : display[0];
        } else {
            for (int x = 0; x < width; ++x) {
                const bool light = isLight(ColourOf(pixels[x]));
                const qsizetype length = light ? spaceLength : displayLength;
                std::memcpy(p, light ? space : display, size_t(length) * sizeof(char16_t));
                p += length;
            }
        }
        if (options.trim)
            while (p > rowStart && isTrimmed(p[-1]))
                --p;
        if (options.keepWidth) {
            const QStringView row(rowStart, p - rowStart);
            ruler = std::max(ruler, AnsiByteLength(row));
        }
    }
    return p - out;
}

} // namespace

qint64 CollageCapacity(const QImage& picture, const CollageOptions& options)
{
    const qint64 widest = std::max(options.display.size(), options.space.size());
    const qint64 row = qint64(picture.width()) * widest;
    // A ruler counts at most four code-page bytes per character of the widest row.
    const qint64 ruler = options.keepWidth ? 4 + 4 * row : 0;
    return qint64(picture.height()) * (2 + row) + ruler;
}

QString CollageText(const QImage& picture, const CollageOptions& options)
{
    Q_ASSERT(CollageFits(picture, options));
    const QImage image
        = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
        ? picture
        : picture.convertToFormat(QImage::Format_RGB32);

    const qsizetype widest = std::max(options.display.size(), options.space.size());
    QString text(
        qsizetype(image.height()) * (2 + qsizetype(image.width()) * widest), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());

    qsizetype ruler = 0;
    qsizetype length = 0;
    switch (options.mode) {
    case ProcessMode::Fastest:
        length = writeRows(out, image, options, ruler, [](quint32 c) { return IsLightFastest(c); });
        break;
    case ProcessMode::Fast:
        length = writeRows(out, image, options, ruler, [](quint32 c) { return IsLightFast(c); });
        break;
    case ProcessMode::Slow:
        length = writeRows(out, image, options, ruler, SlowRule(options.k));
        break;
    }
    text.truncate(length);
    if (options.keepWidth)
        text.prepend(
            QLatin1String("\r\n") + QString(ruler, QLatin1Char('T')) + QLatin1String("\r\n"));
    return text;
}
