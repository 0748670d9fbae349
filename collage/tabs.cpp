#include "window/frmtessarin.h"

#include "window/buttons.h"
#include "window/picturebox.h"
#include "window/scrollbar.h"
#include "window/textboxes.h"

#include <QPlainTextEdit>
#include <QShortcut>

namespace {

const QColor TabFill(255, 192, 192);
const QColor ActiveText(0, 128, 0);
const QColor InactiveText(0, 0, 128);

} // namespace

void FrmTessarin::Lbl1_Click()
{
    if (!mShowOutput)
        return;
    mShowOutput = false;
    SwitchTab(*Lbl1, *Lbl2);
    showPreviewGroup(!mShowOutput);
}

void FrmTessarin::Lbl2_Click()
{
    if (mShowOutput)
        return;
    mShowOutput = true;
    SwitchTab(*Lbl2, *Lbl1);
    showPreviewGroup(!mShowOutput);
    TxtOut->setFocus();
}

// While the preview covers the output box no key may reach the box: Tab passes it by, and the
// focus it had goes to the source box, where the user sees what the keys do.
void FrmTessarin::showPreviewGroup(bool shown)
{
    for (QWidget* part : std::initializer_list<QWidget*> {m_previewBackdrop, Pic1, VSBar1, HSBar1})
        part->setVisible(shown);
    TxtOut->setFocusPolicy(shown ? Qt::ClickFocus : Qt::StrongFocus);
    if (shown && TxtOut->hasFocus())
        TxtSrc->setFocus();
}

// Only the active tab is filled, so the light red marks it.
void FrmTessarin::SwitchTab(TabLabel& active, TabLabel& inactive)
{
    active.setAutoFillBackground(true);
    inactive.setAutoFillBackground(false);
    active.SetBackColor(TabFill);
    inactive.SetBackColor(TabFill);
    active.SetForeColor(ActiveText);
    inactive.SetForeColor(InactiveText);
    active.SetSelected(true);
    inactive.SetSelected(false);
}

// The keys of every tabbed view; with two tabs, each of them shows the other one. A press of
// Ctrl+Shift+Tab comes as Backtab and matches both Ctrl+Shift+Tab and Ctrl+Backtab: only the first
// is listed, or the two would be ambiguous and neither would act.
void FrmTessarin::createTabKeys()
{
    auto* keys = new QShortcut(this);
    keys->setKeys(
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
            QKeySequence(Qt::CTRL | Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
    connect(keys, &QShortcut::activated, this, &FrmTessarin::switchTabByKey);
}

void FrmTessarin::switchTabByKey()
{
    if (mShowOutput)
        Lbl1_Click();
    else
        Lbl2_Click();
}
