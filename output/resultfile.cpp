#include "output/resultfile.h"

#include "runtime/codepage.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char16_t LineSeparator = 0x2028;
constexpr char16_t ParagraphSeparator = 0x2029;

bool isLineBreak(char16_t c)
{
    return c == u'\r' || c == u'\n' || c == LineSeparator || c == ParagraphSeparator;
}

// Copies text with each line break replaced by lineBreak; the text between breaks
// is copied a whole run at a time, as a picture's rows are long.
QString replaceLineBreaks(QStringView text, QStringView lineBreak)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!isLineBreak(c))
            continue;
        out.append(text.sliced(runStart, i - runStart));
        out.append(lineBreak);
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        runStart = i + 1;
    }
    out.append(text.sliced(runStart));
    return out;
}

struct Failure
{
    WriteError kind = WriteError::None;
    QString message;
};

Failure fromErrno(int code)
{
    const auto kindOf = [](int code) {
        switch (code) {
        case EACCES:
        case EPERM:
            return WriteError::NoPermission;
        case ENOENT:
        case ENOTDIR:
            return WriteError::NoFolder;
        case ENOSPC:
        case EDQUOT:
            return WriteError::DiskFull;
        case EROFS:
            return WriteError::ReadOnlyFileSystem;
        case EISDIR:
            return WriteError::NotAFile;
        default:
            return WriteError::Other;
        }
    };
    return {kindOf(code), qt_error_string(code)};
}

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

// While alive, a write to a pipe whose reader has gone, or past the file-size limit, fails with
// an error instead of raising a signal that ends the program.
class QuietWrites
{
public:
    QuietWrites()
    {
        sigset_t quiet;
        sigemptyset(&quiet);
        for (const int signal : Signals)
            sigaddset(&quiet, signal);
        pthread_sigmask(SIG_BLOCK, &quiet, &m_previous);
        sigpending(&m_pendingBefore);
    }
    ~QuietWrites()
    {
        sigset_t pending;
        sigpending(&pending);
        for (const int signal : Signals) {
            if (!sigismember(&pending, signal) || sigismember(&m_pendingBefore, signal)
                || sigismember(&m_previous, signal))
                continue;
            sigset_t raised;
            sigemptyset(&raised);
            sigaddset(&raised, signal);
            const timespec now {};
            sigtimedwait(&raised, nullptr, &now);
        }
        pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    QuietWrites(const QuietWrites&) = delete;
    QuietWrites& operator=(const QuietWrites&) = delete;

private:
    static constexpr int Signals[] = {SIGPIPE, SIGXFSZ};
    sigset_t m_previous;
    sigset_t m_pendingBefore;
};

// 0, or the errno of the write that failed.
int writeAll(int fd, const QByteArray& bytes)
{
    const QuietWrites quiet;
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(std::min<qsizetype>(left, 1 << 30)));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        data += written;
        left -= written;
    }
    return 0;
}

// A pipe or device is written into as it stands: replacing it would leave its reader waiting
// and put a file where the device was.
Failure writeInto(const QByteArray& target, const QByteArray& bytes)
{
    // Without a reader, opening a pipe for writing would wait for one.
    const int fd = ::open(target.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == ENXIO)
        return {WriteError::Other, u"No program reads from the pipe"_qs};
    if (fd < 0)
        return fromErrno(errno);
    struct stat opened;
    if (::fstat(fd, &opened) != 0 || !(S_ISFIFO(opened.st_mode) || S_ISCHR(opened.st_mode))) {
        ::close(fd);
        return {WriteError::Other, u"The file was replaced while it was opened"_qs};
    }
    int code = 0;
    if (const int flags = ::fcntl(fd, F_GETFL); ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        code = errno;
    else
        code = writeAll(fd, bytes);
    if (::close(fd) != 0 && code == 0)
        code = errno;
    return code == 0 ? Failure {} : fromErrno(code);
}

// The temporary file, opened and locked, emptied of any earlier attempt; -1 on failure. A lock
// held by another live write of the same target is waited for a few seconds.
int openTemporary(const QByteArray& temporary, Failure* failure)
{
    constexpr int Attempts = 100;
    constexpr timespec Pause {0, 50'000'000};
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const int fd
            = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        const int openError = errno;
        // Another user's stray may stand where this user's temporary file goes.
        if (fd < 0 && (openError == EACCES || openError == EPERM) && attempt == 0
            && ::unlink(temporary.constData()) == 0)
            continue;
        if (fd < 0) {
            *failure = fromErrno(openError);
            return -1;
        }
        struct stat opened;
        struct stat named;
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            ::close(fd);
            *failure
                = {WriteError::Other, u"Something else stands where the temporary file goes"_qs};
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
            *failure = fromErrno(errno);
            ::unlink(temporary.constData());
            ::close(fd);
            return -1;
        }
        ::close(fd);
    }
    *failure = {WriteError::Other, u"Another program is writing the file"_qs};
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
Failure replace(const QByteArray& target, const QByteArray& bytes, const struct stat* existing)
{
    const QByteArray temporary = temporaryPath(target);
    Failure failure;
    const int fd = openTemporary(temporary, &failure);
    if (fd < 0)
        return failure;
    // A file system without owners or modes refuses these; the bytes matter more.
    if (existing) {
        if (::geteuid() == 0)
            (void)!::fchown(fd, existing->st_uid, existing->st_gid);
        (void)!::fchmod(fd, existing->st_mode & 07777);
    }
    int code = writeAll(fd, bytes);
    if (code == 0 && ::fsync(fd) != 0)
        code = errno;
    if (code == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        code = errno;
    if (code != 0)
        ::unlink(temporary.constData());
    ::close(fd);
    if (code != 0)
        return fromErrno(code);
    syncFolder(target);
    return {};
}

Failure writeWhole(const QByteArray& target, const QByteArray& bytes)
{
    struct stat existing;
    if (::stat(target.constData(), &existing) != 0)
        return errno == ENOENT ? replace(target, bytes, nullptr) : fromErrno(errno);
    if (S_ISFIFO(existing.st_mode) || S_ISCHR(existing.st_mode))
        return writeInto(target, bytes);
    if (S_ISDIR(existing.st_mode))
        return fromErrno(EISDIR);
    if (!S_ISREG(existing.st_mode))
        return {WriteError::NotAFile, u"Not a file, pipe or character device"_qs};
    // A read-only file stays as it is, although its folder would let it be replaced.
    if (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return fromErrno(errno);
    return replace(target, bytes, &existing);
}

} // namespace

QString WithLineFeeds(QStringView text)
{
    return replaceLineBreaks(text, u"\n");
}

QString WithCrLf(QStringView text)
{
    return replaceLineBreaks(text, u"\r\n");
}

QByteArray ResultFileBytes(const QString& plainText)
{
    return ToAnsi(WithCrLf(plainText));
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error, WriteError* kind)
{
    const Failure failure = path.isEmpty() ? Failure {WriteError::Other, u"No file name"_qs}
                                           : writeWhole(finalTarget(path), bytes);
    if (kind)
        *kind = failure.kind;
    if (failure.kind != WriteError::None && error)
        *error = failure.message;
    return failure.kind == WriteError::None;
}
