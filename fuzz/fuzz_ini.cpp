#include "app/inifile.h"
#include "fuzz/fuzzcheck.h"
#include "runtime/codepage.h"

#include <QByteArray>
#include <QList>
#include <cstdint>

namespace {

// The input: the file's bytes, then fields separated by 0x01, taken three at a time as the
// section, key and value of one write, each in the code page.
constexpr char Separator = '\x01';
constexpr qsizetype MaxWrites = 8;
constexpr qint32 MaxValueBytes = 254;

struct Write
{
    QString section, key, value;
};

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QString withoutBlanks(const QString& text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// A name as the file holds it.
QString storedName(const QString& name)
{
    return FromAnsi(ToAnsi(withoutBlanks(name)));
}

bool sameName(const QString& a, const QString& b)
{
    return storedName(a).compare(storedName(b), Qt::CaseInsensitive) == 0;
}

bool breaksLine(const QString& text)
{
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0));
}

bool storable(const Write& w)
{
    const QString section = storedName(w.section), key = storedName(w.key);
    return !section.isEmpty() && !section.contains(u']') && !key.isEmpty() && !key.contains(u'=')
        && !key.startsWith(u'[') && !key.startsWith(u';') && !breaksLine(section)
        && !breaksLine(key) && !breaksLine(w.value);
}

// What a reader gets for a written value: blanks around it dropped, then one pair of enclosing
// quotes, then cut to 254 code-page bytes, never inside a character.
QString readBack(const QString& written)
{
    QString value = withoutBlanks(written);
    if (value.size() >= 2 && value.front() == value.back()
        && (value.front() == u'"' || value.front() == u'\''))
        value = value.sliced(1, value.size() - 2);
    qsizetype end = 0, bytes = 0;
    while (end < value.size()) {
        const qsizetype next = end + (value[end].isHighSurrogate() ? 2 : 1);
        bytes += AnsiByteLength(QStringView(value).sliced(end, next - end));
        if (bytes > MaxValueBytes)
            break;
        end = next;
    }
    return value.first(end);
}

void requireReadsBack(const QByteArray& document, const Write& w, const char* property)
{
    const QString expected = readBack(w.value);
    // Neither marker can be delivered from the file, as values hold no line break.
    QString got = QStringLiteral("\r");
    const qint32 bytes = ReadIni(document, w.section, w.key, got, QStringLiteral("\n"));
    if (expected.isEmpty())
        require(bytes == 0 && got == u"\r", property);
    else
        require(bytes == AnsiByteLength(expected) && got == expected, property);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QByteArray> fields
        = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split(Separator);
    QByteArray document = fields[0];

    QList<Write> written;
    for (qsizetype i = 1; i + 1 < fields.size() && i / 3 < MaxWrites; i += 3) {
        const Write w {FromAnsi(fields[i]), FromAnsi(fields[i + 1]),
            i + 2 < fields.size() ? FromAnsi(fields[i + 2]) : QString()};
        QString before;
        const qint32 found = ReadIni(document, w.section, w.key, before, QString());
        require(found >= 0 && found <= MaxValueBytes, "a read delivers at most 254 bytes");

        const QByteArray old = document;
        const bool accepted = WriteIni(document, w.section, w.key, w.value) != 0;
        require(accepted == storable(w), "the writer takes exactly what it can store");
        if (!accepted) {
            require(document == old, "a refused write leaves the document as it was");
            continue;
        }
        requireReadsBack(document, w, "a written key reads back at once");
        written.append(w);
    }

    // Later writes leave the other keys alone; a later write of the same key replaces its value.
    for (qsizetype i = 0; i < written.size(); ++i) {
        Write last = written[i];
        for (qsizetype j = i + 1; j < written.size(); ++j)
            if (sameName(written[j].section, last.section) && sameName(written[j].key, last.key))
                last.value = written[j].value;
        requireReadsBack(document, last, "every written key reads back after all writes");
    }
    return 0;
}
