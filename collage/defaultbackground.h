#pragma once

#include <QImage>

// The built-in background: a 32 x 32 tile in sixteen light greys, every channel
// between 214 and 255, so it adds only a faint texture and never a dark pixel.
QImage DefaultBackground();
