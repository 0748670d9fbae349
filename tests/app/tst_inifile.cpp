#include "app/inifile.h"
#include "runtime/codepage.h"

#include <QTest>

namespace {

// Each UTF-16 unit as it stands, an unpaired surrogate too.
QByteArray utf16(const QString& text, bool bigEndian = false)
{
    QByteArray bytes = bigEndian ? "\xfe\xff" : "\xff\xfe";
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xff);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    // Key k of section " s\t" read with the default "128" into a variable holding "previous".
    void readIni_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("count");

        const auto row = [](const char* name, const QByteArray& file, const QString& expected,
                             int count) { QTest::newRow(name) << file << expected << count; };
        const auto x = [](int n) { return QByteArray(n, 'x'); };
        const auto hex = [](const char* digits) { return QByteArray::fromHex(digits); };
        row("2 bytes across 254", "[s]\r\nk=" + x(253) + hex("d6d0"), x(253), 253);
        row("4 bytes ending at 254", "[s]\r\nk=" + x(250) + hex("9439fc36"), x(250) + "😀", 254);
        row("blanks around names and value", " [ s ]\r\n\t k \t=  1 a\t\r\n", "1 a", 3);
        row("one pair of quotes dropped", "[s]\r\nk= \"\"abc\"\" ", "\"abc\"", 5);
        row("empty quotes keep previous", "[s]\r\nk=''\r\n", "previous", 0);
        row("a NUL ends the value", QByteArray("[s]\r\nk=ab\0cd", 11), "ab", 2);
        row("first of duplicates", "[s]\r\nk=1\r\nK=2\r\n[S]\r\nk=3\r\n", "1", 1);
    }
    void readIni()
    {
        QFETCH(QByteArray, file);
        QString value = QStringLiteral("previous");
        QTEST(ReadIni(file, u" s\t"_qs, u"k"_qs, value, u"128"_qs), "count");
        QTEST(value, "expected");
    }

    // The rules where Windows' own profile functions were the judge (under Wine, code page 936):
    // "字号" of "属性" as read with the default "128", then the file after "字号" is set to "文Ω𝄞"
    // (of three, two and four bytes in UTF-8) and "Left" of "窗体" to "1".
    void profileRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QByteArray>("written");
        const QString added = u"[窗体]\r\nLeft=1\r\n"_qs;
        QTest::newRow("header without ], key without =")
            << ToAnsi(u"[属性\r\n字号=40\r\n[属性]\r\n 字号 \r\n字号=5\r\n"_qs) << "128"
            << ToAnsi(u"[属性\r\n字号=40\r\n[属性]\r\n 字号=文Ω𝄞\r\n字号=5\r\n"_qs + added);
        QTest::newRow("UTF-16LE") << utf16(u"[属性]\r\n字号=中\r\n; \xd800\r\n"_qs) + 'x' << "中"
                                  << utf16(u"[属性]\r\n字号=文Ω𝄞\r\n; \xd800\r\n"_qs + added) + 'x';
        QTest::newRow("UTF-16BE") << utf16(u"[属性]\n字号=20"_qs, true) << "20"
                                  << utf16(u"[属性]\n字号=文Ω𝄞\r\n"_qs + added, true);
        const QByteArray mark = "\xef\xbb\xbf";
        QTest::newRow("UTF-8 with its mark")
            << mark + u"[属性]\r\n字号=中\r\n"_qs.toUtf8() << "中"
            << mark + (u"[属性]\r\n字号=文Ω𝄞\r\n"_qs + added).toUtf8();
    }
    void profileRules()
    {
        QFETCH(QByteArray, file);
        QString value = QStringLiteral("previous");
        ReadIni(file, u"属性"_qs, u"字号"_qs, value, u"128"_qs);
        QTEST(value, "read");
        QVERIFY(WriteIni(file, u"属性"_qs, u"字号"_qs, u"文Ω𝄞"_qs));
        QVERIFY(WriteIni(file, u"窗体"_qs, u"Left"_qs, u"1"_qs));
        // A value with a line break or a NUL would not read back: refused, the file left alone.
        QVERIFY(!WriteIni(file, u"窗体"_qs, u"Left"_qs, u"a\0b"_qs));
        QVERIFY(!WriteIni(file, u"窗体"_qs, u"Left"_qs, u"a\nb"_qs));
        QTEST(file, "written");
    }
};

QTEST_MAIN(TestIniFile)

#include "tst_inifile.moc"
