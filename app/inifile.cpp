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

// Blanks, quotes, "=", ";", CR, LF and NUL are below 0x40 and are no digit, so they are never part
// of a two-byte or four-byte character and can be looked for in the raw bytes; so can "[" as the
// first byte of a line. "]" and "[" are also trail bytes, so "]" is looked for in decoded text.
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
    qsizetype valueBegin = 0; // after the key's "="
    qsizetype valueEnd = 0;
    qsizetype insertAt = 0; // after the section's last key line, or its header
    bool insertNeedsBreak = false; // that line ends the file without a line break
};

Place findKey(QByteArrayView bytes, QStringView section, QStringView key)
{
    Place place;
    bool inSection = false;
    for (qsizetype pos = 0; pos < bytes.size();) {
        const Line line = lineAt(bytes, pos);
        pos = line.next;
        const QByteArrayView text = TrimBlanks(bytes.sliced(line.begin, line.end - line.begin));
        if (text.isEmpty() || text.front() == ';')
            continue;
        if (text.front() == '[') {
            // A later header of the same name starts a section that is never consulted.
            if (inSection)
                break;
            const QString header = FromAnsi(text.sliced(1));
            const qsizetype close = header.indexOf(u']');
            if (sameName(TrimBlanks(QStringView(header).first(close < 0 ? header.size() : close)),
                    section)) {
                inSection = true;
                place.sectionFound = true;
                place.insertAt = line.next;
                place.insertNeedsBreak = line.next == line.end;
            }
            continue;
        }
        const qsizetype equals = text.indexOf('=');
        if (!inSection || equals < 0)
            continue;
        place.insertAt = line.next;
        place.insertNeedsBreak = line.next == line.end;
        if (sameName(TrimBlanks(FromAnsi(text.first(equals))), key)) {
            place.keyFound = true;
            place.valueBegin = text.data() - bytes.data() + equals + 1;
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
    const QByteArray& bytes, QStringView section, QStringView key, QByteArrayView value)
{
    const QByteArrayView all(bytes);
    const Place place = findKey(all, section, key);
    QByteArray result;
    if (place.keyFound) {
        result.reserve(bytes.size() + value.size());
        result.append(all.first(place.valueBegin)).append(value).append(all.sliced(place.valueEnd));
        return result;
    }
    QByteArray keyLine = ToAnsi(key);
    keyLine.append('=').append(value).append(LineEnd);
    if (place.sectionFound) {
        result.reserve(bytes.size() + keyLine.size() + 2);
        result.append(all.first(place.insertAt));
        if (place.insertNeedsBreak)
            result.append(LineEnd);
        result.append(keyLine).append(all.sliced(place.insertAt));
        return result;
    }
    result = bytes;
    if (!result.isEmpty() && !result.endsWith('\r') && !result.endsWith('\n'))
        result.append(LineEnd);
    result.append('[').append(ToAnsi(section)).append(']').append(LineEnd).append(keyLine);
    return result;
}

} // namespace

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

qint32 ReadIni(const QByteArray& document, const QString& section, const QString& key,
    QString& value, const QString& defaultValue)
{
    const Place place = findKey(document, storableName(section), storableName(key));
    // defaultValue may be value itself, so it is taken before value changes.
    QByteArray fallback;
    QByteArrayView stored;
    if (place.keyFound) {
        stored = withoutEnclosingQuotes(TrimBlanks(
            QByteArrayView(document).sliced(place.valueBegin, place.valueEnd - place.valueBegin)));
    } else {
        fallback = ToAnsi(defaultValue);
        stored = fallback;
    }
    const QByteArrayView delivered = deliverable(stored);
    if (!delivered.isEmpty())
        value = FromAnsi(delivered);
    return qint32(delivered.size());
}

qint32 WriteIni(
    QByteArray& document, const QString& section, const QString& key, const QString& value)
{
    if (holdsLineBreakOrNul(section) || holdsLineBreakOrNul(key) || holdsLineBreakOrNul(value))
        return 0;
    const QString sectionName = storableName(section);
    const QString keyName = storableName(key);
    if (!canStore(sectionName, keyName))
        return 0;
    document = withKey(document, sectionName, keyName, ToAnsi(value));
    return 1;
}
