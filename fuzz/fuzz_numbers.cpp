#include "fuzz/fuzzcheck.h"
#include "runtime/numbertext.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

namespace {

constexpr WholeType WholeTypes[] = {WholeType::Int16, WholeType::Int32, WholeType::Byte};

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

QString withoutBlanks(const QString& text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// The C locale's number syntax, written out independently of the code under test.
bool isCNumber(const QString& text)
{
    qsizetype i = 0;
    const auto digits = [&] {
        const qsizetype start = i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
            ++i;
        return i - start;
    };
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype mantissa = digits();
    if (i < text.size() && text[i] == u'.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == text.size();
}

// The default rounding mode sends halves to the even neighbour.
std::optional<qint32> nearestWhole(double x, WholeType type)
{
    if (!std::isfinite(x))
        return std::nullopt;
    const double whole = std::nearbyint(x);
    const double low = type == WholeType::Int16 ? -32768
        : type == WholeType::Int32              ? -2147483648.0
                                                : 0;
    const double high = type == WholeType::Int16 ? 32767
        : type == WholeType::Int32               ? 2147483647
                                                 : 255;
    if (whole < low || whole > high)
        return std::nullopt;
    return qint32(whole);
}

void checkText(const QString& text)
{
    require(!std::isnan(LeadingNumber(text)), "LeadingNumber never gives NaN");
    const QString trimmed = withoutBlanks(text);
    const bool number = isCNumber(trimmed);
    require(IsWholeTextNumber(text) == number, "IsWholeTextNumber follows the C number syntax");
    if (!number) {
        const bool isFalse = trimmed.compare(u"false", Qt::CaseInsensitive) == 0;
        const bool isTrue = trimmed.compare(u"true", Qt::CaseInsensitive) == 0;
        for (WholeType type : WholeTypes)
            require(TextToWhole(text, type) == (isFalse ? std::optional<qint32>(0) : std::nullopt),
                "TextToWhole reads no other text than a number or False");
        require(
            TextToBoolean(text) == (isTrue || isFalse ? std::optional<bool>(isTrue) : std::nullopt),
            "TextToBoolean reads no other text than a number, True or False");
        return;
    }
    const double x = std::strtod(trimmed.toLatin1().constData(), nullptr);
    require(LeadingNumber(text) == x, "LeadingNumber reads a whole-text number exactly");
    for (WholeType type : WholeTypes)
        require(TextToWhole(text, type) == nearestWhole(x, type),
            "TextToWhole gives the nearest whole number or a clean range failure");
    require(TextToBoolean(text) == (x != 0), "TextToBoolean of a number is whether it is non-zero");
}

void checkValue(double x)
{
    for (WholeType type : WholeTypes)
        require(ToWhole(x, type) == nearestWhole(x, type), "ToWhole rounds halves to even");
    const QString text = NumberText(x);
    if (!std::isfinite(x))
        return;
    require(IsWholeTextNumber(text), "NumberText gives a number text");
    const double back = LeadingNumber(text);
    // Fifteen digits of a double next to the largest one round beyond it.
    if (std::isinf(back)) {
        require(std::fabs(x) > 1.797693134862315e308, "NumberText reads back as a finite value");
        return;
    }
    require(std::fabs(back - x) <= std::fabs(x) * 1e-14, "NumberText keeps 15 digits");
    // Fifteen significant digits survive a trip through double.
    require(NumberText(back) == text, "NumberText of its own reading is the same text");
}

void checkValue(float x)
{
    const QString text = NumberText(x);
    if (!std::isfinite(x))
        return;
    require(IsWholeTextNumber(text), "NumberText gives a number text");
    require(std::fabs(LeadingNumber(text) - x) <= std::fabs(double(x)) * 1e-6,
        "NumberText keeps 7 digits of a float");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkText(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (size >= sizeof(double)) {
        double x;
        std::memcpy(&x, data, sizeof x);
        checkValue(x);
        float f;
        std::memcpy(&f, data, sizeof f);
        checkValue(f);
    }
    return 0;
}
