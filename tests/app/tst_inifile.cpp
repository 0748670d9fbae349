#include "app/inifile.h"

#include <QTest>

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
};

QTEST_MAIN(TestIniFile)

#include "tst_inifile.moc"
