#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The text with every line break written as one LF, the plain-text convention of the clipboard.
// A break is CR LF, a lone CR, a lone LF, or the line and paragraph separators U+2028 and U+2029
// that the text document uses internally.
QString WithLineFeeds(QStringView text);

// The same with every line break written as CR LF.
QString WithCrLf(QStringView text);

// The bytes a saved result holds: the text in the ANSI code page with every line break (as above)
// written as CR LF, nothing before the first character or after the last, no byte-order mark.
QByteArray ResultFileBytes(const QString& plainText);

// Why a write failed, for the causes a user can do something about.
enum class WriteError {
    None,
    NoPermission,
    NoFolder,
    DiskFull,
    ReadOnlyFileSystem,
    NotAFile,
    Other
};

// Replaces the whole file at path with bytes, or leaves whatever was there untouched. The bytes go
// to a temporary file beside the target, which takes the target's place only once all of them are
// on disk; it keeps the target's permissions (and, for root, its owner and group). A pipe or a
// character device is written into instead, as a shell's redirection does; a pipe nobody reads
// from is refused at once. A directory, a read-only file and anything else are refused. On failure
// the result is false, no temporary file is left, *error (when given) says why in the system's
// words and *kind (when given) names the cause; on success *kind is None.
bool WriteWholeFile(
    const QString& path, const QByteArray& bytes, QString* error, WriteError* kind = nullptr);
