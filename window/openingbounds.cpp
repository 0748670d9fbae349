#include "window/openingbounds.h"

#include "runtime/twips.h"

#include <algorithm>

namespace {

// The smallest window that still shows some of the work area beside the parameter panel and below
// the character band, with a title bar above.
constexpr QSize MinimumWindowSize(TwipsToPixels(2400), TwipsToPixels(1800));

// A title bar counts as reachable when a good piece of its top strip lies on a screen.
constexpr int TitleStrip = 24;
constexpr int TitlePiece = 48;

const QRect* screenReaching(const QRect& frame, const QList<QRect>& screens)
{
    const QRect titleBar(frame.left(), frame.top(), std::max(frame.width(), 1), TitleStrip);
    for (const QRect& screen : screens) {
        const QRect seen = titleBar & screen;
        if (seen.height() >= TitleStrip / 2
            && seen.width() >= std::min(TitlePiece, titleBar.width()))
            return &screen;
    }
    return nullptr;
}

} // namespace

QRect OpeningBounds(const QRect& stored, const QSize& fallback, const QList<QRect>& screens)
{
    QRect frame(stored.topLeft(),
        QSize(stored.width() < MinimumWindowSize.width() ? fallback.width() : stored.width(),
            stored.height() < MinimumWindowSize.height() ? fallback.height() : stored.height()));
    if (screens.isEmpty())
        return frame;
    const QRect* reached = screenReaching(frame, screens);
    const QRect home = reached ? *reached : screens.first();
    const QSize size = frame.size().boundedTo(home.size());
    if (reached && size == frame.size())
        return frame;
    // Cut to its screen or out of reach: placed wholly on the screen, which it now fits.
    frame.setSize(size);
    frame.moveLeft(std::clamp(frame.left(), home.left(), home.right() - frame.width() + 1));
    frame.moveTop(std::clamp(frame.top(), home.top(), home.bottom() - frame.height() + 1));
    return frame;
}
