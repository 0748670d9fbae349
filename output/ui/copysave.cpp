#include "window/ui/frmtessarin.h"

#include "output/resultfile.h"
#include "runtime/linebreaks.h"
#include "runtime/services.h"
#include "window/ui/textboxes.h"

#include <QDir>
#include <QFileInfo>
#include <QTextDocument>

namespace {

// The box's text as it stands. The document's plain-text view would turn no-break spaces into
// ordinary ones, and a user may well have chosen one as a display or space character.
QString resultText(const OutputBox& box)
{
    return box.document()->toRawText();
}

} // namespace

void FrmTessarin::mnuCopyText_Click()
{
    m_services.ClipboardClear();
    m_services.ClipboardSetText(WithLineFeeds(resultText(*TxtOut)));
}

void FrmTessarin::mnuSave_Click()
{
    if (!chooseSaveFile())
        return;
    const QString path = CDlgSave.FileName;
    // The window never waits long on a pipe's reader.
    const WriteResult written
        = WriteFile(path, ResultFileBytes(resultText(*TxtOut)), SaveDeadlineMs);
    if (!written.ok()) {
        m_services.WarningBox(QStringLiteral("保存失败"),
            QStringLiteral("无法保存文件“%1”。\n%2")
                .arg(QDir::toNativeSeparators(path), WriteErrorChinese(written)));
        return;
    }
    m_savedFile = QFileInfo(path).canonicalFilePath();
}
