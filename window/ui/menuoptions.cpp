#include "window/ui/frmtessarin.h"

#include "runtime/services.h"
#include "window/ui/buttons.h"
#include "window/ui/textboxes.h"

#include <QAction>
#include <QMenu>
#include <QScreen>

namespace {

const QColor LockedBackground(228, 235, 241);

// Where a menu opened from the keyboard stands: below the button, or above it when the screen
// has no room below.
QPoint besideButton(const QWidget& button, const QMenu& menu)
{
    const int height = menu.sizeHint().height();
    const QPoint below = button.mapToGlobal(QPoint(0, button.height()));
    const QScreen* screen = button.screen();
    if (!screen || below.y() + height <= screen->availableGeometry().bottom() + 1)
        return below;
    return button.mapToGlobal(QPoint(0, -height));
}

} // namespace

// A key press has no pointer of its own to open the menu at, and the mouse may be anywhere.
void FrmTessarin::CmdMore_Click()
{
    MnuPop->popup(CmdMore->ClickedByMouse() ? QCursor::pos() : besideButton(*CmdMore, *MnuPop));
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
    popupOutputMenu(QCursor::pos());
}

// From the keyboard the menu opens at the caret, or at the nearest edge of the box while the
// caret is scrolled out of sight.
void FrmTessarin::TxtOut_MenuKey()
{
    const QRect shown = TxtOut->viewport()->rect();
    const QPoint caret = TxtOut->cursorRect().bottomLeft();
    popupOutputMenu(
        TxtOut->viewport()->mapToGlobal(QPoint(std::clamp(caret.x(), shown.left(), shown.right()),
            std::clamp(caret.y(), shown.top(), shown.bottom()))));
}

void FrmTessarin::popupOutputMenu(QPoint at)
{
    MnuPop_Click();
    mnuTxtOutPop->popup(at);
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
    TxtOut->SetReadOnly(locked);
    QPalette colours = TxtOut->palette();
    colours.setColor(QPalette::Base, locked ? LockedBackground : palette().color(QPalette::Base));
    TxtOut->setPalette(colours);
    // The entries' shortcut keys act without the menu being opened, so the lock
    // takes undo and paste away at once, not only at the next opening.
    MnuPop_Click();
}
