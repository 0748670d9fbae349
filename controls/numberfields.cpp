#include "controls/numberfields.h"

#include "runtime/numbertext.h"

std::optional<qint32> FontSizeFromText(const QString& text)
{
    const std::optional<qint32> points = ToWhole(LeadingNumber(text), WholeType::Int32);
    if (!points || *points <= 0)
        return std::nullopt;
    return points;
}

bool IsPictureSizeText(const QString& text)
{
    return IsWholeTextNumber(text);
}

std::optional<qint32> PictureSizeFromText(const QString& text)
{
    if (!IsWholeTextNumber(text))
        return std::nullopt;
    const std::optional<qint32> pixels = ToWhole(LeadingNumber(text), WholeType::Int32);
    if (!pixels || *pixels < 1 || *pixels > 1024)
        return std::nullopt;
    return pixels;
}
