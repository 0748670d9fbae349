#include "runtime/savefile.h"

#include "runtime/streamwrite.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Failure = WriteResult;

// A link is written through, so the link stays and the file it names gets the bytes.
QByteArray finalTarget(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return QFile::encodeName(info.filePath());
}

// The same name for every write of one target, so a write that was killed leaves at most one
// stray file, which the next write takes over.
QByteArray temporaryPath(const QByteArray& target)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1);
    const QByteArray name = target.sliced(slash + 1);
    const QByteArray suffix = ".tessarin~";
    if (1 + name.size() + suffix.size() <= NAME_MAX)
        return folder + '.' + name + suffix;
    return folder + '.' + QCryptographicHash::hash(name, QCryptographicHash::Sha1).toHex() + suffix;
}

// The temporary file, opened and locked, emptied of any earlier attempt; -1 on failure. A lock
// held by another live write of the same target is waited for a few seconds.
int openTemporary(const QByteArray& temporary, Failure* failure)
{
    constexpr int Attempts = 100;
    constexpr timespec Pause {0, 50'000'000};
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        // Not blocking: a pipe put where the temporary file goes would hold the open until
        // something reads from it.
        const int fd = ::open(
            temporary.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
        const int openError = errno;
        // Another user's stray may stand where this user's temporary file goes.
        if (fd < 0 && (openError == EACCES || openError == EPERM) && attempt == 0
            && ::unlink(temporary.constData()) == 0)
            continue;
        if (fd < 0 && openError != ENXIO) {
            *failure = FailureFromErrno(openError);
            return -1;
        }
        struct stat opened;
        struct stat named;
        // ENXIO: a pipe that nothing reads from.
        if (fd < 0 || ::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            if (fd >= 0)
                ::close(fd);
            *failure = {
                WriteError::Other, u"Something else stands where the temporary file goes"_qs, {}};
            return -1;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            ::close(fd);
            nanosleep(&Pause, nullptr);
            continue;
        }
        // The lock's holder may have renamed or removed the file before letting go of it.
        if (::stat(temporary.constData(), &named) == 0 && named.st_dev == opened.st_dev
            && named.st_ino == opened.st_ino) {
            if (::ftruncate(fd, 0) == 0)
                return fd;
            *failure = FailureFromErrno(errno);
            ::unlink(temporary.constData());
            ::close(fd);
            return -1;
        }
        ::close(fd);
    }
    *failure = {WriteError::Busy, u"Another program is writing the file"_qs, {}};
    return -1;
}

// The folder's entry for the new file is on disk too, or a power cut could bring back the old one.
void syncFolder(const QByteArray& target)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? "." : slash == 0 ? "/" : target.left(slash);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The bytes go to a temporary file that takes the target's place only once all of them are on
// disk, so a failure at any step leaves the old file as it was and a shorter text leaves no tail
// of a longer one behind. Not QSaveFile: Qt 6.4's commit() passes over a failed last flush, so on
// a full disk a file under about 16 KB was replaced by an empty one and reported saved.
// A file the user may write in a folder the user may not: written over where it stands, as an
// editor saves it there, then cut to the new length. Every failure is reported; the old bytes
// may then be partly overwritten, which cannot be helped without a second file.
Failure writeInPlace(const QByteArray& target, const QByteArray& bytes)
{
    const int fd = ::open(target.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return FailureFromErrno(errno);
    int code = WriteAll(fd, bytes);
    if (code == 0 && ::ftruncate(fd, bytes.size()) != 0)
        code = errno;
    if (code == 0 && ::fsync(fd) != 0)
        code = errno;
    if (::close(fd) != 0 && code == 0)
        code = errno;
    return FailureFromWrite(code);
}

Failure replace(const QByteArray& target, const QByteArray& bytes, const struct stat* existing)
{
    const QByteArray temporary = temporaryPath(target);
    Failure failure;
    const int fd = openTemporary(temporary, &failure);
    if (fd < 0 && existing && failure.kind == WriteError::NoPermission)
        return writeInPlace(target, bytes);
    if (fd < 0)
        return failure;
    // A file system without owners or modes refuses these; the bytes matter more.
    if (existing) {
        if (::geteuid() == 0)
            (void)!::fchown(fd, existing->st_uid, existing->st_gid);
        (void)!::fchmod(fd, existing->st_mode & 07777);
    }
    int code = WriteAll(fd, bytes);
    if (code == 0 && ::fsync(fd) != 0)
        code = errno;
    if (code == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        code = errno;
    if (code != 0)
        ::unlink(temporary.constData());
    ::close(fd);
    if (code != 0)
        return FailureFromErrno(code);
    syncFolder(target);
    return {};
}

// The folder a missing-folder failure is about: the one the file goes into.
Failure withFolder(Failure failure, const QByteArray& target)
{
    if (failure.kind == WriteError::NoFolder) {
        const qsizetype slash = target.lastIndexOf('/');
        failure.folder = QFile::decodeName(slash <= 0 ? QByteArray("/") : target.left(slash));
    }
    return failure;
}

Failure writeWhole(const QByteArray& target, const QByteArray& bytes, int deadlineMs)
{
    struct stat existing;
    if (::stat(target.constData(), &existing) != 0)
        return withFolder(
            errno == ENOENT ? replace(target, bytes, nullptr) : FailureFromErrno(errno), target);
    if (S_ISFIFO(existing.st_mode) || S_ISCHR(existing.st_mode))
        return WriteInto(target, bytes, deadlineMs);
    if (S_ISDIR(existing.st_mode))
        return FailureFromErrno(EISDIR);
    if (!S_ISREG(existing.st_mode))
        return {WriteError::NotAFile, u"Not a file, pipe or character device"_qs, {}};
    // A read-only file stays as it is, although its folder would let it be replaced.
    if (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return FailureFromErrno(errno);
    return replace(target, bytes, &existing);
}

} // namespace

WriteResult WriteFile(const QString& path, const QByteArray& bytes, int deadlineMs)
{
    if (path.isEmpty())
        return {WriteError::NoFolder, u"No file name"_qs, {}};
    if (const int fd = OwnDescriptor(path); fd >= 0)
        return WriteThrough(fd, bytes, deadlineMs);
    return writeWhole(finalTarget(path), bytes, deadlineMs);
}
