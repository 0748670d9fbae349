#include "controls/numberfields.h"

#include "runtime/numbertext.h"
#include "window/defaults.h"

std::optional<qint32> FontSizeFromText(const QString& text)
{
    const std::optional<qint32> points = ToWhole(LeadingNumber(text), WholeType::Int32);
    if (!points || *points < MinPoints)
        return std::nullopt;
    return points;
}

std::optional<qint32> PictureSize(double number)
{
    const std::optional<qint32> pixels = ToWhole(number, WholeType::Int32);
    if (!pixels || *pixels < MinPreviewSide || *pixels > MaxPreviewSide)
        return std::nullopt;
    return pixels;
}

std::optional<qint32> PictureSizeFromText(const QString& text)
{
    return IsWholeTextNumber(text) ? PictureSize(LeadingNumber(text)) : std::nullopt;
}
