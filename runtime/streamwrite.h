#pragma once

#include "runtime/savefile.h"

// Writing into what is not replaced: a pipe, a character device, one of this program's own open
// descriptors. Part of WriteFile, which decides what a name stands for.

// The failure an errno stands for, in the system's words.
WriteResult FailureFromErrno(int code);

// 0, the errno of the write that failed, or ETIMEDOUT when a deadline (in milliseconds) passed
// before every byte was taken. A pipe whose reader has gone, or the file-size limit, gives an
// error instead of a signal that ends the program.
int WriteAll(int fd, const QByteArray& bytes, int deadlineMs = NoDeadline);

// The failure a result of WriteAll stands for; none for 0.
WriteResult FailureFromWrite(int code);

// A pipe or device written into as it stands: replacing it would leave its reader waiting and
// put a file where the device was. A pipe nobody reads from is refused at once.
WriteResult WriteInto(const QByteArray& target, const QByteArray& bytes, int deadlineMs);

// The descriptor that a name of one of this program's own open descriptors stands for
// (/dev/stdout, /dev/fd/N, ...), or -1.
int OwnDescriptor(const QString& path);

// The bytes written through one of this program's own descriptors.
WriteResult WriteThrough(int fd, const QByteArray& bytes, int deadlineMs);
