#include "window/frmtessarin.h"

#include "output/resultfile.h"
#include "runtime/services.h"
#include "window/textboxes.h"

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

// The causes a user can mend in the user's own language; any other in the system's words.
QString reasonText(WriteError kind, const QString& error)
{
    switch (kind) {
    case WriteError::NoPermission:
        return QStringLiteral("没有写入权限。");
    case WriteError::NoFolder:
        return QStringLiteral("文件夹不存在。");
    case WriteError::DiskFull:
        return QStringLiteral("磁盘空间不足。");
    case WriteError::ReadOnlyFileSystem:
        return QStringLiteral("文件系统是只读的。");
    default:
        return error;
    }
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
    QString error;
    WriteError kind = WriteError::None;
    if (!WriteWholeFile(path, ResultFileBytes(resultText(*TxtOut)), &error, &kind)) {
        m_services.WarningBox(QStringLiteral("保存失败"),
            QStringLiteral("无法保存文件“%1”。\n%2")
                .arg(QDir::toNativeSeparators(path), reasonText(kind, error)));
        return;
    }
    m_savedFile = QFileInfo(path).canonicalFilePath();
}
