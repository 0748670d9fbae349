#include "output/resultfile.h"

#include "runtime/codepage.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
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

using Failure = WriteResult;

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
        case EPIPE:
            return WriteError::ReaderGone;
        case ENAMETOOLONG:
            return WriteError::NameTooLong;
        case ELOOP:
            return WriteError::LinkLoop;
        default:
            return WriteError::Other;
        }
    };
    return {kindOf(code), qt_error_string(code), {}};
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

// 0, the errno of the write that failed, or ETIMEDOUT when a deadline (in milliseconds) passed
// before every byte was taken. With a deadline the descriptor is waited on with poll, and no more
// is written at once than a pipe takes without blocking, so a blocking descriptor shared with
// other programs need not be switched to non-blocking.
int writeAll(int fd, const QByteArray& bytes, int deadlineMs = NoDeadline)
{
    const QuietWrites quiet;
    QElapsedTimer clock;
    clock.start();
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    const qsizetype most = deadlineMs == NoDeadline ? qsizetype(1) << 30 : PIPE_BUF;
    while (left > 0) {
        if (deadlineMs != NoDeadline) {
            pollfd ready {fd, POLLOUT, 0};
            const qint64 remaining = deadlineMs - clock.elapsed();
            const int polled = remaining > 0 ? ::poll(&ready, 1, int(remaining)) : 0;
            if (polled < 0 && errno == EINTR)
                continue;
            if (polled < 0)
                return errno;
            if (polled == 0)
                return ETIMEDOUT;
            if (ready.revents & (POLLERR | POLLHUP) && !(ready.revents & POLLOUT))
                return EPIPE;
        }
        const ssize_t written = ::write(fd, data, size_t(std::min(left, most)));
        if (written < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        data += written;
        left -= written;
    }
    return 0;
}

Failure fromWrite(int code)
{
    if (code == ETIMEDOUT)
        return {WriteError::ReaderStalled, u"The reader took nothing in time"_qs, {}};
    return code == 0 ? Failure {} : fromErrno(code);
}

// A pipe or device is written into as it stands: replacing it would leave its reader waiting
// and put a file where the device was.
Failure writeInto(const QByteArray& target, const QByteArray& bytes, int deadlineMs)
{
    // Without a reader, opening a pipe for writing would wait for one.
    const int fd = ::open(target.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == ENXIO)
        return {WriteError::NoReader, u"No program reads from the pipe"_qs, {}};
    if (fd < 0)
        return fromErrno(errno);
    struct stat opened;
    if (::fstat(fd, &opened) != 0 || !(S_ISFIFO(opened.st_mode) || S_ISCHR(opened.st_mode))) {
        ::close(fd);
        return {WriteError::Other, u"The file was replaced while it was opened"_qs, {}};
    }
    int code = 0;
    // Without a deadline the write waits for the reader, as a shell's redirection does.
    if (const int flags = ::fcntl(fd, F_GETFL);
        deadlineMs == NoDeadline && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        code = errno;
    else
        code = writeAll(fd, bytes, deadlineMs);
    if (::close(fd) != 0 && code == 0)
        code = errno;
    return fromWrite(code);
}

// The descriptor that a name of one of this program's own open descriptors stands for, or -1.
// Opening such a name again would give a new file description (without the shell's append mode)
// or, for a pipe or socket, nothing at all.
int ownDescriptor(const QString& path)
{
    static const QRegularExpression named(
        QStringLiteral("^/(?:dev/(?:(stdin)|(stdout)|(stderr))|(?:dev|proc/self)/fd/(\\d{1,9}))$"));
    const QRegularExpressionMatch match = named.match(path);
    if (!match.hasMatch())
        return -1;
    for (int stream = 0; stream < 3; ++stream)
        if (match.hasCaptured(stream + 1))
            return stream;
    return match.captured(4).toInt();
}

Failure writeThrough(int fd, const QByteArray& bytes, int deadlineMs)
{
    if (::fcntl(fd, F_GETFD) < 0)
        return fromErrno(EBADF);
    return fromWrite(writeAll(fd, bytes, deadlineMs));
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
            *failure = fromErrno(errno);
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
        return fromErrno(errno);
    int code = writeAll(fd, bytes);
    if (code == 0 && ::ftruncate(fd, bytes.size()) != 0)
        code = errno;
    if (code == 0 && ::fsync(fd) != 0)
        code = errno;
    if (::close(fd) != 0 && code == 0)
        code = errno;
    return fromWrite(code);
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
            errno == ENOENT ? replace(target, bytes, nullptr) : fromErrno(errno), target);
    if (S_ISFIFO(existing.st_mode) || S_ISCHR(existing.st_mode))
        return writeInto(target, bytes, deadlineMs);
    if (S_ISDIR(existing.st_mode))
        return fromErrno(EISDIR);
    if (!S_ISREG(existing.st_mode))
        return {WriteError::NotAFile, u"Not a file, pipe or character device"_qs, {}};
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

WriteResult WriteFile(const QString& path, const QByteArray& bytes, int deadlineMs)
{
    if (path.isEmpty())
        return {WriteError::NoFolder, u"No file name"_qs, {}};
    if (const int fd = ownDescriptor(path); fd >= 0)
        return writeThrough(fd, bytes, deadlineMs);
    return writeWhole(finalTarget(path), bytes, deadlineMs);
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error, WriteError* kind)
{
    const WriteResult result = WriteFile(path, bytes);
    if (kind)
        *kind = result.kind;
    if (!result.ok() && error)
        *error = result.systemText;
    return result.ok();
}
