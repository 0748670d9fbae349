#include "runtime/numbertext.h"

#include <QVarLengthArray>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <utility>

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int digitValue(char16_t c)
{
    if (isDigit(c))
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// A copyable cursor, so that an exponent can be looked at before it is taken. LeadingNumber's
// cursor steps over blanks wherever they stand.
class Cursor
{
public:
    Cursor(QStringView text, bool skipBlanks)
        : m_text(text)
        , m_skipBlanks(skipBlanks)
    {
        skip();
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    char16_t peek() const { return atEnd() ? u'\0' : m_text[m_pos].unicode(); }
    void next()
    {
        ++m_pos;
        skip();
    }

private:
    void skip()
    {
        while (m_skipBlanks && !atEnd() && isBlank(m_text[m_pos].unicode()))
            ++m_pos;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    bool m_skipBlanks;
};

double readRadix(Cursor& in, int radix)
{
    double value = 0;
    for (int digit = digitValue(in.peek()); digit >= 0 && digit < radix;
         digit = digitValue(in.peek())) {
        value = value * radix + digit;
        in.next();
    }
    return value;
}

// Sign, digits, optional fraction, optional exponent; nullopt without a mantissa digit. The
// characters are gathered for from_chars, which rounds exactly and ignores the process locale.
std::optional<double> readDecimal(Cursor& in, bool allowD)
{
    QVarLengthArray<char, 64> chars;
    const bool negative = in.peek() == u'-';
    if (negative || in.peek() == u'+') {
        in.next();
        if (negative)
            chars.append('-');
    }

    // Decimal exponent of the first significant digit, plus one: tells overflow from underflow
    // when from_chars reports the value out of range.
    qint64 power = 0;
    bool significant = false;
    qsizetype digits = 0;
    while (isDigit(in.peek())) {
        const char digit = char(in.peek());
        chars.append(digit);
        significant = significant || digit != '0';
        power += significant ? 1 : 0;
        ++digits;
        in.next();
    }
    if (in.peek() == u'.') {
        in.next();
        if (isDigit(in.peek()))
            chars.append('.');
        while (isDigit(in.peek())) {
            const char digit = char(in.peek());
            chars.append(digit);
            if (!significant && digit == '0')
                --power;
            significant = significant || digit != '0';
            ++digits;
            in.next();
        }
    }
    if (digits == 0)
        return std::nullopt;

    const char16_t mark = in.peek();
    if (mark == u'e' || mark == u'E' || (allowD && (mark == u'd' || mark == u'D'))) {
        Cursor exponentStart = in;
        exponentStart.next();
        const bool exponentNegative = exponentStart.peek() == u'-';
        if (exponentNegative || exponentStart.peek() == u'+')
            exponentStart.next();
        if (isDigit(exponentStart.peek())) {
            in = exponentStart;
            chars.append('e');
            if (exponentNegative)
                chars.append('-');
            constexpr qint64 saturation = qint64(1) << 40;
            qint64 exponent = 0;
            while (isDigit(in.peek())) {
                chars.append(char(in.peek()));
                exponent = std::min(exponent * 10 + (in.peek() - u'0'), saturation);
                in.next();
            }
            power += exponentNegative ? -exponent : exponent;
        }
    }

    double value = 0;
    const auto result = std::from_chars(chars.data(), chars.data() + chars.size(), value);
    Q_ASSERT(result.ptr == chars.data() + chars.size());
    if (result.ec == std::errc::result_out_of_range) {
        value = power > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        value = negative ? -value : value;
    }
    return value;
}

char16_t codeUnit(QChar c)
{
    return c.unicode();
}

// The blanks are ASCII, and in the code page an ASCII byte is always a character of its own.
char16_t codeUnit(char c)
{
    return uchar(c);
}

template <typename View> View trimmed(View text)
{
    while (!text.isEmpty() && isBlank(codeUnit(text.front())))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(codeUnit(text.back())))
        text.chop(1);
    return text;
}

std::optional<double> wholeTextValue(QStringView text)
{
    Cursor in(TrimBlanks(text), false);
    const auto value = readDecimal(in, false);
    if (!value || !in.atEnd())
        return std::nullopt;
    return value;
}

// ASCII only: Unicode case folding would let "FALſE" (long s) pass as "False".
bool isWord(QStringView text, std::u16string_view lowerCaseWord)
{
    text = TrimBlanks(text);
    if (std::size_t(text.size()) != lowerCaseWord.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        if (c >= u'A' && c <= u'Z')
            c = c - u'A' + u'a';
        if (c != lowerCaseWord[std::size_t(i)])
            return false;
    }
    return true;
}

constexpr std::pair<double, double> wholeRange(WholeType type)
{
    switch (type) {
    case WholeType::Int16:
        return {-32768.0, 32767.0};
    case WholeType::Int32:
        return {-2147483648.0, 2147483647.0};
    case WholeType::Byte:
        return {0.0, 255.0};
    }
    return {0.0, -1.0};
}

template <typename Float> QString numberText(Float x, int significantDigits)
{
    if (std::isnan(x))
        return QStringLiteral("nan");
    if (std::isinf(x))
        return x < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
    if (x == 0)
        return QStringLiteral("0");

    // Scientific form rounds first, so the exponent is that of the rounded value: 999999999999999.9
    // becomes 1E+15, not a sixteen-digit whole number.
    char buffer[48];
    const auto result = std::to_chars(
        buffer, std::end(buffer), x, std::chars_format::scientific, significantDigits - 1);
    Q_ASSERT(result.ec == std::errc());
    std::string_view scientific(buffer, std::size_t(result.ptr - buffer));

    QString text;
    if (scientific.front() == '-') {
        text += u'-';
        scientific.remove_prefix(1);
    }
    const std::size_t mark = scientific.find('e');
    std::string_view exponentText = scientific.substr(mark + 1);
    if (exponentText.front() == '+')
        exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    QVarLengthArray<char, 24> mantissa;
    for (const char c : scientific.substr(0, mark)) {
        if (c != '.')
            mantissa.append(c);
    }
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.removeLast();
    const auto digitsFrom = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i)
            text += QLatin1Char(i < mantissa.size() ? mantissa[i] : '0');
    };

    if (exponent < -4 || exponent >= significantDigits) {
        digitsFrom(0, 1);
        if (mantissa.size() > 1) {
            text += u'.';
            digitsFrom(1, mantissa.size());
        }
        text += exponent < 0 ? u"E-" : u"E+";
        const int magnitude = std::abs(exponent);
        if (magnitude < 10)
            text += u'0';
        text += QString::number(magnitude);
    } else if (exponent >= 0) {
        digitsFrom(0, exponent + 1);
        if (mantissa.size() > exponent + 1) {
            text += u'.';
            digitsFrom(exponent + 1, mantissa.size());
        }
    } else {
        text += u"0.";
        text += QString(-exponent - 1, u'0');
        digitsFrom(0, mantissa.size());
    }
    return text;
}

} // namespace

QStringView TrimBlanks(QStringView text)
{
    return trimmed(text);
}

QByteArrayView TrimBlanks(QByteArrayView bytes)
{
    return trimmed(bytes);
}

double LeadingNumber(QStringView text)
{
    Cursor in(text, true);
    if (in.peek() == u'&') {
        in.next();
        const char16_t kind = in.peek();
        in.next();
        if (kind == u'H' || kind == u'h')
            return readRadix(in, 16);
        if (kind == u'O' || kind == u'o')
            return readRadix(in, 8);
        return 0;
    }
    return readDecimal(in, true).value_or(0.0);
}

bool IsWholeTextNumber(QStringView text)
{
    return wholeTextValue(text).has_value();
}

std::optional<qint32> ToWhole(double x, WholeType type)
{
    if (!std::isfinite(x))
        return std::nullopt;
    // std::round is exact and independent of the floating-point rounding mode; only exact halves,
    // which it sends away from zero, need to go to the even neighbour instead.
    double whole = std::round(x);
    if (std::fabs(x - whole) == 0.5 && std::fmod(whole, 2.0) != 0.0)
        whole -= std::copysign(1.0, x);
    const auto [low, high] = wholeRange(type);
    if (whole < low || whole > high)
        return std::nullopt;
    return static_cast<qint32>(whole);
}

std::optional<qint32> TextToWhole(QStringView text, WholeType type)
{
    if (isWord(text, u"false"))
        return 0;
    const auto value = wholeTextValue(text);
    if (!value)
        return std::nullopt;
    return ToWhole(*value, type);
}

std::optional<bool> TextToBoolean(QStringView text)
{
    if (isWord(text, u"true"))
        return true;
    if (isWord(text, u"false"))
        return false;
    const auto value = wholeTextValue(text);
    if (!value)
        return std::nullopt;
    return *value != 0;
}

QString NumberText(double x)
{
    return numberText(x, 15);
}

QString NumberText(float x)
{
    return numberText(x, 7);
}
