#include "window/ui/frmtessarin.h"

#include "window/ui/buttons.h"
#include "window/ui/picturebox.h"
#include "window/ui/scrollbar.h"
#include "window/ui/textboxes.h"

#include <QPlainTextEdit>
#include <QShortcut>

namespace {

const QColor TabFill(255, 192, 192);
const QColor ActiveText(0, 128, 0);
const QColor InactiveText(0, 0, 128);

} // namespace

void FrmTessarin::Lbl1_Click()
{
    showTab(false);
}

void FrmTessarin::Lbl2_Click()
{
    showTab(true);
}

// Only the chosen tab is filled, so the light red marks it. While the preview covers the output
// box no key may reach the box: Tab passes it by, and the focus it had goes to the source box,
// where the user sees what the keys do.
void FrmTessarin::showTab(bool output)
{
    if (mShowOutput == output)
        return;
    mShowOutput = output;
    TabLabel& active = output ? *Lbl2 : *Lbl1;
    TabLabel& inactive = output ? *Lbl1 : *Lbl2;
    active.setAutoFillBackground(true);
    inactive.setAutoFillBackground(false);
    active.SetBackColor(TabFill);
    inactive.SetBackColor(TabFill);
    active.SetForeColor(ActiveText);
    inactive.SetForeColor(InactiveText);
    active.SetSelected(true);
    inactive.SetSelected(false);
    for (QWidget* part : std::initializer_list<QWidget*> {m_previewBackdrop, Pic1, VSBar1, HSBar1})
        part->setVisible(!output);
    TxtOut->setFocusPolicy(output ? Qt::StrongFocus : Qt::ClickFocus);
    if (output)
        TxtOut->setFocus();
    else if (TxtOut->hasFocus())
        TxtSrc->setFocus();
}

// The preview's tab is chosen at start, though still in the colour of a button. The keys are
// those of every tabbed view; with two tabs, each of them shows the other one. A press of
// Ctrl+Shift+Tab comes as Backtab and matches both Ctrl+Shift+Tab and Ctrl+Backtab: only the first
// is listed, or the two would be ambiguous and neither would act.
void FrmTessarin::createTabs()
{
    Lbl1->SetSelected(true);
    Lbl1->SetForeColor(ActiveText);
    Lbl2->SetForeColor(InactiveText);
    Lbl2->setAutoFillBackground(false);
    auto* keys = new QShortcut(this);
    keys->setKeys(
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
            QKeySequence(Qt::CTRL | Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
    connect(keys, &QShortcut::activated, this, [this] { showTab(!mShowOutput); });
}
