#include "output/resultfile.h"

#include "runtime/codepage.h"
#include "runtime/linebreaks.h"

#include <QDir>

QByteArray ResultFileBytes(const QString& plainText)
{
    return ToAnsi(WithCrLf(plainText));
}

// Every cause the window names in its "保存失败" warning, in the window's language.
QString WriteErrorChinese(const WriteResult& result)
{
    switch (result.kind) {
    case WriteError::None:
        return {};
    case WriteError::NoPermission:
        return QStringLiteral("没有写入权限。");
    case WriteError::NoFolder:
        return result.folder.isEmpty()
            ? QStringLiteral("文件夹不存在。")
            : QStringLiteral("文件夹“%1”不存在。").arg(QDir::toNativeSeparators(result.folder));
    case WriteError::DiskFull:
        return QStringLiteral("磁盘空间不足。");
    case WriteError::ReadOnlyFileSystem:
        return QStringLiteral("文件系统是只读的。");
    case WriteError::NotAFile:
        return QStringLiteral("这不是一个文件（是文件夹或设备）。");
    case WriteError::NoReader:
        return QStringLiteral("没有程序在读取这个管道。");
    case WriteError::ReaderGone:
        return QStringLiteral("读取管道的程序在读完之前退出了。");
    case WriteError::ReaderStalled:
        return QStringLiteral("读取的程序在 %1 秒内没有读完全部内容。").arg(SaveDeadlineMs / 1000);
    case WriteError::Busy:
        return QStringLiteral("另一个程序正在写这个文件。");
    case WriteError::NameTooLong:
        return QStringLiteral("文件名太长。");
    case WriteError::LinkLoop:
        return QStringLiteral("链接的层数太多（可能是循环链接）。");
    case WriteError::Other:
        break;
    }
    return QStringLiteral("写入时出错。");
}
