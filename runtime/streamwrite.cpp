#include "runtime/streamwrite.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

} // namespace

WriteResult FailureFromErrno(int code)
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

// With a deadline the descriptor is waited on with poll, and no more is written at once than a
// pipe takes without blocking, so a blocking descriptor shared with other programs need not be
// switched to non-blocking.
int WriteAll(int fd, const QByteArray& bytes, int deadlineMs)
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

WriteResult FailureFromWrite(int code)
{
    if (code == ETIMEDOUT)
        return {WriteError::ReaderStalled, u"The reader took nothing in time"_qs, {}};
    return code == 0 ? WriteResult {} : FailureFromErrno(code);
}

WriteResult WriteInto(const QByteArray& target, const QByteArray& bytes, int deadlineMs)
{
    // Without a reader, opening a pipe for writing would wait for one.
    const int fd = ::open(target.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == ENXIO)
        return {WriteError::NoReader, u"No program reads from the pipe"_qs, {}};
    if (fd < 0)
        return FailureFromErrno(errno);
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
        code = WriteAll(fd, bytes, deadlineMs);
    if (::close(fd) != 0 && code == 0)
        code = errno;
    return FailureFromWrite(code);
}

// Opening such a name again would give a new file description (without the shell's append mode)
// or, for a pipe or socket, nothing at all.
int OwnDescriptor(const QString& path)
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

WriteResult WriteThrough(int fd, const QByteArray& bytes, int deadlineMs)
{
    if (::fcntl(fd, F_GETFD) < 0)
        return FailureFromErrno(EBADF);
    return FailureFromWrite(WriteAll(fd, bytes, deadlineMs));
}
