#include "window/frmtessarin.h"

#include "window/buttons.h"
#include "window/picturebox.h"
#include "window/scrollbar.h"
#include "window/textboxes.h"

#include <QPlainTextEdit>

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
    Pic1->setVisible(!mShowOutput);
    VSBar1->setVisible(!mShowOutput);
    HSBar1->setVisible(!mShowOutput);
    TxtOut->setFocusPolicy(Qt::ClickFocus);
}

void FrmTessarin::Lbl2_Click()
{
    if (mShowOutput)
        return;
    mShowOutput = true;
    SwitchTab(*Lbl2, *Lbl1);
    Pic1->setVisible(!mShowOutput);
    VSBar1->setVisible(!mShowOutput);
    HSBar1->setVisible(!mShowOutput);
    TxtOut->setFocusPolicy(Qt::StrongFocus);
    TxtOut->setFocus();
}

// Only the active tab is filled, so the light red marks it.
void FrmTessarin::SwitchTab(Label& active, Label& inactive)
{
    active.setAutoFillBackground(true);
    inactive.setAutoFillBackground(false);
    active.SetBackColor(TabFill);
    inactive.SetBackColor(TabFill);
    active.SetForeColor(ActiveText);
    inactive.SetForeColor(InactiveText);
}
