#include "app/inifile.h"
#include "runtime/codepage.h"

#include <QTest>

namespace {

// The bytes as the given encoding holds them, each UTF-16 unit as it stands (an unpaired
// surrogate too).
QByteArray gbk(const QString& text)
{
    return ToAnsi(text);
}

QByteArray utf16(const QString& text, bool bigEndian = false)
{
    QByteArray bytes = bigEndian ? "\xfe\xff" : "\xff\xfe";
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xff);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

QByteArray utf8(const QString& text)
{
    return "\xef\xbb\xbf" + text.toUtf8();
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    // Key k of section s read with the default "128" into a variable holding "previous".
    void readIni_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("count");

        const auto row = [](const char* name, const QByteArray& file, const QString& expected,
                             int count, const QString& section = "s", const QString& key = "k") {
            QTest::newRow(name) << file << section << key << expected << count;
        };
        const auto x = [](int n) { return QByteArray(n, 'x'); };
        const auto hex = [](const char* digits) { return QByteArray::fromHex(digits); };
        row("254 bytes whole", "[s]\r\nk=" + x(254), x(254), 254);
        row("255 bytes cut to 254", "[s]\r\nk=" + x(255), x(254), 254);
        row("2-byte character across 254", "[s]\r\nk=" + x(253) + hex("d6d0"), x(253), 253);
        row("4-byte character ending at 254", "[s]\r\nk=" + x(250) + hex("9439fc36"), x(250) + "😀",
            254);
        row("letter case of names", "[Window]\r\nLeft=1\r\n", "1", 1, "WINDOW", "lEFT");
        row("Greek case of names", "[" + hex("a6a1a6a2a6a3") + "]\r\n" + hex("a7a5") + "=1", "1", 1,
            "αβγ", "д");
        row("blanks around names and value", " [ s ]\r\n\t k \t=  1 a\t\r\n", "1 a", 3, " s\t");
        row("one pair of quotes dropped", "[s]\r\nk= \"\"abc\"\" ", "\"abc\"", 5);
        row("empty value keeps previous", "[s]\r\nk=\r\n", "previous", 0);
        row("empty quotes keep previous", "[s]\r\nk=''\r\n", "previous", 0);
        row("absent key gives the default", "[s]\r\nj=1\r\n[t]\r\nk=1\r\n", "128", 3);
        row("first of duplicates", "[s]\r\nk=1\r\nK=2\r\n[S]\r\nk=3\r\n", "1", 1);
    }
    void readIni()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QFETCH(int, count);

        QString value = QStringLiteral("previous");
        QCOMPARE(ReadIni(file, section, key, value, "128"), count);
        QCOMPARE(value, expected);
    }

    // The rules where Windows' own profile functions were the judge (under Wine, code page 936):
    // "字号" of "属性" as read with the default "128", then the file after "字号" is set to "文"
    // and "Left" of "窗体" to "1".
    void profileRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QByteArray>("written");
        const auto row
            = [](const char* name, const QByteArray& file, const QString& read,
                  const QByteArray& written) { QTest::newRow(name) << file << read << written; };
        const QString added = u"[窗体]\r\nLeft=1\r\n"_qs;
        row("header without ] is a key line", gbk(u"[属性\r\n字号=40\r\n"_qs), "128",
            gbk(u"[属性\r\n字号=40\r\n[属性]\r\n字号=文\r\n"_qs + added));
        row("key without = has no value", gbk(u"[属性]\r\n 字号 \r\n字号=5\r\n"_qs), "128",
            gbk(u"[属性]\r\n 字号=文\r\n字号=5\r\n"_qs + added));
        row("UTF-16LE", utf16(u"[属性]\r\n字号=中\r\n; \xd800\r\n"_qs) + 'x', "中",
            utf16(u"[属性]\r\n字号=文\r\n; \xd800\r\n"_qs + added) + 'x');
        row("UTF-16BE", utf16(u"[属性]\n字号=20"_qs, true), "20",
            utf16(u"[属性]\n字号=文\r\n"_qs + added, true));
        row("UTF-8 with its mark", utf8(u"[属性]\r\n字号=中\r\n"_qs), "中",
            utf8(u"[属性]\r\n字号=文\r\n"_qs + added));
        row("only a mark", utf8({}), "128", utf8(u"[属性]\r\n字号=文\r\n"_qs + added));
    }
    void profileRules()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, read);
        QFETCH(QByteArray, written);

        QString value = QStringLiteral("previous");
        ReadIni(file, u"属性"_qs, u"字号"_qs, value, u"128"_qs);
        QCOMPARE(value, read);
        QVERIFY(WriteIni(file, u"属性"_qs, u"字号"_qs, u"文"_qs));
        QVERIFY(WriteIni(file, u"窗体"_qs, u"Left"_qs, u"1"_qs));
        QCOMPARE(file, written);
    }
};

QTEST_MAIN(TestIniFile)

#include "tst_inifile.moc"
