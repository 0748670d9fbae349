#include "runtime/codepage.h"

#include <QTest>

class TestCodePage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The bytes of a text, their count without building them, and the text they read back as.
    // Where the code page and GB18030 differ, the bytes are Windows' own.
    void toAnsi_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QString>("readBack");
        const auto row = [](const char* name, const QString& text, const char* hex,
                             const QString& readBack = QString()) {
            QTest::newRow(name) << text << QByteArray(hex) << (readBack.isNull() ? text : readBack);
        };
        row("ASCII, NUL and the default characters", QString::fromUtf16(u"A\0\r\n墨砾\u3000", 7),
            "41 00 0d0a c4ab c0f9 a1a1");
        row("euro and U+F8F5 are one byte", "\u20ac\uf8f5", "80 ff");
        row("private use that GB18030 moved", "\ue7c7", "a8bc");
        row("GB18030 two-byte, GBK private use", "\u1e3f", "8135f437");
        const QString r(QChar(0xFFFD));
        row("lone low, lone high, then a pair", u"\xdc00\xd800\xd800\xdc00"_qs,
            "8431a437 8431a437 90308130", r + r + "\U00010000");
    }
    void toAnsi()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, hex);
        const QByteArray bytes = ToAnsi(text);
        QCOMPARE(bytes.toHex(' '), QByteArray::fromHex(hex).toHex(' '));
        QCOMPARE(AnsiByteLength(text), bytes.size());
        QTEST(FromAnsi(bytes), "readBack");
    }

    // Codes that ToAnsi never writes.
    void fromAnsi_data()
    {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QString>("expected");
        const QString r(QChar(0xFFFD));
        QTest::newRow("lead bytes before DEL and at the end")
            << QByteArray("817f 41 81") << r + "\x7f" + "A" + r;
        QTest::newRow("four-byte codes past U+10FFFF and cut after three")
            << QByteArray("e3329a36 42 813081") << r + "B" + r + "0" + r;
    }
    void fromAnsi()
    {
        QFETCH(QByteArray, hex);
        QTEST(FromAnsi(QByteArray::fromHex(hex)), "expected");
    }

    // One at a time and all together, with the byte count agreeing.
    void everyCodePointRoundTrips()
    {
        QString all;
        for (char32_t c = 0; c <= 0x10FFFF; c += c < 0x10000 ? 1 : 0x3F) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            const QString one = QString::fromUcs4(&c, 1);
            const QByteArray bytes = ToAnsi(one);
            if (FromAnsi(bytes) != one || AnsiByteLength(one) != bytes.size())
                QFAIL(qPrintable(u"U+%1 as %2"_qs.arg(quint32(c), 4, 16).arg(bytes.toHex())));
            all += one;
        }
        all += u"\U0010ffff"_qs;
        const QByteArray bytes = ToAnsi(all);
        QCOMPARE(AnsiByteLength(all), bytes.size());
        QVERIFY(FromAnsi(bytes) == all);
    }
};

QTEST_MAIN(TestCodePage)
#include "tst_codepage.moc"
