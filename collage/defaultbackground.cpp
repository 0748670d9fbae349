#include "collage/defaultbackground.h"

QImage DefaultBackground()
{
    return QImage(QStringLiteral(":/tessarin/default_background.png"))
        .convertToFormat(QImage::Format_RGB32);
}
