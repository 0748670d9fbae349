#pragma once

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStringList>
#include <fcntl.h>
#include <unistd.h>

// File helpers shared by the tests that write files.
namespace testsupport {

constexpr QFileDevice::Permissions ReadOnly
    = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
constexpr QFileDevice::Permissions ReadWrite
    = ReadOnly | QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
constexpr QFileDevice::Permissions Enter
    = QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every entry below dir, so a test can see that a failed write left nothing behind.
inline QStringList entriesBelow(const QString& dir)
{
    QStringList entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(it.next());
    entries.sort();
    return entries;
}

// Sets file (when it is one) and folder to the given modes, runs action and restores the modes.
// False, without running action, when modes that forbid something would not stop this user
// anyway (root); the caller skips then.
template <typename Action>
bool runWithModes(const QString& file, QFileDevice::Permissions fileMode, const QString& folder,
    QFileDevice::Permissions folderMode, Action&& action)
{
    const bool isFile = QFileInfo(file).isFile();
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(folder, ReadWrite | Enter);
        if (isFile)
            QFile::setPermissions(file, ReadWrite);
    });
    if (isFile)
        QFile::setPermissions(file, fileMode);
    QFile::setPermissions(folder, folderMode);
    const bool restricted = fileMode != ReadWrite || folderMode != (ReadWrite | Enter);
    const auto allowed = [](const QString& path, int mode) {
        return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), mode, AT_EACCESS) == 0;
    };
    if (restricted && allowed(file, R_OK | W_OK) && allowed(folder, W_OK))
        return false;
    action();
    return true;
}

} // namespace testsupport
