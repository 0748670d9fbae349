#include "app/inifile.h"
#include "support/files.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

namespace {

const QString Previous = QStringLiteral("previous");

const auto hex = [](const char* digits) { return QByteArray::fromHex(digits); };
// The bytes of a literal, NUL bytes included.
const auto raw = [](const auto& text) { return QByteArray(text, sizeof(text) - 1); };

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:

    // What key k of section s delivers, read with the given default into "previous".
    void value_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("defaultValue");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("count");

        const auto stored = [](const char* name, const QByteArray& v, const QString& e, int n) {
            QTest::newRow(name) << "k=" + v << "fallback" << e << n;
        };
        const auto missing = [](const char* name, const QString& d, const QString& e, int n) {
            QTest::newRow(name) << QByteArray("j=1") << d << e << n;
        };
        const auto x = [](int n) { return QByteArray(n, 'x'); };
        stored("254 bytes whole", x(254), x(254), 254);
        stored("255 bytes cut to 254", x(255), x(254), 254);
        stored("2-byte character ending at 254", x(252) + hex("d6d0"), x(252) + "中", 254);
        stored("2-byte character across 254", x(253) + hex("d6d0"), x(253), 253);
        stored("4-byte character ending at 254", x(250) + hex("9439fc36"), x(250) + "😀", 254);
        stored("4-byte character across 254", x(251) + hex("9439fc36"), x(251), 251);
        stored("invalid byte counts as one", x(253) + hex("81") + "!x", x(253) + "\uFFFD", 254);
        stored("cut code at the line end", "ab" + hex("813081"), "ab\uFFFD0\uFFFD", 5);
        stored("quotes go before the cut", "\"" + x(300) + "\"", x(254), 254);
        stored("empty keeps previous", "", Previous, 0);
        stored("empty quotes in blanks keep previous", " \"\"\t", Previous, 0);
        stored("NUL first keeps previous", raw("\0ab"), Previous, 0);
        stored("NUL ends the value", raw("ab\0cd"), "ab", 2);
        stored("only outer blanks dropped", " \t a \tb\f \t ", "a \tb\f", 5);
        stored("single quotes inside blanks", "  ' a '\t", " a ", 3);
        stored("one pair only", "\"\"abc\"\"", "\"abc\"", 5);
        stored("mismatched quotes", "\"abc'", "\"abc'", 5);
        stored("lone quote", "'", "'", 1);
        stored("=, ; and brackets kept", "a=b ; [s]", "a=b ; [s]", 9);
        missing("default", "128", "128", 3);
        missing("empty default keeps previous", "", Previous, 0);
        missing("default keeps blanks and quotes", " \"1\" ", " \"1\" ", 5);
        missing("default cut on a character", "x" + QString(200, u'中'), "x" + QString(126, u'中'),
            253);
        missing("default with unpaired surrogate", QString(QChar(0xD800)), "\uFFFD", 4);
        missing("NUL ends the default", QStringLiteral("ab") + QChar(0) + "cd", "ab", 2);
    }
    void value()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, defaultValue);
        QFETCH(QString, expected);
        QFETCH(int, count);

        const QByteArray document = "[s]\r\n" + line + "\r\nnext=1\r\n";
        QString value = Previous;
        QCOMPARE(ReadIni(document, "s", "k", value, defaultValue), count);
        QCOMPARE(value, expected);
        // The settings loader passes one variable as both value and default.
        QString same = defaultValue;
        QCOMPARE(ReadIni(document, "s", "k", same, same), count);
        QCOMPARE(same, count == 0 ? defaultValue : expected);
    }

    // A key found holds "1"; where none is, the default "128" comes back.
    void lookup_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const auto row = [](const char* name, const QByteArray& file, bool found,
                             const QString& section = "s", const QString& key = "k") {
            QTest::newRow(name) << file << section << key << (found ? "1" : "128");
        };
        row("letter case", "[Window]\r\nLeft=1\r\n", true, "WINDOW", "lEFT");
        row("Greek and Cyrillic case", "[" + hex("a6a1a6a2a6a3") + "]\r\n" + hex("a7a5") + "=1",
            true, "αβγ", "д");
        row("trail byte ] in names", "[" + hex("815d") + "]\r\n" + hex("815d") + "=1", true, "乚",
            "乚");
        row("blanks around names", " \t[ \ts ] \t\r\n\t k \t= 1\r\n", true, " s\t", "\tk ");
        row("inner blanks in names", "[a b]\r\nc d=1\r\n", true, "a b", "c d");
        row("text after the bracket", "[s] ; note ]\r\nk=1\r\n", true);
        row("unclosed header", "[ s \t\r\nk=1\r\n", true);
        row("every line end", "[t]\nk=0\r[s]\r\n\n\rk=1", true);
        row("comments and blank lines", "; top\r\n\r\n[s]\r\n; k=0\r\n  ;k=0\r\n\r\nk=1\r\n", true);
        row("first key of the first section", "[s]\r\nk=1\r\nK=2\r\n[S]\r\nk=3\r\n", true);
        row("in a later section", "[t]\r\nk=0\r\n[s]\r\nk=1\r\n[u]\r\nk=2", true);
        row("junk, invalid GBK and NUL bytes elsewhere",
            raw("\xff\x81\r\n[\x81\r\n\0[s]\0\r\n[s]\r\njunk\r\nx=\x81\r\nk\0=0\r\nk=1\r\n"), true);
        row("empty file", "", false);
        row("longer names", "[ss]\r\nk=1\r\n[s s]\r\nk=1\r\n[s]\r\nkk=1\r\nk k=1", false);
        row("key without =", "[s]\r\nk\r\nk 1\r\n", false);
        row("key in another section", "[s]\r\n[t]\r\nk=1\r\n", false);
        row("key before any section", "k=1\r\n[s]\r\n", false);
        row("key under a later duplicate section", "[s]\r\nj=1\r\n[t]\r\n[s]\r\nk=1\r\n", false);
        row("commented key", "[s]\r\n;k=1\r\n\t; k=1\r\n", false);
        row("header holding =", "[s]\r\n[k=0]\r\nk=1\r\n", false);
        row("asked key holding =", "[s]\r\nk=1=2\r\n", false, "s", "k=1");
        row("asked section holding ]", "[s]x]\r\nk=1\r\n", false, "s]x");
    }
    void lookup()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);

        QString value = Previous;
        QCOMPARE(ReadIni(file, section, key, value, "128"), qint32(expected.size()));
        QCOMPARE(value, expected);
    }

    // Random bytes: nothing found, and a write appends its section while keeping every byte.
    void binaryJunk()
    {
        QByteArray junk(1024 * 1024, Qt::Uninitialized);
        QRandomGenerator(20240611).fillRange(reinterpret_cast<quint32*>(junk.data()), 1 << 18);
        QByteArray document = junk;
        QString value = Previous;
        QCOMPARE(ReadIni(document, "设置", "亮度", value, ""), 0);
        QVERIFY(WriteIni(document, "设置", "亮度", "128"));
        QVERIFY(document.startsWith(junk));
        QCOMPARE(ReadIni(document, "设置", "亮度", value, ""), 3);
        QCOMPARE(value, QStringLiteral("128"));
    }

    // Key k of section s set to "v".
    void writeExistingFile_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");

        const auto row = [](const char* name, const QByteArray& before, const QByteArray& after) {
            QTest::newRow(name) << before << after;
        };
        const QByteArray junk = hex("00ff81 0d 815d 0a 5b81");
        row("replaced where it stands",
            "; head\r\n[s]\r\na=1\r\n\r\n; note\r\nk=old\r\njunk\r\n[t]\r\nk=x\r\n",
            "; head\r\n[s]\r\na=1\r\n\r\n; note\r\nk=v\r\njunk\r\n[t]\r\nk=x\r\n");
        row("junk elsewhere kept", junk + "\r\n[s]\r\nk=1\r\n" + junk,
            junk + "\r\n[s]\r\nk=v\r\n" + junk);
        row("spelling kept", "[S]\r\nK=1\r\n", "[S]\r\nK=v\r\n");
        row("blanks before = kept", "[s]\r\n\t k = 1 \r\n", "[s]\r\n\t k =v\r\n");
        row("LF and CR line ends kept", "[s]\nk=1\rz=0\n", "[s]\nk=v\rz=0\n");
        row("last line without end", "[s]\r\nk=1", "[s]\r\nk=v");
        row("first duplicate key and section", "[s]\r\nk=1\r\nK=1\r\n[s]\r\nk=1\r\n",
            "[s]\r\nk=v\r\nK=1\r\n[s]\r\nk=1\r\n");
        row("appended after the last key",
            "[s]\r\na=1\r\njunk\r\nb=2\r\n\r\n; about t\r\n[t]\r\nk=0\r\n",
            "[s]\r\na=1\r\njunk\r\nb=2\r\nk=v\r\n\r\n; about t\r\n[t]\r\nk=0\r\n");
        row("appended after the header", "[s]\r\n\r\n[t]\r\n", "[s]\r\nk=v\r\n\r\n[t]\r\n");
        row("appended to the first duplicate section", "[s]\r\na=1\r\n[s]\r\nk=1\r\n",
            "[s]\r\na=1\r\nk=v\r\n[s]\r\nk=1\r\n");
        row("appended after a header without line end", "[s]", "[s]\r\nk=v\r\n");
        row("appended after a key without line end", "[s]\r\na=1", "[s]\r\na=1\r\nk=v\r\n");
        row("appended in CR LF to an LF file", "[s]\na=1\n[t]\n", "[s]\na=1\nk=v\r\n[t]\n");
        row("section appended to an LF file", "[t]\na=1\n", "[t]\na=1\n[s]\r\nk=v\r\n");
        row("section appended to a CR file", "[t]\r", "[t]\r[s]\r\nk=v\r\n");
        row("section appended to an empty file", "", "[s]\r\nk=v\r\n");
        row("section appended to junk without line end", junk, junk + "\r\n[s]\r\nk=v\r\n");
        row("key before any section is not in it", "k=1\r\n", "k=1\r\n[s]\r\nk=v\r\n");
    }
    void writeExistingFile()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);

        QByteArray document = before;
        QVERIFY(WriteIni(document, "s", "k", "v") != 0);
        QCOMPARE(document, after);
    }

    // Texts that could not be read back as the same key are refused, the file untouched.
    void writeRefused_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");

        const auto row
            = [](const char* name, const QString& section, const QString& key,
                  const QString& value) { QTest::newRow(name) << section << key << value; };
        const QString nul(QChar(0));
        row("blank section", " \t", "k", "v");
        row("section with ]", "a]b", "k", "v");
        row("section with LF", "a\nb", "k", "v");
        row("blank key", "s", "  ", "v");
        row("key with =", "s", "a=b", "v");
        row("key starting with [", "s", " [k", "v");
        row("key starting with ;", "s", ";k", "v");
        row("key with CR", "s", "k\r", "v");
        row("key with NUL", "s", "k" + nul, "v");
        row("value with LF", "s", "k", "1\n[t]");
        row("value with CR", "s", "k", "1\r");
        row("value with NUL", "s", "k", nul);
    }
    void writeRefused()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);

        QByteArray document = "[s]\r\nk=1\r\n";
        QCOMPARE(WriteIni(document, section, key, value), 0);
        QCOMPARE(document, QByteArray("[s]\r\nk=1\r\n"));
    }

    // A file is read whole or not at all; a settings file is never read beyond the size limit.
    void iniFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("size"); // of the file there; -1: none, -2: a folder
        QTest::addColumn<bool>("readable");

        const QString ini = QStringLiteral("Tessarin.Ini");
        QTest::newRow("empty name") << "" << qint64(-1) << false;
        QTest::newRow("missing directory") << "none/" + ini << qint64(-1) << false;
        QTest::newRow("path is a directory") << ini << qint64(-2) << false;
        QTest::newRow("file of 16 MiB") << ini << qint64(16 * 1024 * 1024) << true;
        QTest::newRow("file of 16 MiB and a byte") << ini << qint64(16 * 1024 * 1024 + 1) << false;
    }
    void iniFile()
    {
        QFETCH(QString, name);
        QFETCH(qint64, size);
        QFETCH(bool, readable);

        QTemporaryDir dir;
        const QString file = name.isEmpty() ? name : dir.filePath(name);
        if (size == -2)
            QVERIFY(QDir(dir.path()).mkdir(name));
        // The key stands at the start; the rest is a hole of NUL bytes.
        else if (size >= 0)
            QVERIFY(writeFile(file, "[s]\r\nk=1\r\n") && QFile::resize(file, size));
        const std::optional<QByteArray> document = ReadIniFile(file);
        QCOMPARE(document.has_value(), readable);
        if (readable)
            QCOMPARE(document->size(), size);
    }

    // What WriteIni stores (bytes, where given, are the whole file), ReadIni finds again under the
    // same names; a second write, under the names given after them, if any, replaces it.
    void roundTrip_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("count");

        const auto row = [](const char* name, const QStringList& names, const QString& value,
                             const QByteArray& bytes, const QString& expected, int count) {
            QTest::newRow(name) << names << value << bytes << expected << count;
        };
        const QString high(QChar(0xD800));
        const QString low(QChar(0xDC00));
        row("Chinese in GBK", {"窗体", "宽"}, "中", hex("5b b4b0cce5 5d 0d0a bfed 3d d6d0 0d0a"),
            "中", 2);
        row("beyond GBK in GB18030", {"s", "\u00a0"}, "😀",
            hex("5b735d0d0a 81308432 3d 9439fc36 0d0a"), "😀", 4);
        row("Greek other case", {"ΑΒΓ", "Δ", "αβγ", "δ"}, "1",
            hex("5b a6a1a6a2a6a3 5d 0d0a a6a4 3d 31 0d0a"), "1", 1);
        row("unpaired surrogates", {high, low, low, high}, high, {}, "\uFFFD", 4);
        row("brackets in names", {"[a[b", "c]d"}, "1", "[[a[b]\r\nc]d=1\r\n", "1", 1);
        row("names lose their blanks, the value keeps them", {" \ts ", "\tk  "}, " 'v'\t",
            "[s]\r\nk= 'v'\t\r\n", "v", 1);
        row("long value written whole, read cut", {"s", "k"}, QString(300, u'v'),
            "[s]\r\nk=" + QByteArray(300, 'v') + "\r\n", QString(254, u'v'), 254);
        row("empty value reads as nothing", {"s", "k"}, "", "[s]\r\nk=\r\n", Previous, 0);
    }
    void roundTrip()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, value);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QFETCH(int, count);

        QByteArray document;
        QVERIFY(WriteIni(document, names[0], names[1], "old") != 0);
        QVERIFY(WriteIni(document, names.value(2, names[0]), names.value(3, names[1]), value) != 0);
        QCOMPARE(document.count("\r\n"), 2);
        if (!bytes.isEmpty())
            QCOMPARE(document.toHex(' '), bytes.toHex(' '));
        QString read = Previous;
        QCOMPARE(ReadIni(document, names[0], names[1], read, "fallback"), count);
        QCOMPARE(read, expected);
    }
};

QTEST_MAIN(TestIniFile)

#include "tst_inifile.moc"
