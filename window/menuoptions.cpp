#include "window/frmtessarin.h"

#include "runtime/services.h"
#include "runtime/twips.h"
#include "window/textboxes.h"

#include <QAction>
#include <QMenu>

namespace {

const QColor LockedBackground(228, 235, 241);

} // namespace

void FrmTessarin::CmdMore_Click()
{
    MnuPop->popup(QCursor::pos());
}

// The editing entries are refreshed every time they can become visible, from the
// selection, the lock and the clipboard.
void FrmTessarin::MnuPop_Click()
{
    const QTextCursor cursor = TxtOut->textCursor();
    const bool selected = cursor.selectionEnd() - cursor.selectionStart() != 0;
    mnuCut->setEnabled(selected);
    mnuCopy->setEnabled(selected);
    mnuDel->setEnabled(selected);
    mnuUnDo->setEnabled(true);
    mnuPaste->setEnabled(true);
    if (mnuLock->isChecked()) {
        mnuUnDo->setEnabled(false);
        mnuCut->setEnabled(false);
        mnuPaste->setEnabled(false);
        mnuDel->setEnabled(false);
    }
    if (mnuPaste->isEnabled())
        mnuPaste->setEnabled(m_services.ClipboardHasText());
}

void FrmTessarin::mnuTxtOutPop_Click()
{
    MnuPop_Click();
}

void FrmTessarin::TxtOut_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::RightButton)
        return;
    MnuPop_Click();
    mnuTxtOutPop->popup(QCursor::pos());
}

void FrmTessarin::mnuZDQH_Click()
{
    mnuZDQH->setChecked(!mnuZDQH->isChecked());
}

void FrmTessarin::mnuKeepWidth_Click()
{
    mnuKeepWidth->setChecked(!mnuKeepWidth->isChecked());
}

void FrmTessarin::mnuLock_Click()
{
    mnuLock->setChecked(!mnuLock->isChecked());
    const bool locked = mnuLock->isChecked();
    TxtOut->setReadOnly(locked);
    QPalette colours = TxtOut->palette();
    colours.setColor(QPalette::Base, locked ? LockedBackground : palette().color(QPalette::Base));
    TxtOut->setPalette(colours);
    // The entries' shortcut keys act without the menu being opened, so the lock
    // takes undo and paste away at once, not only at the next opening.
    MnuPop_Click();
}

// The window system accepts no size from a maximized or minimized window, so such a
// window is restored first. A window manager restores a maximized window, its place and
// its frame in its own time: the size waits for that (resizeEvent), or it would be
// measured by the maximized frame and sent with the maximized place. Without a frame there
// is no window manager to wait for.
void FrmTessarin::mnuFormDefSize_Click()
{
    const bool awaitRestore = isMaximized() && frameMarginsOf() != QMargins();
    if (isMaximized() || isMinimized() || isFullScreen())
        showNormal();
    m_defaultSizeOnRestore = awaitRestore;
    if (!awaitRestore)
        SetDefaultSize();
}

void FrmTessarin::SetDefaultSize()
{
    const QSize frame = frameGeometry().size() - size();
    resize(TwipsToPixels(4800) - frame.width(), height());
    resize(width(), TwipsToPixels(3600) - frame.height());
}
