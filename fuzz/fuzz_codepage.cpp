#include "fuzz/fuzzcheck.h"
#include "runtime/codepage.h"

#include <QString>
#include <cstdint>

namespace {

void checkRoundTrip(const QString& text, const QString& expected)
{
    const QByteArray ansi = ToAnsi(text);
    require(FromAnsi(ansi) == expected, "decoding the encoded text gives the text back");
    require(AnsiByteLength(text) == ansi.size(), "AnsiByteLength is the encoded size");
}

// Every code point from three bytes each, so that every plane is reached directly.
QString codePoints(const uint8_t* data, size_t size)
{
    QString text;
    for (size_t i = 0; i + 2 < size; i += 3) {
        const char32_t c = (char32_t(data[i]) << 16 | data[i + 1] << 8 | data[i + 2]) % 0x110000;
        if (c < 0xD800 || c > 0xDFFF)
            text.append(QString::fromUcs4(&c, 1));
    }
    return text;
}

// Raw UTF-16 may hold unpaired surrogates, which are written as U+FFFD.
void checkUtf16(const uint8_t* data, size_t size)
{
    QString text, expected;
    for (size_t i = 0; i + 1 < size; i += 2)
        text.append(QChar(char16_t(data[i] | data[i + 1] << 8)));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair
            = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair)
            expected.append(text.sliced(i++, 2));
        else
            expected.append(text[i].isSurrogate() ? QChar(0xFFFD) : text[i]);
    }
    checkRoundTrip(text, expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    // Any bytes decode; what they decode to is valid text, which must survive a round trip.
    const QString decoded = FromAnsi(bytes);
    checkRoundTrip(decoded, decoded);
    const QString utf8 = QString::fromUtf8(bytes);
    checkRoundTrip(utf8, utf8);
    const QString points = codePoints(data, size);
    checkRoundTrip(points, points);
    checkUtf16(data, size);
    return 0;
}
