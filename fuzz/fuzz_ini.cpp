#include "app/inifile.h"
#include "fuzz/fuzzcheck.h"
#include "runtime/codepage.h"

#include <QHash>
#include <QRegularExpression>

namespace {

struct Write
{
    QString section, key, value;
};

// Blanks and tabs around a name or a value are not part of it.
QString withoutBlanks(QString text)
{
    static const QRegularExpression around(QStringLiteral("^[ \t]+|[ \t]+$"));
    return text.remove(around);
}

// A name as the file holds it, case folded, as names are compared so.
QString storedName(const QString& name)
{
    return FromAnsi(ToAnsi(withoutBlanks(name))).toCaseFolded();
}

bool storable(const Write& w)
{
    static const QRegularExpression lineBreak(QStringLiteral("[\\r\\n\\x00]"));
    const QString section = storedName(w.section), key = storedName(w.key);
    return !section.isEmpty() && !section.contains(u']') && !key.isEmpty() && !key.contains(u'=')
        && !key.startsWith(u'[') && !key.startsWith(u';')
        && !(w.section + w.key + w.value).contains(lineBreak);
}

// What a reader gets for a written value: blanks around it dropped, then one pair of enclosing
// quotes, then cut to 254 code-page bytes, never inside a character.
QString readBack(const QString& written)
{
    QString value = withoutBlanks(written);
    if (value.size() >= 2 && value.front() == value.back()
        && (value.front() == u'"' || value.front() == u'\''))
        value = value.sliced(1, value.size() - 2);
    value.truncate(256); // a UTF-16 unit takes one byte at least
    while (AnsiByteLength(value) > 254)
        value.chop(value.back().isLowSurrogate() ? 2 : 1);
    return value;
}

void requireReadsBack(const QString& path, const Write& w, const char* property)
{
    // Neither marker can come from the file, as values hold no line break.
    const QString expected = readBack(w.value);
    QString got = QStringLiteral("\r");
    const qint32 bytes = ReadIni(path, w.section, w.key, got, QStringLiteral("\n"));
    require(bytes == AnsiByteLength(expected) && got == (expected.isEmpty() ? u"\r"_qs : expected),
        property);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The file's bytes (none: no file at all), then fields separated by 0x01, taken three at a
    // time as the section, key and value of one write (eight at most), each in the code page.
    const QList<QByteArray> fields
        = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\x01');
    const QString path = scratchFile("fuzz.ini", fields[0]);
    if (fields[0].isEmpty())
        QFile::remove(path);

    QHash<QString, Write> written; // the last write of each key, by its stored names
    for (qsizetype i = 1; i + 1 < fields.size() && i < 24; i += 3) {
        const Write w {FromAnsi(fields[i]), FromAnsi(fields[i + 1]),
            i + 2 < fields.size() ? FromAnsi(fields[i + 2]) : QString()};
        const QByteArray old = fileBytes(path);
        const bool accepted = WriteIni(path, w.section, w.key, w.value) != 0;
        require(accepted == storable(w), "the writer takes exactly what it can store");
        require(accepted || fileBytes(path) == old, "a refused write leaves the file as it was");
        if (!accepted)
            continue;
        requireReadsBack(path, w, "a written key reads back at once");
        written.insert(storedName(w.section) + u'\n' + storedName(w.key), w);
    }

    // Later writes leave the other keys alone; a later write of the same key replaces its value.
    for (const Write& w : std::as_const(written))
        requireReadsBack(path, w, "every written key reads back after all writes");
    return 0;
}
