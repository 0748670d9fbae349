#pragma once

#include <QList>
#include <QRect>

// The outer bounds (pixels) a window opens with for stored ones: a width or height below that of
// the smallest usable window takes the fallback's, and one beyond the available area of its screen
// is cut to it. A window so cut, or one whose title bar could be reached on no screen, is placed
// wholly on its screen (the first one when none holds its title bar).
QRect OpeningBounds(const QRect& stored, const QSize& fallback, const QList<QRect>& screens);
