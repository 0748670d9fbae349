#include "collage/collagetext.h"

#include "runtime/codepage.h"

#include <cstring>
#include <vector>

namespace {

bool isTrimmed(char16_t c)
{
    return c == 0x20 || c == 0x3000;
}

// Mode 2: light when the grey level reaches K. The grey level is green x 0.587 plus red x
// 0.299, then plus blue x 0.114, in doubles and in that order, rounded to the nearest whole
// number, halves to even. It is judged without a rounding per pixel: the products come from
// tables of the same doubles, summed in the same order, and the rounded level reaches K exactly
// when the sum passes K - 0.5 (at a tie the even neighbour decides, which is K when K is even).
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

struct RowStrings
{
    explicit RowStrings(const CollageOptions& options)
        : display(reinterpret_cast<const char16_t*>(options.display.constData()))
        , space(reinterpret_cast<const char16_t*>(options.space.constData()))
        , displayLength(options.display.size())
        , spaceLength(options.space.size())
        , singles(displayLength == 1 && spaceLength == 1)
    { }
    const char16_t* display;
    const char16_t* space;
    qsizetype displayLength;
    qsizetype spaceLength;
    bool singles;
};

// One row's strings, untrimmed, from out on; gives their end.
template <class IsLight>
char16_t* writeRow(
    char16_t* p, const quint32* pixels, int width, const RowStrings& s, const IsLight& isLight)
{
    if (s.singles) {
        for (int x = 0; x < width; ++x)
            *p++ = isLight(ColourOf(pixels[x])) ? s.space[0] : s.display[0];
        return p;
    }
    for (int x = 0; x < width; ++x) {
        const bool light = isLight(ColourOf(pixels[x]));
        const qsizetype length = light ? s.spaceLength : s.displayLength;
        std::memcpy(p, light ? s.space : s.display, size_t(length) * sizeof(char16_t));
        p += length;
    }
    return p;
}

// Trims a written row when asked and widens the ruler to it; gives the row's end.
char16_t* finishRow(
    char16_t* rowStart, char16_t* p, const CollageOptions& options, qsizetype& ruler)
{
    if (options.trim)
        while (p > rowStart && isTrimmed(p[-1]))
            --p;
    if (options.keepWidth)
        ruler = std::max(ruler, AnsiByteLength(QStringView(rowStart, p - rowStart)));
    return p;
}

// Writes the rows into a buffer that holds them, each row still untrimmed while it
// is written, so no pixel costs more than a copy of its string.
template <class IsLight>
qsizetype writeRows(char16_t* out, const QImage& image, const CollageOptions& options,
    qsizetype& ruler, const IsLight& isLight)
{
    const RowStrings strings(options);
    char16_t* p = out;
    for (int y = 0; y < image.height(); ++y) {
        *p++ = u'\r';
        *p++ = u'\n';
        const auto* pixels = reinterpret_cast<const quint32*>(image.constScanLine(y));
        p = finishRow(p, writeRow(p, pixels, image.width(), strings, isLight), options, ruler);
    }
    return p - out;
}

// The text's length, and the room building it takes: more than the length where a
// row is long before its trim. Each row is counted before it is written, so counting
// stops as soon as the room passes the limit, holding no more than one row.
struct Extent
{
    qint64 length = 0;
    qint64 room = 0;
};

template <class IsLight>
Extent measureRows(const QImage& image, const CollageOptions& options, const IsLight& isLight)
{
    const RowStrings strings(options);
    const int width = image.width();
    std::vector<char16_t> row(1); // never a null start, even for an empty row
    Extent extent;
    qsizetype ruler = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* pixels = reinterpret_cast<const quint32*>(image.constScanLine(y));
        qint64 dark = 0;
        for (int x = 0; x < width; ++x)
            dark += !isLight(ColourOf(pixels[x]));
        qint64 written = dark * strings.displayLength + (width - dark) * strings.spaceLength;
        extent.room = std::max(extent.room, extent.length + 2 + written);
        if (extent.room > MaxCollageLength)
            return {extent.room, extent.room};
        if (options.trim || options.keepWidth) {
            row.resize(std::max(row.size(), size_t(written)));
            char16_t* start = row.data();
            written
                = finishRow(start, writeRow(start, pixels, width, strings, isLight), options, ruler)
                - start;
        }
        extent.length += 2 + written;
    }
    if (options.keepWidth)
        extent.length += 4 + ruler;
    return extent;
}

// Runs work with the rule of the options' mode.
template <class Work> auto withRule(const CollageOptions& options, const Work& work)
{
    switch (options.mode) {
    case ProcessMode::Fast:
        return work([](quint32 c) { return IsLightFast(c); });
    case ProcessMode::Slow:
        return work(SlowRule(options.k));
    case ProcessMode::Fastest:
        break;
    }
    return work([](quint32 c) { return IsLightFastest(c); });
}

QImage rgb32(const QImage& picture)
{
    return picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
        ? picture
        : picture.convertToFormat(QImage::Format_RGB32);
}

// The most characters the picture of this image can take (rows, line breaks and the ruler
// line), whatever its pixels turn out to be.
qint64 worstCaseLength(const QImage& picture, const CollageOptions& options)
{
    const qint64 widest = std::max(options.display.size(), options.space.size());
    const qint64 row = qint64(picture.width()) * widest;
    // A ruler counts at most four code-page bytes per character of the widest row.
    const qint64 ruler = options.keepWidth ? 4 + 4 * row : 0;
    return qint64(picture.height()) * (2 + row) + ruler;
}

} // namespace

bool CollageFits(const QImage& picture, const CollageOptions& options)
{
    return worstCaseLength(picture, options) <= MaxCollageLength
        || CollageLength(picture, options) <= MaxCollageLength;
}

qint64 CollageLength(const QImage& picture, const CollageOptions& options)
{
    const QImage image = rgb32(picture);
    return withRule(
        options, [&](const auto& isLight) { return measureRows(image, options, isLight).length; });
}

QString CollageText(const QImage& picture, const CollageOptions& options)
{
    const QImage image = rgb32(picture);
    // The widest strings on every pixel bound the room for the usual strings of one
    // character; longer ones are measured on the picture.
    const qint64 room = worstCaseLength(image, options) <= MaxCollageLength
        ? qint64(image.height())
            * (2 + qint64(image.width()) * std::max(options.display.size(), options.space.size()))
        : withRule(options,
            [&](const auto& isLight) { return measureRows(image, options, isLight).room; });
    // Whoever asks, a text beyond the limit is refused before a byte of it is written.
    if (room > MaxCollageLength)
        return {};
    QString text(qsizetype(room), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());

    qsizetype ruler = 0;
    const qsizetype length = withRule(options,
        [&](const auto& isLight) { return writeRows(out, image, options, ruler, isLight); });
    text.truncate(length);
    if (options.keepWidth && length + 4 + ruler > MaxCollageLength)
        return {};
    if (options.keepWidth)
        text.prepend(
            QLatin1String("\r\n") + QString(ruler, QLatin1Char('T')) + QLatin1String("\r\n"));
    return text;
}
