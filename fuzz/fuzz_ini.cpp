#include "app/inifile.h"
#include "fuzz/fuzzcheck.h"
#include "runtime/codepage.h"

#include <QRegularExpression>

namespace {

// The blanks around a name or value, which the file does not keep.
const QRegularExpression blanks(QStringLiteral("^[ \t]+|[ \t]+$"));

QString storedName(const QString& name)
{
    return FromAnsi(ToAnsi(QString(name).remove(blanks)));
}

// What a reader gets for a written value: blanks around it dropped, then one pair of enclosing
// quotes, then cut to 254 code-page bytes, never inside a character.
void requireReadsBack(const QByteArray& document, const QStringList& write)
{
    QString value = QString(write[2]).remove(blanks);
    if (value.size() >= 2 && value.front() == value.back()
        && (value.front() == u'"' || value.front() == u'\''))
        value = value.sliced(1, value.size() - 2);
    while (AnsiByteLength(value) > 254)
        value.chop(value.back().isLowSurrogate() ? 2 : 1);
    // Neither marker can be delivered from the file, as values hold no line break.
    QString got = QStringLiteral("\r");
    const qint32 read = ReadIni(document, write[0], write[1], got, QStringLiteral("\n"));
    require(
        value.isEmpty() ? read == 0 && got == u"\r" : read == AnsiByteLength(value) && got == value,
        "every written key reads back, after later writes too");
}

} // namespace

// The input: the file's bytes, then fields separated by 0x01, taken three at a time as the
// section, key and value of one write, each in the code page.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QByteArray> fields
        = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\x01');
    QByteArray document = fields[0];
    QList<QStringList> written;
    for (qsizetype i = 1; i + 1 < fields.size() && i < 24; i += 3) {
        const QStringList w {FromAnsi(fields[i]), FromAnsi(fields[i + 1]),
            i + 2 < fields.size() ? FromAnsi(fields[i + 2]) : QString()};
        QString before;
        const qint32 found = ReadIni(document, w[0], w[1], before, QString());
        require(found >= 0 && found <= 254, "a read delivers at most 254 bytes");
        const QString section = storedName(w[0]), key = storedName(w[1]);
        const QByteArray old = document;
        const bool accepted = WriteIni(document, w[0], w[1], w[2]) != 0;
        require(accepted || document == old, "a refused write leaves the document as it was");
        if (!accepted)
            continue;
        // A later write of the same key replaces its value and leaves the other keys alone.
        written.removeIf([&](const QStringList& o) {
            return storedName(o[0]).compare(section, Qt::CaseInsensitive) == 0
                && storedName(o[1]).compare(key, Qt::CaseInsensitive) == 0;
        });
        written.append(w);
        for (const QStringList& each : written)
            requireReadsBack(document, each);
    }
    return 0;
}
