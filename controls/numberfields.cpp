#include "controls/numberfields.h"

#include "runtime/numbertext.h"

std::optional<qint32> FontSizeFromText(const QString& text)
{
    const std::optional<qint32> points = ToWhole(LeadingNumber(text), WholeType::Int32);
    if (!points || *points <= 0)
        return std::nullopt;
    return points;
}

std::optional<qint32> PictureSize(double number)
{
    const std::optional<qint32> pixels = ToWhole(number, WholeType::Int32);
    if (!pixels || *pixels < 1 || *pixels > 1024)
        return std::nullopt;
    return pixels;
}

std::optional<qint32> PictureSizeFromText(const QString& text)
{
    return IsWholeTextNumber(text) ? PictureSize(LeadingNumber(text)) : std::nullopt;
}
