#include "window/ui/frmtessarin.h"

#include "runtime/services.h"

#include <QDir>
#include <QFileInfo>

// A file written over cannot be had back, so choosing an existing one asks first, and "否"
// goes back to the dialog. The file this window saved last holds the user's own result and is
// written again without a question.
bool FrmTessarin::chooseSaveFile()
{
    for (;;) {
        if (!m_services.ShowSave(CDlgSave))
            return false;
        const QFileInfo chosen(CDlgSave.FileName);
        if (!chosen.isFile() || chosen.canonicalFilePath() == m_savedFile)
            return true;
        if (m_services.QuestionBox(QStringLiteral("确认另存为"),
                QStringLiteral("“%1”已存在。\n要替换它吗？")
                    .arg(QDir::toNativeSeparators(CDlgSave.FileName))))
            return true;
    }
}
