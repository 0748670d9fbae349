#pragma once

#include <QByteArray>
#include <QString>

// Why a write failed.
enum class WriteError {
    None,
    NoPermission,
    NoFolder, // the folder the file goes into is missing (WriteResult::folder names it)
    DiskFull,
    ReadOnlyFileSystem,
    NotAFile, // a folder, a block device or a socket
    NoReader, // a pipe nobody reads from
    ReaderGone, // the pipe's reader went away before it had everything
    ReaderStalled, // the reader took nothing before the deadline
    Busy, // another program is writing the same file
    NameTooLong,
    LinkLoop,
    Other
};

// What became of a write: on failure, the cause, the system's own words for it, and for a missing
// folder the folder that is really missing (where a link leads, not where it stands).
struct WriteResult
{
    WriteError kind = WriteError::None;
    QString systemText;
    QString folder;
    bool ok() const { return kind == WriteError::None; }
};

// No deadline: a pipe's reader is waited for as long as it takes, as command-line tools do.
constexpr int NoDeadline = -1;
// How long the window lets a pipe's or device's reader take everything before it gives up.
constexpr int SaveDeadlineMs = 3000;

// Replaces the whole file at path with bytes, or leaves whatever was there untouched. The bytes go
// to a temporary file beside the target, which takes the target's place only once all of them are
// on disk; it keeps the target's permissions (and, for root, its owner and group). A link is
// written through. A writable file in a folder where no temporary file can be made is written in
// place (emptied of any longer tail). A pipe or a character device is written into instead, as a
// shell's redirection does; a pipe nobody reads from is refused at once. A name of one of this
// program's open descriptors (/dev/stdout, /dev/stderr, /dev/fd/N, /proc/self/fd/N) is written
// through that descriptor, like standard output: a file opened for appending keeps what it held.
// With deadlineMs, a pipe or device that has not taken every byte within that many milliseconds
// fails the write. A directory, a read-only file and anything else are refused. On failure no
// temporary file is left.
WriteResult WriteFile(const QString& path, const QByteArray& bytes, int deadlineMs = NoDeadline);
