#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

// Reading and writing one key of an INI document: the bytes of an INI file, read and written back
// as a whole, in the ANSI code page (GBK, with GB18030 four-byte codes for what GBK cannot hold;
// see runtime/codepage.h). QSettings cannot read such files, hence these functions. As with
// Windows' profile functions, a file that starts with a Unicode byte-order mark (UTF-16 FF FE or
// FE FF, UTF-8 EF BB BF) is read and written in that encoding, mark kept; names and values still
// pass through the code page on their way in and out.
//
// The document: a line whose first non-blank character is "[" and that holds a "]" opens a section
// named by the text between them; text after the "]" is ignored. A line whose first non-blank
// character is ";" is a comment. Any other line that is not blank is a key line: the key is the
// text before the first "=", the value the text after it; a line without "=" (also "[name" without
// "]") names a key without a value, which reads as absent and takes "=" and the value when it is
// written. Lines end in CR LF, LF or a lone CR. Blanks are spaces and tabs (and, in a name asked
// for, CR and LF); they are dropped around section names, key names and values, in the document
// and in the names asked for. Names are compared without regard to letter case (Qt's case
// folding), so "LEFT", "Left" and "left" are one key, and so are "ΑΒΓ" and "αβγ".
//
// Where a section name occurs more than once, only its first occurrence counts: the keys under a
// later header of the same name are neither read nor written. Within the section, the first line
// of a key counts the same way.
//
// Names are taken through the code page first, as the platform's profile functions took them (an
// unpaired surrogate becomes U+FFFD).

enum class IniEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

// An INI document taken apart once for many reads and writes of keys: a UTF-16 file is converted
// when it is taken and when its bytes are asked for, not at every key.
struct IniDocument
{
    IniDocument() = default;
    explicit IniDocument(const QByteArray& file);
    // The file's bytes, in its own encoding.
    QByteArray bytes() const;

    IniEncoding encoding = IniEncoding::Ansi;
    // The lines: the file's bytes without a mark, a UTF-16 file's converted to UTF-8 (an unpaired
    // surrogate to its own three-byte code, so it is written back as it was read).
    QByteArray text;
    QByteArray oddByte; // after the last whole unit of a UTF-16 file
};

// Far beyond any settings file; a larger one is never read into memory.
inline constexpr qsizetype MaxIniFileBytes = 16 * 1024 * 1024;

// The whole file at path; nullopt when it is missing, not a regular file, unreadable or larger
// than MaxIniFileBytes, which is checked before anything is read.
std::optional<QByteArray> ReadIniFile(const QString& path);

// Delivers the value of key in section into value and returns the number of code-page bytes
// delivered. Blanks around the stored value are dropped, then one pair of matching single or
// double quotes that encloses it; the rest ends at a NUL byte, if any, and is cut to 254 bytes,
// never inside a character. When the section or the key is missing, or the key has no "=",
// defaultValue (cut the same way) is delivered instead, unchanged otherwise. A delivery of 0 bytes
// (an empty stored value, or a missing key with an empty default) leaves value as it was. value and
// defaultValue may be one variable.
qint32 ReadIni(const IniDocument& document, const QString& section, const QString& key,
    QString& value, const QString& defaultValue);
qint32 ReadIni(const QByteArray& document, const QString& section, const QString& key,
    QString& value, const QString& defaultValue);

// Sets key in section to value and returns non-zero on success, 0 on failure. The section and the
// key are created as needed. An existing key keeps its line: the bytes up to its "=" and its line
// end stay, only the value after "=" changes; a key without "=" takes "=" and the value right
// after its name. A new key goes right after the last key line of its
// section (after the header when it has none), so trailing comments and blank lines stay below
// it; a new section goes at the end. New lines end in CR LF; every other byte of the document
// stays as it was. An empty value writes "key=".
//
// The value is written as given, so one with blanks around it or enclosing quotes reads back
// without them. Refused with 0, leaving the document untouched: a line break or NUL in any text, a
// section name (blanks dropped) that is empty or holds "]", a key name that is empty, holds "=",
// or starts with "[" or ";".
qint32 WriteIni(
    IniDocument& document, const QString& section, const QString& key, const QString& value);
qint32 WriteIni(
    QByteArray& document, const QString& section, const QString& key, const QString& value);
