#include "window/blankpicture.h"

#include <algorithm>

namespace {

constexpr int DotsPerMeter96 = 3780;

} // namespace

QImage BlankPicture(int width, int height, const QColor& colour)
{
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    image.setDotsPerMeterX(DotsPerMeter96);
    image.setDotsPerMeterY(DotsPerMeter96);
    image.fill(colour);
    return image;
}
