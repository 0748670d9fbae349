#include "app/inifile.h"

#include "runtime/codepage.h"
#include "runtime/numbertext.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QStringView>
#include <optional>

namespace {

// The profile functions' reply buffer holds 255 bytes, one of them the terminating NUL.
constexpr qsizetype MaxValueBytes = 254;
constexpr char LineEnd[] = "\r\n";

constexpr QByteArrayView Utf8Mark("\xEF\xBB\xBF");
constexpr QByteArrayView Utf16LEMark("\xFF\xFE");
constexpr QByteArrayView Utf16BEMark("\xFE\xFF");

// Written through a pointer into room made beforehand, as a UTF-16 file may be 16 MiB.
char* putUtf8(char* out, char32_t c)
{
    if (c < 0x80) {
        *out++ = char(c);
        return out;
    }
    constexpr uchar Leads[] = {0, 0xC0, 0xE0, 0xF0};
    const int trail = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    *out++ = char(Leads[trail] | (c >> (6 * trail)));
    for (int i = trail - 1; i >= 0; --i)
        *out++ = char(0x80 | ((c >> (6 * i)) & 0x3F));
    return out;
}

QByteArray fromUtf16(QByteArrayView bytes, bool bigEndian)
{
    const qsizetype units = bytes.size() / 2;
    const auto* data = reinterpret_cast<const uchar*>(bytes.data());
    const auto unit = [&](qsizetype i) -> char16_t {
        return bigEndian ? data[2 * i] << 8 | data[2 * i + 1] : data[2 * i + 1] << 8 | data[2 * i];
    };
    QByteArray result(units * 3, Qt::Uninitialized);
    char* out = result.data();
    for (qsizetype i = 0; i < units; ++i) {
        char32_t c = unit(i);
        if (QChar::isHighSurrogate(c) && i + 1 < units && QChar::isLowSurrogate(unit(i + 1)))
            c = QChar::surrogateToUcs4(char16_t(c), unit(++i));
        out = putUtf8(out, c);
    }
    result.truncate(out - result.data());
    return result;
}

QByteArray toUtf16(QByteArrayView text, bool bigEndian)
{
    QByteArray result(text.size() * 2, Qt::Uninitialized);
    char* out = result.data();
    const auto put = [&](char16_t unit) {
        *out++ = char(bigEndian ? unit >> 8 : unit & 0xFF);
        *out++ = char(bigEndian ? unit & 0xFF : unit >> 8);
    };
    const auto* data = reinterpret_cast<const uchar*>(text.data());
    for (qsizetype i = 0; i < text.size();) {
        const uchar lead = data[i];
        const int trail = lead < 0xC0 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t c = trail == 0 ? lead : lead & (0x3F >> trail);
        // The text is what fromUtf16 and UTF-8 names and values make, so a code is never cut.
        for (int k = 1; k <= trail && i + k < text.size(); ++k)
            c = c << 6 | (data[i + k] & 0x3F);
        i += 1 + trail;
        if (QChar::requiresSurrogates(c)) {
            put(QChar::highSurrogate(c));
            put(QChar::lowSurrogate(c));
        } else {
            put(char16_t(c));
        }
    }
    result.truncate(out - result.data());
    return result;
}

QString fromText(IniEncoding encoding, QByteArrayView bytes)
{
    return encoding == IniEncoding::Ansi ? FromAnsi(bytes) : QString::fromUtf8(bytes);
}

QByteArray toText(IniEncoding encoding, const QString& text)
{
    return encoding == IniEncoding::Ansi ? ToAnsi(text) : text.toUtf8();
}

// Blanks, quotes, "=", ";", CR, LF and NUL are below 0x40 and are no digit, so they are never part
// of a two-byte or four-byte character (nor of a UTF-8 one) and can be looked for in the raw bytes;
// so can "[" as the first byte of a line. "]" and "[" are also GBK trail bytes, so "]" is looked
// for in decoded text.
QByteArrayView withoutEnclosingQuotes(QByteArrayView bytes)
{
    if (bytes.size() >= 2 && bytes.front() == bytes.back()
        && (bytes.front() == '"' || bytes.front() == '\''))
        return bytes.sliced(1, bytes.size() - 2);
    return bytes;
}

// What the caller's buffer would hold: the text up to its first NUL, at most 254 bytes of it and
// never part of a character.
QByteArrayView deliverable(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes = bytes.first(nul);
    qsizetype end = 0;
    while (end < bytes.size()) {
        const qsizetype next = end + AnsiCharacterLength(bytes, end);
        if (next > MaxValueBytes)
            break;
        end = next;
    }
    return bytes.first(end);
}

// The names as the file can hold them: the platform's functions took them in the code page.
QString storableName(const QString& name)
{
    return FromAnsi(ToAnsi(TrimBlanks(name)));
}

bool sameName(QStringView stored, QStringView asked)
{
    return stored.compare(asked, Qt::CaseInsensitive) == 0;
}

struct Line
{
    qsizetype begin;
    qsizetype end; // the line break, or the end of the file
    qsizetype next; // after the line break
};

Line lineAt(QByteArrayView bytes, qsizetype begin)
{
    qsizetype end = begin;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
        ++end;
    qsizetype next = end;
    if (next < bytes.size())
        next += bytes[next] == '\r' && next + 1 < bytes.size() && bytes[next + 1] == '\n' ? 2 : 1;
    return {begin, end, next};
}

// Where a key stands in the file, and where a new key of its section would go.
struct Place
{
    bool sectionFound = false;
    bool keyFound = false;
    bool hasValue = false; // the key's line holds "="
    qsizetype valueBegin = 0; // after the key's "=", or after its name when it has none
    qsizetype valueEnd = 0;
    qsizetype insertAt = 0; // after the section's last key line, or its header
    bool insertNeedsBreak = false; // that line ends the file without a line break
};

Place findKey(const IniDocument& document, QStringView section, QStringView key)
{
    const QByteArrayView bytes(document.text);
    Place place;
    bool inSection = false;
    for (qsizetype pos = 0; pos < bytes.size();) {
        const Line line = lineAt(bytes, pos);
        pos = line.next;
        const QByteArrayView text = TrimBlanks(bytes.sliced(line.begin, line.end - line.begin));
        if (text.isEmpty() || text.front() == ';')
            continue;
        if (text.front() == '[') {
            const QString header = fromText(document.encoding, text.sliced(1));
            // Without "]" the line is no header but a key line, as the profile functions read it.
            if (const qsizetype close = header.indexOf(u']'); close >= 0) {
                // A later header of the same name starts a section that is never consulted.
                if (inSection)
                    break;
                if (sameName(TrimBlanks(QStringView(header).first(close)), section)) {
                    inSection = true;
                    place.sectionFound = true;
                    place.insertAt = line.next;
                    place.insertNeedsBreak = line.next == line.end;
                }
                continue;
            }
        }
        if (!inSection)
            continue;
        place.insertAt = line.next;
        place.insertNeedsBreak = line.next == line.end;
        // A line without "=" names a key that has no value.
        const qsizetype equals = text.indexOf('=');
        const QByteArrayView name = equals < 0 ? text : text.first(equals);
        if (sameName(TrimBlanks(fromText(document.encoding, name)), key)) {
            const qsizetype textBegin = text.data() - bytes.data();
            place.keyFound = true;
            place.hasValue = equals >= 0;
            place.valueBegin = textBegin + (equals < 0 ? text.size() : equals + 1);
            place.valueEnd = line.end;
            break;
        }
    }
    return place;
}

bool holdsLineBreakOrNul(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0));
}

// Names that would not read back as the same section or key are refused.
bool canStore(QStringView section, QStringView key)
{
    return !section.isEmpty() && !section.contains(u']') && !key.isEmpty() && !key.contains(u'=')
        && !key.startsWith(u'[') && !key.startsWith(u';');
}

QByteArray withKey(
    const IniDocument& document, QStringView section, QStringView key, QByteArray value)
{
    const QByteArrayView all(document.text);
    const Place place = findKey(document, section, key);
    QByteArray result;
    if (place.keyFound) {
        if (!place.hasValue)
            value.prepend('=');
        result.reserve(all.size() + value.size());
        result.append(all.first(place.valueBegin)).append(value).append(all.sliced(place.valueEnd));
        return result;
    }
    QByteArray keyLine = toText(document.encoding, key.toString());
    keyLine.append('=').append(value).append(LineEnd);
    if (place.sectionFound) {
        result.reserve(all.size() + keyLine.size() + 2);
        result.append(all.first(place.insertAt));
        if (place.insertNeedsBreak)
            result.append(LineEnd);
        result.append(keyLine).append(all.sliced(place.insertAt));
        return result;
    }
    result = document.text;
    if (!result.isEmpty() && !result.endsWith('\r') && !result.endsWith('\n'))
        result.append(LineEnd);
    result.append('[')
        .append(toText(document.encoding, section.toString()))
        .append(']')
        .append(LineEnd)
        .append(keyLine);
    return result;
}

} // namespace

IniDocument::IniDocument(const QByteArray& file)
{
    // Like Windows' profile functions, a file that starts with a Unicode byte-order mark is read
    // and written in that encoding; any other file is in the code page.
    const QByteArrayView all(file);
    const bool le = all.startsWith(Utf16LEMark);
    if (le || all.startsWith(Utf16BEMark)) {
        const QByteArrayView units = all.sliced(2, (all.size() - 2) & ~qsizetype(1));
        encoding = le ? IniEncoding::Utf16LE : IniEncoding::Utf16BE;
        text = fromUtf16(units, !le);
        oddByte = all.sliced(2 + units.size()).toByteArray();
    } else if (all.startsWith(Utf8Mark)) {
        encoding = IniEncoding::Utf8;
        text = file.sliced(Utf8Mark.size());
    } else {
        text = file;
    }
}

QByteArray IniDocument::bytes() const
{
    switch (encoding) {
    case IniEncoding::Ansi:
        return text;
    case IniEncoding::Utf8:
        return Utf8Mark.toByteArray() + text;
    case IniEncoding::Utf16LE:
        return Utf16LEMark.toByteArray() + toUtf16(text, false) + oddByte;
    case IniEncoding::Utf16BE:
        return Utf16BEMark.toByteArray() + toUtf16(text, true) + oddByte;
    }
    return text;
}

std::optional<QByteArray> ReadIniFile(const QString& path)
{
    // Anything but a regular file (a folder, a FIFO, a device) is no settings file, and opening
    // a FIFO would wait for a writer.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxIniFileBytes)
        return std::nullopt;
    // One byte more than the file holds is asked for: a file that changes its length while it is
    // read is read as missing.
    const qint64 size = file.size();
    QByteArray bytes = file.read(size + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() != size)
        return std::nullopt;
    return bytes;
}

qint32 ReadIni(const IniDocument& document, const QString& section, const QString& key,
    QString& value, const QString& defaultValue)
{
    const Place place = findKey(document, storableName(section), storableName(key));
    // defaultValue may be value itself, so it is taken before value changes. What a Unicode file
    // holds is delivered in the code page, as it is to a caller of the profile functions.
    QByteArray ansi;
    QByteArrayView stored;
    if (place.keyFound && place.hasValue) {
        stored = withoutEnclosingQuotes(
            TrimBlanks(QByteArrayView(document.text)
                           .sliced(place.valueBegin, place.valueEnd - place.valueBegin)));
        if (document.encoding != IniEncoding::Ansi) {
            ansi = ToAnsi(QString::fromUtf8(stored));
            stored = ansi;
        }
    } else {
        ansi = ToAnsi(defaultValue);
        stored = ansi;
    }
    const QByteArrayView delivered = deliverable(stored);
    if (!delivered.isEmpty())
        value = FromAnsi(delivered);
    return qint32(delivered.size());
}

qint32 ReadIni(const QByteArray& document, const QString& section, const QString& key,
    QString& value, const QString& defaultValue)
{
    return ReadIni(IniDocument(document), section, key, value, defaultValue);
}

qint32 WriteIni(
    IniDocument& document, const QString& section, const QString& key, const QString& value)
{
    if (holdsLineBreakOrNul(section) || holdsLineBreakOrNul(key) || holdsLineBreakOrNul(value))
        return 0;
    const QString sectionName = storableName(section);
    const QString keyName = storableName(key);
    if (!canStore(sectionName, keyName))
        return 0;
    // The value passes through the code page on its way to any file, as the names did.
    document.text = withKey(
        document, sectionName, keyName, toText(document.encoding, FromAnsi(ToAnsi(value))));
    return 1;
}

qint32 WriteIni(
    QByteArray& document, const QString& section, const QString& key, const QString& value)
{
    IniDocument decoded(document);
    const qint32 written = WriteIni(decoded, section, key, value);
    if (written)
        document = decoded.bytes();
    return written;
}
