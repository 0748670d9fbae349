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

// Replaces the whole file at path with bytes, or leaves whatever was there untouched. On failure
// the result is false and *error, when given, says why.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error);
