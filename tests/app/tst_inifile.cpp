#include "app/inifile.h"
#include "support/files.h"
#include "support/testregistry.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

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

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("Tessarin.Ini")); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void cleanup() { QFile::remove(path()); }

    // What key k of section s delivers, read with the given default into "previous".
    void value_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("defaultValue");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("count");

        const auto stored
            = [](const char* name, const QByteArray& value, const QString& expected, int count) {
                  QTest::newRow(name) << "k=" + value << "fallback" << expected << count;
              };
        const auto missing = [](const char* name, const QString& defaultValue,
                                 const QString& expected, int count) {
            QTest::newRow(name) << QByteArray("j=1") << defaultValue << expected << count;
        };
        const QByteArray x250(250, 'x');
        stored("plain", "abc", "abc", 3);
        stored("254 bytes whole", QByteArray(254, 'x'), QString(254, u'x'), 254);
        stored("255 bytes cut to 254", QByteArray(255, 'x'), QString(254, u'x'), 254);
        stored("two-byte character ending at 254", x250 + "xx" + hex("d6d0"),
            QString(252, u'x') + "中", 254);
        stored(
            "two-byte character across 254", x250 + "xxx" + hex("d6d0"), QString(253, u'x'), 253);
        stored("four-byte character ending at 254", x250 + hex("9439fc36"),
            QString(250, u'x') + "\U0001f600", 254);
        stored("four-byte character across 254", x250 + "x" + hex("9439fc36"), QString(251, u'x'),
            251);
        stored("invalid byte counts as one", QByteArray(253, 'x') + hex("81") + "!x",
            QString(253, u'x') + u'\uFFFD', 254);
        stored("cut code at the end of the line", "ab" + hex("813081"), "ab\uFFFD0\uFFFD", 5);
        stored("quotes go before the cut", "\"" + QByteArray(300, 'x') + "\"", QString(254, u'x'),
            254);
        stored("empty keeps previous", "", Previous, 0);
        stored("empty quotes in blanks keep previous", " \"\"\t", Previous, 0);
        stored("NUL first keeps previous", raw("\0ab"), Previous, 0);
        stored("NUL ends the value", raw("ab\0cd"), "ab", 2);
        stored("only outer blanks dropped", " \t a \tb\f \t ", "a \tb\f", 5);
        stored("double quotes", "\"abc\"", "abc", 3);
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

        QVERIFY(writeFile(path(), "[s]\r\n" + line + "\r\nnext=1\r\n"));
        QString value = Previous;
        QCOMPARE(ReadIni(path(), "s", "k", value, defaultValue), count);
        QCOMPARE(value, expected);

        // The settings loader passes one variable as both value and default.
        QString same = defaultValue;
        QCOMPARE(ReadIni(path(), "s", "k", same, same), count);
        QCOMPARE(same, count == 0 ? defaultValue : expected);
    }

    // Found keys hold "1"; where nothing is found the default "128" comes back.
    void lookup_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const auto row = [](const char* name, const QByteArray& file, const QString& section,
                             const QString& key, const QString& expected) {
            QTest::newRow(name) << file << section << key << expected;
        };
        row("letter case", "[Window]\r\nLeft=1\r\n", "WINDOW", "lEFT", "1");
        row("Greek and Cyrillic case", "[" + hex("a6a1a6a2a6a3") + "]\r\n" + hex("a7a5") + "=1",
            "αβγ", "д", "1");
        row("trail byte ] in names", "[" + hex("815d") + "]\r\n" + hex("815d") + "=1", "乚", "乚",
            "1");
        row("blanks around names", " \t[ \ts ] \t\r\n\t k \t= 1\r\n", " s\t", "\tk ", "1");
        row("inner blanks in names", "[a b]\r\nc d=1\r\n", "a b", "c d", "1");
        row("text after the bracket", "[s] ; note ]\r\nk=1\r\n", "s", "k", "1");
        row("unclosed header", "[ s \t\r\nk=1\r\n", "s", "k", "1");
        row("every line end", "[t]\nk=0\r[s]\r\n\n\rk=1", "s", "k", "1");
        row("comments and blank lines", "; top\r\n\r\n[s]\r\n; k=0\r\n  ;k=0\r\n\r\nk=1\r\n", "s",
            "k", "1");
        row("first key of the first section", "[s]\r\nk=1\r\nK=2\r\n[S]\r\nk=3\r\n", "s", "k", "1");
        row("key in a later section of another name", "[t]\r\nk=0\r\n[s]\r\nk=1\r\n[u]\r\nk=2", "s",
            "k", "1");
        row("junk, invalid GBK and NUL bytes elsewhere",
            raw("\xff\x81\r\n[\x81\r\n\0[s]\0\r\n[s]\r\njunk\r\nx=\x81\r\nk\0=0\r\nk=1\r\n"), "s",
            "k", "1");
        row("empty file", "", "s", "k", "128");
        row("longer or shorter names", "[ss]\r\nk=1\r\n[s s]\r\nk=1\r\n[s]\r\nkk=1\r\nk k=1", "s",
            "k", "128");
        row("key without =", "[s]\r\nk\r\nk 1\r\n", "s", "k", "128");
        row("key in another section", "[s]\r\n[t]\r\nk=1\r\n", "s", "k", "128");
        row("key before any section", "k=1\r\n[s]\r\n", "s", "k", "128");
        row("key under a later duplicate section", "[s]\r\nj=1\r\n[t]\r\n[s]\r\nk=1\r\n", "s", "k",
            "128");
        row("commented key", "[s]\r\n;k=1\r\n\t; k=1\r\n", "s", "k", "128");
        row("header holding =", "[s]\r\n[k=0]\r\nk=1\r\n", "s", "k", "128");
        row("asked key holding =", "[s]\r\nk=1=2\r\n", "s", "k=1", "128");
        row("asked section holding ]", "[s]x]\r\nk=1\r\n", "s]x", "k", "128");
    }
    void lookup()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);

        QVERIFY(writeFile(path(), file));
        QString value = Previous;
        QCOMPARE(ReadIni(path(), section, key, value, "128"), qint32(expected.size()));
        QCOMPARE(value, expected);
    }

    void unreadableFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("size");

        QTest::newRow("missing file") << "none/Tessarin.Ini" << qint64(-1);
        QTest::newRow("directory") << "." << qint64(-1);
        QTest::newRow("empty name") << "" << qint64(-1);
        QTest::newRow("16 MiB and a byte") << "Tessarin.Ini" << qint64(16 * 1024 * 1024 + 1);
    }
    void unreadableFile()
    {
        QFETCH(QString, name);
        QFETCH(qint64, size);

        const QString file = name.isEmpty() ? name : m_dir.filePath(name);
        // The key stands at the start; the rest is a hole of NUL bytes.
        if (size >= 0)
            QVERIFY(writeFile(file, "[s]\r\nk=1\r\n") && QFile::resize(file, size));
        QString value = Previous;
        QCOMPARE(ReadIni(file, "s", "k", value, "128"), 3);
        QCOMPARE(value, QStringLiteral("128"));
    }

    // The largest file read and written: one line of junk fills it up to the key at its end.
    void largestFile()
    {
        const QByteArray head = "[s]\r\n";
        const QByteArray tail = "\r\nk=3\r\n";
        const qsizetype largest = 16 * 1024 * 1024;
        QVERIFY(writeFile(
            path(), head + QByteArray(largest - head.size() - tail.size(), '\x81') + tail));
        QString value;
        QCOMPARE(ReadIni(path(), "s", "k", value, ""), 1);
        QCOMPARE(value, QStringLiteral("3"));
        QVERIFY(WriteIni(path(), "s", "k", "4"));
        QCOMPARE(QFileInfo(path()).size(), largest);
        QCOMPARE(ReadIni(path(), "s", "k", value, ""), 1);
        QCOMPARE(value, QStringLiteral("4"));
    }

    // Random bytes: nothing found, and a write appends its section while keeping every byte.
    void binaryJunk()
    {
        QByteArray junk(1024 * 1024, Qt::Uninitialized);
        QRandomGenerator(20240611).fillRange(
            reinterpret_cast<quint32*>(junk.data()), junk.size() / 4);
        QVERIFY(writeFile(path(), junk));
        QString value = Previous;
        QCOMPARE(ReadIni(path(), "设置", "亮度", value, ""), 0);
        QVERIFY(WriteIni(path(), "设置", "亮度", "128"));
        QVERIFY(readAll(path()).startsWith(junk));
        QCOMPARE(ReadIni(path(), "设置", "亮度", value, ""), 3);
        QCOMPARE(value, QStringLiteral("128"));
    }

    void writeNewFile_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("names lose their blanks, the value keeps them")
            << " \ts "
            << "\tk  "
            << " v\t" << QByteArray("[s]\r\nk= v\t\r\n");
        QTest::newRow("empty value") << "s"
                                     << "k"
                                     << "" << QByteArray("[s]\r\nk=\r\n");
        QTest::newRow("Chinese in GBK") << "窗体"
                                        << "宽"
                                        << "中" << hex("5b b4b0cce5 5d 0d0a bfed 3d d6d0 0d0a");
        QTest::newRow("beyond GBK in GB18030")
            << "s"
            << "\u00a0"
            << "\U0001f600" << hex("5b735d0d0a 81308432 3d 9439fc36 0d0a");
        QTest::newRow("long value written whole")
            << "s"
            << "k" << QString(300, u'v') << "[s]\r\nk=" + QByteArray(300, 'v') + "\r\n";
    }
    void writeNewFile()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, expected);

        QVERIFY(WriteIni(path(), section, key, value) != 0);
        QCOMPARE(readAll(path()).toHex(' '), expected.toHex(' '));
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

        QVERIFY(writeFile(path(), before));
        QVERIFY(WriteIni(path(), "s", "k", "v") != 0);
        QCOMPARE(readAll(path()), after);
        QCOMPARE(entriesBelow(m_dir.path()), QStringList {path()});
    }

    // Texts that could not be read back as the same key are refused, the file untouched.
    void writeRefused_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");

        const QString nul(QChar(0));
        QTest::newRow("blank section") << " \t"
                                       << "k"
                                       << "v";
        QTest::newRow("section with ]") << "a]b"
                                        << "k"
                                        << "v";
        QTest::newRow("section with LF") << "a\nb"
                                         << "k"
                                         << "v";
        QTest::newRow("blank key") << "s"
                                   << "  "
                                   << "v";
        QTest::newRow("key with =") << "s"
                                    << "a=b"
                                    << "v";
        QTest::newRow("key starting with [") << "s"
                                             << " [k"
                                             << "v";
        QTest::newRow("key starting with ;") << "s"
                                             << ";k"
                                             << "v";
        QTest::newRow("key with CR") << "s"
                                     << "k\r"
                                     << "v";
        QTest::newRow("key with NUL") << "s"
                                      << "k" + nul << "v";
        QTest::newRow("value with LF") << "s"
                                       << "k"
                                       << "1\n[t]";
        QTest::newRow("value with CR") << "s"
                                       << "k"
                                       << "1\r";
        QTest::newRow("value with NUL") << "s"
                                        << "k" << nul;
    }
    void writeRefused()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);

        QCOMPARE(WriteIni(path(), section, key, value), 0);
        QVERIFY(!QFileInfo::exists(path()));
        QVERIFY(writeFile(path(), "[s]\r\nk=1\r\n"));
        QCOMPARE(WriteIni(path(), section, key, value), 0);
        QCOMPARE(readAll(path()), QByteArray("[s]\r\nk=1\r\n"));
    }

    // Nothing below the folder changes: no file, no temporary file, no new bytes.
    void writeFailure_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("size"); // of the file there first; -1: none, -2: a folder
        QTest::addColumn<QFileDevice::Permissions>("fileMode");
        QTest::addColumn<QFileDevice::Permissions>("folderMode");

        const QString ini = QStringLiteral("Tessarin.Ini");
        const auto folder = ReadWrite | Enter;
        QTest::newRow("missing directory") << "none/" + ini << qint64(-1) << ReadWrite << folder;
        QTest::newRow("path is a directory") << ini << qint64(-2) << ReadWrite << folder;
        QTest::newRow("file over 16 MiB")
            << ini << qint64(16 * 1024 * 1024 + 1) << ReadWrite << folder;
        QTest::newRow("read-only file") << ini << qint64(10) << ReadOnly << folder;
        QTest::newRow("read-only directory")
            << ini << qint64(10) << ReadWrite << (ReadOnly | Enter);
        QTest::newRow("unreadable file") << ini << qint64(10) << (ReadWrite & ~ReadOnly) << folder;
    }
    void writeFailure()
    {
        QFETCH(QString, name);
        QFETCH(qint64, size);
        QFETCH(QFileDevice::Permissions, fileMode);
        QFETCH(QFileDevice::Permissions, folderMode);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(name);
        if (size == -2)
            QVERIFY(QDir(dir.path()).mkdir(name));
        else if (size >= 0)
            QVERIFY(writeFile(file, "[s]\r\nk=1\r\n") && QFile::resize(file, size));
        const QByteArray content = readAll(file);
        const QStringList entries = entriesBelow(dir.path());

        qint32 result = -1;
        if (!runWithModes(file, fileMode, dir.path(), folderMode,
                [&] { result = WriteIni(file, "s", "k", "2"); }))
            QSKIP("this user reads and writes protected files and folders anyway");
        QCOMPARE(result, 0);
        QCOMPARE(entriesBelow(dir.path()), entries);
        QCOMPARE(readAll(file), content);
    }

    // What WriteIni stores, ReadIni finds again under the same names; a second write, under the
    // names as asked, replaces it.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("askedSection");
        QTest::addColumn<QString>("askedKey");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("count");

        const auto row = [](const char* name, const QString& section, const QString& key,
                             const QString& askedSection, const QString& askedKey,
                             const QString& value, const QString& expected, int count) {
            QTest::newRow(name) << section << key << askedSection << askedKey << value << expected
                                << count;
        };
        const QString path = QStringLiteral("/home/用户/a b.png");
        row("Chinese", "设置", "背景图片", "设置", "背景图片", path, path, 18);
        row("Greek other case", "ΑΒΓ", "Δ", "αβγ", "δ", "1", "1", 1);
        row("beyond GBK", "\U0001f600", "\u00a0", "\U0001f600", "\u00a0", "\U0001f601",
            "\U0001f601", 4);
        row("unpaired surrogates", QString(QChar(0xD800)), QString(QChar(0xDC00)),
            QString(QChar(0xDFFF)), QString(QChar(0xD801)), QString(QChar(0xDBFF)), "\uFFFD", 4);
        row("brackets in names", "[a[b", "c]d", "[a[b", "c]d", "1", "1", 1);
        row("blanks and quotes around the value are lost", "s", "k", "s", "k", " 'v'\t", "v", 1);
        row("long value is cut", "s", "k", "s", "k", QString(200, u'中'), QString(127, u'中'), 254);
        row("empty value reads as nothing", "s", "k", "s", "k", "", Previous, 0);
    }
    void roundTrip()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, askedSection);
        QFETCH(QString, askedKey);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QFETCH(int, count);

        QVERIFY(WriteIni(path(), section, key, "old") != 0);
        QVERIFY(WriteIni(path(), askedSection, askedKey, value) != 0);
        QCOMPARE(readAll(path()).count("\r\n"), 2);
        QString read = Previous;
        QCOMPARE(ReadIni(path(), section, key, read, "fallback"), count);
        QCOMPARE(read, expected);
    }
};

TESSARIN_TEST(TestIniFile)

#include "tst_inifile.moc"
