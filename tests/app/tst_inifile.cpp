#include "app/inifile.h"
#include "runtime/codepage.h"
#include "support/files.h"
#include "support/testregistry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

using namespace testsupport;

namespace {

const QString Previous = QStringLiteral("previous");

QByteArray hex(const char* digits)
{
    return QByteArray::fromHex(digits);
}

// The bytes of a literal, NUL bytes included.
template <qsizetype Size> QByteArray raw(const char (&text)[Size])
{
    return QByteArray(text, Size - 1);
}

enum class Failure {
    MissingDirectory,
    Directory,
    TooLarge,
    ReadOnlyFile,
    ReadOnlyDirectory,
    Unreadable
};

} // namespace

Q_DECLARE_METATYPE(Failure)

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void cleanup() { QFile::remove(path()); }
    void storedValue_data();
    void storedValue();
    void defaultValue_data();
    void defaultValue();
    void lookup_data();
    void lookup();
    void notFound_data();
    void notFound();
    void unreadableFile_data();
    void unreadableFile();
    void valueAndDefaultOneVariable_data();
    void valueAndDefaultOneVariable();
    void largeFiles();
    void binaryJunk();
    void writeNewFile_data();
    void writeNewFile();
    void writeExistingFile_data();
    void writeExistingFile();
    void writeRefused_data();
    void writeRefused();
    void writeFailure_data();
    void writeFailure();
    void roundTrip_data();
    void roundTrip();
    void settingsFile();

private:
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("Tessarin.Ini")); }
};

// What a key line's bytes after "=" deliver, read with default "fallback" into "previous".
void TestIniFile::storedValue_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("count");

    const QByteArray x250(250, 'x');
    QTest::newRow("plain") << QByteArray("abc") << "abc" << 3;
    QTest::newRow("254 bytes whole") << QByteArray(254, 'x') << QString(254, u'x') << 254;
    QTest::newRow("300 bytes cut to 254") << QByteArray(300, 'x') << QString(254, u'x') << 254;
    QTest::newRow("two-byte character ending at 254")
        << x250 + "xx" + hex("d6d0") << QString(252, u'x') + "中" << 254;
    QTest::newRow("two-byte character across 254")
        << x250 + "xxx" + hex("d6d0") << QString(253, u'x') << 253;
    QTest::newRow("four-byte character ending at 254")
        << x250 + hex("9439fc36") << QString(250, u'x') + "\U0001f600" << 254;
    QTest::newRow("four-byte character across 254")
        << x250 + "x" + hex("9439fc36") << QString(251, u'x') << 251;
    QTest::newRow("four-byte character across 254 by three")
        << x250 + "xxx" + hex("9439fc36") << QString(253, u'x') << 253;
    QTest::newRow("Chinese cut on a character")
        << hex("d6d0").repeated(200) << QString(127, u'中') << 254;
    QTest::newRow("invalid byte counts as one")
        << QByteArray(253, 'x') + hex("81") + "!x" << QString(253, u'x') + u'\uFFFD' << 254;
    QTest::newRow("cut code at the end of the line")
        << QByteArray("ab") + hex("813081") << "ab\uFFFD0\uFFFD" << 5;
    QTest::newRow("Chinese") << hex("d6d0cec4") << "中文" << 4;
    QTest::newRow("GB18030 four-byte") << hex("81308432") << "\u00a0" << 4;

    QTest::newRow("empty keeps previous") << QByteArray() << Previous << 0;
    QTest::newRow("blanks only keep previous") << QByteArray(" \t  ") << Previous << 0;
    QTest::newRow("empty quotes keep previous") << QByteArray("\"\"") << Previous << 0;
    QTest::newRow("NUL first keeps previous") << raw("\0ab") << Previous << 0;
    QTest::newRow("NUL ends the value") << raw("ab\0cd") << "ab" << 2;

    QTest::newRow("blanks dropped") << QByteArray(" \t abc \t ") << "abc" << 3;
    QTest::newRow("inner blanks kept") << QByteArray("a \tb") << "a \tb" << 4;
    QTest::newRow("other white space kept") << QByteArray("\va\f") << "\va\f" << 3;
    QTest::newRow("double quotes") << QByteArray("\"abc\"") << "abc" << 3;
    QTest::newRow("single quotes") << QByteArray("'abc'") << "abc" << 3;
    QTest::newRow("quotes inside blanks") << QByteArray("  'abc'\t") << "abc" << 3;
    QTest::newRow("blanks inside quotes kept") << QByteArray("\" abc \"") << " abc " << 5;
    QTest::newRow("one pair only") << QByteArray("\"\"abc\"\"") << "\"abc\"" << 5;
    QTest::newRow("mismatched quotes") << QByteArray("\"abc'") << "\"abc'" << 5;
    QTest::newRow("opening quote only") << QByteArray("\"abc") << "\"abc" << 4;
    QTest::newRow("lone quote") << QByteArray("'") << "'" << 1;
    QTest::newRow("quotes then cut")
        << "\"" + QByteArray(300, 'x') + "\"" << QString(254, u'x') << 254;
    QTest::newRow("equals sign") << QByteArray("a=b") << "a=b" << 3;
    QTest::newRow("semicolon kept") << QByteArray("1 ; note") << "1 ; note" << 8;
    QTest::newRow("brackets kept") << QByteArray("[s]") << "[s]" << 3;
}

void TestIniFile::storedValue()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, expected);
    QFETCH(int, count);

    QVERIFY(writeFile(path(), "[s]\r\nk=" + stored + "\r\nnext=1\r\n"));
    QString value = Previous;
    QCOMPARE(ReadIni(path(), "s", "k", value, "fallback"), count);
    QCOMPARE(value, expected);
}

// A key that is missing delivers the default, cut as a stored value is but otherwise unchanged.
void TestIniFile::defaultValue_data()
{
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("count");

    QTest::newRow("128") << "128"
                         << "128" << 3;
    QTest::newRow("empty keeps previous") << "" << Previous << 0;
    QTest::newRow("Chinese") << "中文"
                             << "中文" << 4;
    QTest::newRow("blanks kept") << " 1 "
                                 << " 1 " << 3;
    QTest::newRow("quotes kept") << "\"1\""
                                 << "\"1\"" << 3;
    QTest::newRow("300 bytes cut to 254") << QString(300, u'd') << QString(254, u'd') << 254;
    QTest::newRow("Chinese cut on a character")
        << QString(200, u'中') << QString(127, u'中') << 254;
    QTest::newRow("two-byte character across 254")
        << "x" + QString(200, u'中') << "x" + QString(126, u'中') << 253;
    QTest::newRow("four-byte character across 254")
        << QString(251, u'x') + "\U0001f600" << QString(251, u'x') << 251;
    QTest::newRow("unpaired surrogate") << QString(QChar(0xD800)) << "\uFFFD" << 4;
    QTest::newRow("NUL ends it") << QStringLiteral("ab") + QChar(0) + "cd"
                                 << "ab" << 2;
}

void TestIniFile::defaultValue()
{
    QFETCH(QString, defaultValue);
    QFETCH(QString, expected);
    QFETCH(int, count);

    QVERIFY(writeFile(path(), "[s]\r\nother=1\r\n"));
    QString value = Previous;
    QCOMPARE(ReadIni(path(), "s", "k", value, defaultValue), count);
    QCOMPARE(value, expected);
}

void TestIniFile::lookup_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char* name, const QByteArray& file, const QString& section,
                         const QString& key, const QString& expected) {
        QTest::newRow(name) << file << section << key << expected;
    };

    row("exact", "[s]\r\nk=1\r\n", "s", "k", "1");
    row("section case", "[Window]\r\nk=1\r\n", "WINDOW", "k", "1");
    row("key case", "[s]\r\nLeft=1\r\n", "s", "lEFT", "1");
    row("Greek case", "[" + hex("a6a1a6a2a6a3") + "]\r\nk=1\r\n", "αβγ", "k", "1");
    row("Cyrillic case", "[s]\r\n" + hex("a7a5") + "=1\r\n", "s", "д", "1");
    row("full-width case", "[" + hex("a3c1") + "]\r\nk=1\r\n", "ａ", "k", "1");
    row("Chinese names", "[" + hex("b4b0cce5") + "]\r\n" + hex("bfed") + "=1\r\n", "窗体", "宽",
        "1");
    row("trail byte ] in section", "[" + hex("815d") + "]\r\nk=1\r\n", "乚", "k", "1");
    row("trail byte [ in section", "[" + hex("815b") + "]\r\nk=1\r\n", "乕", "k", "1");
    row("trail byte ] in key", "[s]\r\n" + hex("815d") + "=1\r\n", "s", "乚", "1");
    row("blanks around header", " \t[s] \t\r\nk=1\r\n", "s", "k", "1");
    row("blanks inside brackets", "[ \ts ]\r\nk=1\r\n", "s", "k", "1");
    row("blanks around key", "[s]\r\n\t k \t= 1\r\n", "s", "k", "1");
    row("names asked with blanks", "[s]\r\nk=1\r\n", " s\t", "\tk ", "1");
    row("inner blank in names", "[a b]\r\nc d=1\r\n", "a b", "c d", "1");
    row("text after the bracket", "[s] ; note ]\r\nk=1\r\n", "s", "k", "1");
    row("unclosed header", "[s\r\nk=1\r\n", "s", "k", "1");
    row("unclosed header with blanks", "[ s \t\r\nk=1\r\n", "s", "k", "1");
    row("key named like its section", "[s]\r\ns=1\r\n", "s", "s", "1");
    row("LF only", "[t]\nk=0\n[s]\nk=1\n", "s", "k", "1");
    row("CR only", "[t]\rk=0\r[s]\rk=1\r", "s", "k", "1");
    row("mixed line ends", "[t]\nk=0\r[s]\r\n\n\rk=1", "s", "k", "1");
    row("no line end at all", "[s]\r\nk=1", "s", "k", "1");
    row("comments and blank lines", "; top\r\n\r\n[s]\r\n; k=0\r\n  ;k=0\r\n\r\nk=1\r\n", "s", "k",
        "1");
    row("first of two keys", "[s]\r\nk=1\r\nK=2\r\n", "s", "k", "1");
    row("first of two sections", "[s]\r\nk=1\r\n[t]\r\n[S]\r\nk=2\r\n", "s", "k", "1");
    row("key in a later section of another name", "[t]\r\nk=0\r\n[s]\r\nk=1\r\n[u]\r\nk=2\r\n", "s",
        "k", "1");
    row("unknown lines between", "[s]\r\njunk\r\n\x01\x02\r\nk=1\r\n", "s", "k", "1");
    row("invalid GBK before",
        "\xff\x81\r\n[" + hex("81") + "\r\n[s]\r\nx=" + hex("81") + "\r\nk=1\r\n", "s", "k", "1");
    row("NUL bytes elsewhere", raw("\0[s]\0\r\n[s]\r\nk\0=0\r\nk=1\r\n"), "s", "k", "1");
}

void TestIniFile::lookup()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    QVERIFY(writeFile(path(), file));
    QString value = Previous;
    QCOMPARE(ReadIni(path(), section, key, value, "fallback"), qint32(expected.size()));
    QCOMPARE(value, expected);
}

void TestIniFile::notFound_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");

    const auto row = [](const char* name, const QByteArray& file, const QString& section,
                         const QString& key) { QTest::newRow(name) << file << section << key; };

    row("empty file", QByteArray(), "s", "k");
    row("no such section", "[t]\r\nk=1\r\n", "s", "k");
    row("no such key", "[s]\r\nj=1\r\n", "s", "k");
    row("key in another section", "[s]\r\n[t]\r\nk=1\r\n", "s", "k");
    row("key before any section", "k=1\r\n[s]\r\n", "s", "k");
    row("key under a later duplicate section", "[s]\r\nj=1\r\n[t]\r\n[s]\r\nk=1\r\n", "s", "k");
    row("commented key", "[s]\r\n;k=1\r\n\t; k=1\r\n", "s", "k");
    row("key without =", "[s]\r\nk\r\nk 1\r\n", "s", "k");
    row("longer key", "[s]\r\nkk=1\r\nk k=1\r\n", "s", "k");
    row("longer section", "[ss]\r\nk=1\r\n[s s]\r\nk=1\r\n", "s", "k");
    row("header holding =", "[s]\r\n[k=0]\r\nk=1\r\n", "s", "k");
    row("bracket in a key line ends nothing", "[s]\r\nk]=1\r\n", "s", "k");
    row("asked key holding =", "[s]\r\nk=1=2\r\n", "s", "k=1");
    row("asked section holding ]", "[s]x]\r\nk=1\r\n", "s]x", "k");
    row("asked key is a comment", "[s]\r\n;k=1\r\n", "s", ";k");
}

void TestIniFile::notFound()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);

    QVERIFY(writeFile(path(), file));
    QString value = Previous;
    QCOMPARE(ReadIni(path(), section, key, value, "128"), 3);
    QCOMPARE(value, QStringLiteral("128"));
}

void TestIniFile::unreadableFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("size");

    QTest::newRow("missing file") << "none.ini" << qint64(-1);
    QTest::newRow("missing directory") << "none/Tessarin.Ini" << qint64(-1);
    QTest::newRow("directory") << "." << qint64(-1);
    QTest::newRow("empty name") << "" << qint64(-1);
    QTest::newRow("16 MiB and a byte") << "Tessarin.Ini" << qint64(16 * 1024 * 1024 + 1);
    QTest::newRow("100 MB") << "Tessarin.Ini" << qint64(100'000'000);
}

void TestIniFile::unreadableFile()
{
    QFETCH(QString, name);
    QFETCH(qint64, size);

    const QString file = name.isEmpty() ? name : m_dir.filePath(name);
    if (size >= 0) {
        // The key stands at the start; the rest is a hole of NUL bytes.
        QVERIFY(writeFile(file, "[s]\r\nk=1\r\n"));
        QVERIFY(QFile::resize(file, size));
    }
    QString value = Previous;
    QCOMPARE(ReadIni(file, "s", "k", value, "128"), 3);
    QCOMPARE(value, QStringLiteral("128"));
}

// The settings loader passes one variable as both value and default.
void TestIniFile::valueAndDefaultOneVariable_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("count");

    const auto row = [](const char* name, const QByteArray& line, const QString& variable,
                         const QString& expected, int count) {
        QTest::newRow(name) << line << variable << expected << count;
    };

    row("missing key", "j=1", "4800", "4800", 4);
    row("empty value", "k=", "4800", "4800", 0);
    row("stored value", "k=9600", "4800", "9600", 4);
    row("long default", "j=1", QString(300, u'd'), QString(254, u'd'), 254);
}

void TestIniFile::valueAndDefaultOneVariable()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, variable);
    QFETCH(QString, expected);
    QFETCH(int, count);

    QVERIFY(writeFile(path(), "[s]\r\n" + line + "\r\n"));
    QCOMPARE(ReadIni(path(), "s", "k", variable, variable), count);
    QCOMPARE(variable, expected);
}

void TestIniFile::largeFiles()
{
    const QByteArray megabyte(1024 * 1024, 'x');
    const QByteArray before = "[s]\r\nbig=" + megabyte + "\r\n" + megabyte + "\r\nk=1\r\n";
    QVERIFY(writeFile(path(), before));

    QString value;
    QCOMPARE(ReadIni(path(), "s", "big", value, ""), 254);
    QCOMPARE(value, QString(254, u'x'));
    QCOMPARE(ReadIni(path(), "s", "k", value, ""), 1);
    QCOMPARE(value, QStringLiteral("1"));
    QVERIFY(WriteIni(path(), "s", "k", "2"));
    QCOMPARE(readAll(path()), before.chopped(3) + "2\r\n");

    // The largest file read: one line of junk fills it up to the key at its end.
    const QByteArray head = "[s]\r\n";
    const QByteArray tail = "\r\nk=3\r\n";
    const qsizetype largest = 16 * 1024 * 1024;
    QVERIFY(
        writeFile(path(), head + QByteArray(largest - head.size() - tail.size(), '\x81') + tail));
    QCOMPARE(QFileInfo(path()).size(), largest);
    QCOMPARE(ReadIni(path(), "s", "k", value, ""), 1);
    QCOMPARE(value, QStringLiteral("3"));
    QVERIFY(WriteIni(path(), "s", "k", "4"));
    QCOMPARE(QFileInfo(path()).size(), largest);
    QCOMPARE(ReadIni(path(), "s", "k", value, ""), 1);
    QCOMPARE(value, QStringLiteral("4"));
}

// Random bytes: nothing found, and a write appends its section while keeping every byte.
void TestIniFile::binaryJunk()
{
    QRandomGenerator random(20240611);
    QByteArray junk(1024 * 1024, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32*>(junk.data()), junk.size() / 4);
    QVERIFY(writeFile(path(), junk));

    QString value = Previous;
    QCOMPARE(ReadIni(path(), "设置", "亮度", value, ""), 0);
    QCOMPARE(value, Previous);
    QVERIFY(WriteIni(path(), "设置", "亮度", "128"));
    const QByteArray after = readAll(path());
    QVERIFY(after.startsWith(junk));
    QCOMPARE(ReadIni(path(), "设置", "亮度", value, ""), 3);
    QCOMPARE(value, QStringLiteral("128"));
}

void TestIniFile::writeNewFile_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected");

    const auto row = [](const char* name, const QString& section, const QString& key,
                         const QString& value, const QByteArray& expected) {
        QTest::newRow(name) << section << key << value << expected;
    };

    row("plain", "s", "k", "v", "[s]\r\nk=v\r\n");
    row("empty value", "s", "k", "", "[s]\r\nk=\r\n");
    row("Chinese in GBK", "窗体", "宽", "中", hex("5b b4b0cce5 5d 0d0a bfed 3d d6d0 0d0a"));
    row("beyond GBK in GB18030", "s", "\u00a0", "\U0001f600",
        hex("5b735d0d0a 81308432 3d 9439fc36 0d0a"));
    row("names lose their blanks", " \ts ", "\tk  ", "v", "[s]\r\nk=v\r\n");
    row("value keeps its blanks", "s", "k", " v\t", "[s]\r\nk= v\t\r\n");
    row("value with = and quotes", "s", "k", "\"a=b\"", "[s]\r\nk=\"a=b\"\r\n");
    row("long value written whole", "s", "k", QString(300, u'v'),
        "[s]\r\nk=" + QByteArray(300, 'v') + "\r\n");
}

void TestIniFile::writeNewFile()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);

    QVERIFY(WriteIni(path(), section, key, value) != 0);
    QCOMPARE(readAll(path()).toHex(' '), expected.toHex(' '));
}

void TestIniFile::writeExistingFile_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("after");

    const auto row = [](const char* name, const QByteArray& before, const QString& section,
                         const QString& key, const QByteArray& after) {
        QTest::newRow(name) << before << section << key << after;
    };

    const QByteArray junk = hex("00ff81 0d 815d 0a 5b81");
    row("replaced where it stands",
        "; head\r\n[s]\r\na=1\r\n\r\n; note\r\nk=old\r\njunk\r\n[t]\r\nk=x\r\n", "s", "k",
        "; head\r\n[s]\r\na=1\r\n\r\n; note\r\nk=v\r\njunk\r\n[t]\r\nk=x\r\n");
    row("junk elsewhere kept", junk + "\r\n[s]\r\nk=1\r\n" + junk, "s", "k",
        junk + "\r\n[s]\r\nk=v\r\n" + junk);
    row("spelling kept", "[S]\r\nKey=1\r\n", "s", "KEY", "[S]\r\nKey=v\r\n");
    row("blanks before = kept", "[s]\r\n\t k = 1 \r\n", "s", "k", "[s]\r\n\t k =v\r\n");
    row("quoted value replaced", "[s]\r\nk=\"1\"\r\n", "s", "k", "[s]\r\nk=v\r\n");
    row("longer value replaced", QByteArray("[s]\r\nk=") + QByteArray(500, '1') + "\r\nz=0", "s",
        "k", "[s]\r\nk=v\r\nz=0");
    row("LF line end kept", "[s]\nk=1\nz=0\n", "s", "k", "[s]\nk=v\nz=0\n");
    row("CR line end kept", "[s]\rk=1\rz=0\r", "s", "k", "[s]\rk=v\rz=0\r");
    row("last line without end", "[s]\r\nk=1", "s", "k", "[s]\r\nk=v");
    row("first duplicate key", "[s]\r\nk=1\r\nK=1\r\n", "s", "k", "[s]\r\nk=v\r\nK=1\r\n");
    row("first duplicate section", "[s]\r\nk=1\r\n[s]\r\nk=1\r\n", "s", "k",
        "[s]\r\nk=v\r\n[s]\r\nk=1\r\n");

    row("appended after the last key",
        "[s]\r\na=1\r\njunk\r\nb=2\r\n\r\n; about t\r\n[t]\r\nk=0\r\n", "s", "k",
        "[s]\r\na=1\r\njunk\r\nb=2\r\nk=v\r\n\r\n; about t\r\n[t]\r\nk=0\r\n");
    row("appended before a commented key", "[s]\r\na=1\r\n;k=0\r\n", "s", "k",
        "[s]\r\na=1\r\nk=v\r\n;k=0\r\n");
    row("appended after the header", "[s]\r\n\r\n[t]\r\n", "s", "k", "[s]\r\nk=v\r\n\r\n[t]\r\n");
    row("appended to the first duplicate section", "[s]\r\na=1\r\n[s]\r\nk=1\r\n", "s", "k",
        "[s]\r\na=1\r\nk=v\r\n[s]\r\nk=1\r\n");
    row("appended to a section of other case", "[S]\r\na=1\r\n", "s", "k", "[S]\r\na=1\r\nk=v\r\n");
    row("appended to an unclosed section", "[s\r\na=1\r\n", "s", "k", "[s\r\na=1\r\nk=v\r\n");
    row("appended after a header without line end", "[s]", "s", "k", "[s]\r\nk=v\r\n");
    row("appended after a key without line end", "[s]\r\na=1", "s", "k", "[s]\r\na=1\r\nk=v\r\n");
    row("appended in CR LF to an LF file", "[s]\na=1\n[t]\n", "s", "k", "[s]\na=1\nk=v\r\n[t]\n");

    row("section appended", "[t]\r\na=1\r\n", "s", "k", "[t]\r\na=1\r\n[s]\r\nk=v\r\n");
    row("section appended after blank lines", "[t]\r\n\r\n\r\n", "s", "k",
        "[t]\r\n\r\n\r\n[s]\r\nk=v\r\n");
    row("section appended after a line without end", "[t]\r\na=1", "s", "k",
        "[t]\r\na=1\r\n[s]\r\nk=v\r\n");
    row("section appended to an LF file", "[t]\na=1\n", "s", "k", "[t]\na=1\n[s]\r\nk=v\r\n");
    row("section appended to a CR file", "[t]\r", "s", "k", "[t]\r[s]\r\nk=v\r\n");
    row("section appended to an empty file", QByteArray(), "s", "k", "[s]\r\nk=v\r\n");
    row("section appended to junk", junk, "s", "k", junk + "\r\n[s]\r\nk=v\r\n");
    row("key before any section is not in it", "k=1\r\n", "s", "k", "k=1\r\n[s]\r\nk=v\r\n");
}

void TestIniFile::writeExistingFile()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QByteArray, after);

    QVERIFY(writeFile(path(), before));
    QVERIFY(WriteIni(path(), section, key, "v") != 0);
    QCOMPARE(readAll(path()), after);
    QCOMPARE(entriesBelow(m_dir.path()), QStringList {path()});
}

// Texts that could not be read back as the same key are refused, the file untouched.
void TestIniFile::writeRefused_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    const auto row = [](const char* name, const QString& section, const QString& key,
                         const QString& value) { QTest::newRow(name) << section << key << value; };

    const QString nul(QChar(0));
    row("empty section", "", "k", "v");
    row("blank section", " \t", "k", "v");
    row("section with ]", "a]b", "k", "v");
    row("section with CR", "a\rb", "k", "v");
    row("section with LF", "a\nb", "k", "v");
    row("section with NUL", "a" + nul + "b", "k", "v");
    row("empty key", "s", "", "v");
    row("blank key", "s", "  ", "v");
    row("key with =", "s", "a=b", "v");
    row("key starting with [", "s", " [k", "v");
    row("key starting with ;", "s", ";k", "v");
    row("key with CR LF", "s", "k\r\n", "v");
    row("key with NUL", "s", "k" + nul, "v");
    row("value with LF", "s", "k", "1\n[t]");
    row("value with CR", "s", "k", "1\r");
    row("value with NUL", "s", "k", nul);
}

void TestIniFile::writeRefused()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);

    QCOMPARE(WriteIni(path(), section, key, value), 0);
    QVERIFY(!QFileInfo::exists(path()));

    const QByteArray before("[s]\r\nk=1\r\n");
    QVERIFY(writeFile(path(), before));
    QCOMPARE(WriteIni(path(), section, key, value), 0);
    QCOMPARE(readAll(path()), before);
}

void TestIniFile::writeFailure_data()
{
    QTest::addColumn<Failure>("failure");

    QTest::newRow("missing directory") << Failure::MissingDirectory;
    QTest::newRow("path is a directory") << Failure::Directory;
    QTest::newRow("file over 16 MiB") << Failure::TooLarge;
    QTest::newRow("read-only file") << Failure::ReadOnlyFile;
    QTest::newRow("read-only directory") << Failure::ReadOnlyDirectory;
    QTest::newRow("unreadable file") << Failure::Unreadable;
}

void TestIniFile::writeFailure()
{
    QFETCH(Failure, failure);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString file = dir.filePath(QStringLiteral("Tessarin.Ini"));
    const QByteArray before("[s]\r\nk=1\r\n");
    QFileDevice::Permissions fileMode = ReadWrite;
    QFileDevice::Permissions folderMode = ReadWrite | Enter;
    switch (failure) {
    case Failure::MissingDirectory:
        file = dir.filePath(QStringLiteral("none/Tessarin.Ini"));
        break;
    case Failure::Directory:
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Tessarin.Ini")));
        break;
    case Failure::TooLarge:
        QVERIFY(writeFile(file, before));
        QVERIFY(QFile::resize(file, 16 * 1024 * 1024 + 1));
        break;
    case Failure::ReadOnlyFile:
        fileMode = ReadOnly;
        break;
    case Failure::ReadOnlyDirectory:
        folderMode = ReadOnly | Enter;
        break;
    case Failure::Unreadable:
        fileMode = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
        break;
    }
    if (!QFileInfo::exists(file) && failure != Failure::MissingDirectory)
        QVERIFY(writeFile(file, before));
    const bool isFile = QFileInfo(file).isFile();
    const QByteArray content = isFile ? readAll(file) : QByteArray();
    const QStringList entries = entriesBelow(dir.path());

    qint32 result = 0;
    {
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(dir.path(), ReadWrite | Enter);
            if (isFile)
                QFile::setPermissions(file, ReadWrite);
        });
        if (isFile)
            QVERIFY(QFile::setPermissions(file, fileMode));
        QVERIFY(QFile::setPermissions(dir.path(), folderMode));
        const UnprivilegedUser user;
        const bool permissionCase = failure == Failure::ReadOnlyFile
            || failure == Failure::ReadOnlyDirectory || failure == Failure::Unreadable;
        if (permissionCase && effectiveAccess(file, R_OK | W_OK)
            && effectiveAccess(dir.path(), W_OK))
            QSKIP("this user reads and writes protected files and folders anyway");
        result = WriteIni(file, "s", "k", "2");
    }

    QCOMPARE(result, 0);
    QCOMPARE(entriesBelow(dir.path()), entries);
    if (isFile)
        QCOMPARE(readAll(file), content);
}

// What WriteIni stores, ReadIni finds again under the same names; a second write replaces it.
void TestIniFile::roundTrip_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("readSection");
    QTest::addColumn<QString>("readKey");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("count");

    const auto row = [](const char* name, const QString& section, const QString& key,
                         const QString& value, const QString& readSection, const QString& readKey,
                         const QString& expected, int count) {
        QTest::newRow(name) << section << key << value << readSection << readKey << expected
                            << count;
    };

    row("Chinese", "属性", "图片宽", "十二", "属性", "图片宽", "十二", 4);
    row("other case", "Window", "Left", "1200", "WINDOW", "left", "1200", 4);
    row("Greek other case", "ΑΒΓ", "Δ", "1", "αβγ", "δ", "1", 1);
    row("beyond GBK", "\U0001f600", "\u00a0", "\U0001f601", "\U0001f600", "\u00a0", "\U0001f601",
        4);
    row("unpaired surrogates", QString(QChar(0xD800)), QString(QChar(0xDC00)),
        QString(QChar(0xDBFF)), QString(QChar(0xDFFF)), QString(QChar(0xD801)), "\uFFFD", 4);
    row("brackets in names", "[a[b", "c]d", "1", "[a[b", "c]d", "1", 1);
    row("path", "设置", "背景图片", "/home/用户/a b.png", "设置", "背景图片", "/home/用户/a b.png",
        18);
    row("blanks around the value are lost", "s", "k", " v\t", "s", "k", "v", 1);
    row("enclosing quotes are lost", "s", "k", "'v'", "s", "k", "v", 1);
    row("long value is cut", "s", "k", QString(200, u'中'), "s", "k", QString(127, u'中'), 254);
    row("empty value reads as nothing", "s", "k", "", "s", "k", Previous, 0);
}

void TestIniFile::roundTrip()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, readSection);
    QFETCH(QString, readKey);
    QFETCH(QString, expected);
    QFETCH(int, count);

    QVERIFY(WriteIni(path(), section, key, "old") != 0);
    QVERIFY(WriteIni(path(), readSection, readKey, value) != 0);
    QCOMPARE(readAll(path()).count("\r\n"), 2);
    QString read = Previous;
    QCOMPARE(ReadIni(path(), section, key, read, "fallback"), count);
    QCOMPARE(read, expected);
}

// The settings file as the program writes it: sections and keys in first-write order, and a
// later save that rewrites every key leaves that order alone.
void TestIniFile::settingsFile()
{
    const QList<QStringList> keys = {
        {"窗体", "Left", "1200"},
        {"窗体", "Top", "900"},
        {"窗体", "Width", "9600"},
        {"窗体", "Height", "7200"},
        {"窗体", "WindowState", "0"},
        {"属性", "图片宽", "12"},
        {"属性", "图片高", "12"},
        {"属性", "字号", "9"},
        {"属性", "粗体", "1"},
        {"属性", "斜体", "0"},
        {"属性", "下划线", "0"},
        {"属性", "删除线", "0"},
        {"设置", "删除右侧空格", "1"},
        {"设置", "改变字体", "0"},
        {"设置", "处理方式", "2"},
        {"设置", "亮度", "128"},
        {"设置", "背景图片", ""},
        {"设置", "自动切换", "True"},
        {"设置", "锁定输出文本框", "False"},
        {"设置", "保持宽度", "False"},
    };
    const QString expected = QStringLiteral(
        "[窗体]\r\nLeft=1200\r\nTop=900\r\nWidth=9600\r\nHeight=7200\r\nWindowState=0\r\n"
        "[属性]\r\n图片宽=12\r\n图片高=12\r\n字号=9\r\n粗体=1\r\n斜体=0\r\n下划线=0\r\n删除线=0\r\n"
        "[设置]\r\n删除右侧空格=1\r\n改变字体=0\r\n处理方式=2\r\n亮度=128\r\n背景图片=\r\n"
        "自动切换=True\r\n锁定输出文本框=False\r\n保持宽度=False\r\n");

    for (const QStringList& key : keys)
        QVERIFY(WriteIni(path(), key[0], key[1], key[2]) != 0);
    QCOMPARE(FromAnsi(readAll(path())), expected);

    QString changed = expected;
    changed.replace(QStringLiteral("Left=1200"), QStringLiteral("Left=-15"))
        .replace(QStringLiteral("背景图片="), QStringLiteral("背景图片=/tmp/背景.png"))
        .replace(QStringLiteral("保持宽度=False"), QStringLiteral("保持宽度=True"));
    for (const QStringList& key : keys) {
        QString value;
        QCOMPARE(qsizetype(ReadIni(path(), key[0], key[1], value, "")), AnsiByteLength(key[2]));
        QCOMPARE(value, key[2]);
        if (key[1] == "Left")
            value = "-15";
        else if (key[1] == "背景图片")
            value = "/tmp/背景.png";
        else if (key[1] == "保持宽度")
            value = "True";
        QVERIFY(WriteIni(path(), key[0], key[1], value) != 0);
    }
    QCOMPARE(readAll(path()), ToAnsi(changed));
}

TESSARIN_TEST(TestIniFile)

#include "tst_inifile.moc"
