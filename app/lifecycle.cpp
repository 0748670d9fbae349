#include "window/frmtessarin.h"

#include "window/buttons.h"
#include "window/defaults.h"
#include "window/textboxes.h"

#include <QCloseEvent>
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

void FrmTessarin::Form_Load()
{
    LoadSettings();

    TxtSrc->SetText(StartSource);
    TxtView1->SetText(StartDisplay);
    TxtView2->SetText(StartSpace);

    CDlgSave.DialogTitle = QStringLiteral("请选择保存的文件：");
    CDlgSave.Filter = QStringLiteral("文本文件(*.txt)|*.txt|所有文件(*.*)|*.*");
    CDlgSave.FilterIndex = 1;

    CDlgOpen.DialogTitle = QStringLiteral("请选择图片文件：");
    CDlgOpen.Filter
        = QStringLiteral("图片文件(*.bmp;*.jpg;*.gif;*.ico;*.cur)|*.bmp;*.jpg;*.gif;*.ico;*.cur|"
                         "Windows位图(*.bmp)|*.bmp|Jpeg文件(*.jpg)|*.jpg|GIF文件(*.gif)|*.gif|"
                         "图标文件(*.ico)|*.ico|光标文件(*.cur)|*.cur|*.*");
    CDlgOpen.FilterIndex = 1;

    LblFontName_DblClick();
    RenderPreview();
}

void FrmTessarin::Form_Unload()
{
    SaveSettings();
}

void FrmTessarin::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
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
        && isNormal(windowState()) && frameMarginsOf() != QMargins()) {
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
                setGeometry(m_normalBounds.marginsRemoved(frameMarginsOf()));
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

QMargins FrmTessarin::frameMarginsOf() const
{
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
        outer.right() - inner.right(), outer.bottom() - inner.bottom());
}
