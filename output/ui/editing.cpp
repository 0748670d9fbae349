#include "window/ui/frmtessarin.h"

#include "runtime/services.h"
#include "window/ui/textboxes.h"

#include <QTextCursor>

void FrmTessarin::mnuUnDo_Click()
{
    TxtOut->undo();
}

void FrmTessarin::mnuCut_Click()
{
    m_services.ClipboardClear();
    m_services.ClipboardSetText(TxtOut->SelectedText());
    QTextCursor cursor = TxtOut->textCursor();
    cursor.removeSelectedText();
    TxtOut->setTextCursor(cursor);
}

void FrmTessarin::mnuCopy_Click()
{
    m_services.ClipboardClear();
    m_services.ClipboardSetText(TxtOut->SelectedText());
}

void FrmTessarin::mnuPaste_Click()
{
    const QString text = m_services.ClipboardText();
    QTextCursor cursor = TxtOut->textCursor();
    // Removing the selection and inserting the text is one step for the box's undo.
    cursor.beginEditBlock();
    cursor.insertText(text);
    cursor.endEditBlock();
    TxtOut->setTextCursor(cursor);
}

void FrmTessarin::mnuDel_Click()
{
    QTextCursor cursor = TxtOut->textCursor();
    cursor.removeSelectedText();
    TxtOut->setTextCursor(cursor);
}

void FrmTessarin::mnuSelAll_Click()
{
    TxtOut->selectAll();
}
