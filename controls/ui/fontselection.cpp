#include "window/ui/frmtessarin.h"

#include "controls/fontlist.h"
#include "runtime/services.h"
#include "window/ui/buttons.h"
#include "window/ui/picturebox.h"
#include "window/ui/textboxes.h"

#include <QAction>
#include <QListWidget>
#include <QSignalBlocker>

void FrmTessarin::LblFontName_DblClick()
{
    {
        // Emptying the list is not a choice of font.
        const QSignalBlocker quiet(ListFontName);
        ListFontName->clear();
    }
    ListFontName->addItems(SortedFontNames(m_services.ScreenFonts()));
    m_services.DoEvents();
    // The events just run may have changed the list's selection; the default
    // font is chosen from the list as it now stands.
    QStringList entries;
    for (int i = 0; i < ListFontName->count(); ++i)
        entries.append(ListFontName->item(i)->text());
    ListFontName->setCurrentRow(int(DefaultFontIndex(entries)));
}

void FrmTessarin::ListFontName_Click()
{
    const QListWidgetItem* chosen = ListFontName->currentItem();
    if (!chosen)
        return;
    Pic2->Font().setFamily(chosen->text());
    RenderPreview();
    if (mChangeFont)
        copyPreviewFontToSource();
    ListFontName->setToolTip(Pic2->Font().family());
    AutoSwitchToPreview();
}

void FrmTessarin::ChkTxtFont_Click()
{
    mChangeFont = ChkTxtFont->Value() != 0;
    if (mChangeFont)
        copyPreviewFontToSource();
    else
        TxtSrc->setFont(TxtView1->font());
}

void FrmTessarin::copyPreviewFontToSource()
{
    const QFont& preview = Pic2->Font();
    QFont font = TxtSrc->font();
    font.setFamily(preview.family());
    font.setPointSizeF(preview.pointSizeF());
    font.setBold(preview.bold());
    font.setItalic(preview.italic());
    font.setUnderline(preview.underline());
    font.setStrikeOut(preview.strikeOut());
    TxtSrc->setFont(font);
}

void FrmTessarin::AutoSwitchToPreview()
{
    if (mnuZDQH->isChecked())
        Lbl1_Click();
}
