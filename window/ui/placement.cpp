#include "window/ui/frmtessarin.h"

#include "runtime/twips.h"
#include "window/defaults.h"
#include "window/openingbounds.h"

#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QWindow>

namespace {

bool isNormal(Qt::WindowStates state)
{
    return !(state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

// After the window is first seen normal in its frame, the window manager may for a moment still
// report bounds of its own, or the margins of the maximized frame; the loaded bounds are asserted
// again during that moment, a few times at most, until the window is first seen at them.
constexpr qint64 PlacingMilliseconds = 1000;
constexpr int PlacingRequests = 3;

} // namespace

// Bounds are the window's outer rectangle in twips. They are applied before the
// state, so a window that opens maximized comes back to them when restored.
void FrmTessarin::loadWindowPlacement(const QRect& twips, bool maximized)
{
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QRect stored = TwipsRect(twips.left(), twips.top(), twips.width(), twips.height());
    const QRect frame = OpeningBounds(stored,
        TwipsRect(0, 0, DefaultOuterSize.width(), DefaultOuterSize.height()).size(), screens);

    // The frame is not known before the window is shown; the size is made good once it is.
    m_normalBounds = frame;
    m_placementPending = true;
    move(frame.topLeft());
    resize(frame.size());
    setWindowState(maximized ? Qt::WindowMaximized : Qt::WindowNoState);
}

// The stored bounds are the outer ones, but the frame a window manager adds is known only some
// time after the window is shown, and it differs between the normal and the maximized state. The
// loaded bounds are applied once the window is first seen normal in its frame, which for a window
// that opened maximized is when it is restored; from then on the normal bounds are the ones last
// seen in the normal state.
bool FrmTessarin::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    const QEvent::Type type = event->type();
    if ((type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show) && isVisible()
        && isNormal(windowState()) && frameMargins() != QMargins()) {
        if (m_placementPending) {
            m_placementPending = false;
            m_placingRequests = 0;
            m_placing.start();
        }
        if (placing()) {
            // Once in place, the window's own placement is done: a move or resize that follows is
            // the user's or the window manager's, and stays.
            if (frameGeometry() == m_normalBounds)
                m_placing.invalidate();
            // One request for both, as a move and a resize on their own may each be answered
            // with bounds the window manager had in mind for the other.
            else if (m_placingRequests++ < PlacingRequests)
                setGeometry(m_normalBounds.marginsRemoved(frameMargins()));
        } else {
            m_normalBounds = frameGeometry();
        }
    }
    return handled;
}

bool FrmTessarin::placing() const
{
    return m_placing.isValid() && m_placing.elapsed() < PlacingMilliseconds;
}

// A window that is not in the normal state shows other bounds, or none.
QRect FrmTessarin::normalBounds() const
{
    if (isNormal(windowState()) && !placing())
        return frameGeometry();
    return m_normalBounds.isValid() ? m_normalBounds : normalGeometry();
}

// What the window manager's frame adds on each side; none before the window is shown, and none
// without a window manager.
QMargins FrmTessarin::frameMargins() const
{
    return windowHandle() ? windowHandle()->frameMargins() : QMargins();
}

void FrmTessarin::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
    if (m_defaultSizeOnRestore && !isMaximized() && !isMinimized()) {
        m_defaultSizeOnRestore = false;
        SetDefaultSize();
    }
}

// The window system accepts no size from a maximized or minimized window, so such a
// window is restored first. A window manager restores a maximized window, its place and
// its frame in its own time: the size waits for that (resizeEvent), or it would be
// measured by the maximized frame and sent with the maximized place. Without a frame there
// is no window manager to wait for.
void FrmTessarin::mnuFormDefSize_Click()
{
    const bool awaitRestore = isMaximized() && frameMargins() != QMargins();
    if (isMaximized() || isMinimized() || isFullScreen())
        showNormal();
    m_defaultSizeOnRestore = awaitRestore;
    if (!awaitRestore)
        SetDefaultSize();
}

void FrmTessarin::SetDefaultSize()
{
    const QSize frame = frameGeometry().size() - size();
    resize(TwipsToPixels(DefaultOuterSize.width()) - frame.width(), height());
    resize(width(), TwipsToPixels(DefaultOuterSize.height()) - frame.height());
}
