#include "runtime/codepage.h"

#include <QTest>

namespace {

const QString Replacement(QChar(0xFFFD));
const QChar High(0xD800);
const QChar Low(0xDC00);

} // namespace

class TestCodePage : public QObject
{
    Q_OBJECT

private slots:
    // The bytes of a text, their count without building them, and the text they read back as.
    void toAnsi_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QString>("readBack");

        const auto row = [](const char* name, const QString& text, const char* hex,
                             const QString& readBack = QString()) {
            QTest::newRow(name) << text << QByteArray(hex) << (readBack.isNull() ? text : readBack);
        };
        row("ASCII, NUL and DEL", QString::fromUtf16(u"Ab\0\r\n\x7f", 6), "4162 00 0d0a 7f");
        row("default characters", "墨砾\u3000", "c4ab c0f9 a1a1");
        row("GBK extension, lowest trail byte", "\u4e02", "8140");
        row("euro and U+F8F5 are one byte", "\u20ac\uf8f5", "80 ff");
        row("private use that GB18030 moved", "\ue7c7", "a8bc");
        row("GB18030 two-byte, GBK private use", "\u1e3f", "8135f437");
        row("first four-byte code", "\u0080", "81308130");
        row("default-ignorables are kept", "\u200d\ufeff", "8136a439 84319533");
        row("last code point", "\U0010ffff", "e3329a35");
        const QString r = Replacement;
        row("reversed pair", QString(Low) + High, "8431a437 8431a437", r + r);
        row("two highs then low", QString(High) + High + Low, "8431a437 90308130",
            r + "\U00010000");
    }
    void toAnsi()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, hex);
        QFETCH(QString, readBack);

        const QByteArray bytes = ToAnsi(text);
        QCOMPARE(bytes.toHex(' '), QByteArray::fromHex(hex).toHex(' '));
        QCOMPARE(AnsiByteLength(text), bytes.size());
        QCOMPARE(FromAnsi(bytes), readBack);
    }

    // Codes that ToAnsi never writes.
    void fromAnsi_data()
    {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QString>("expected");

        const QString r = Replacement;
        QTest::newRow("other GB18030 code of U+E76C") << QByteArray("8336c739") << "\ue76c";
        QTest::newRow("lead byte at end") << QByteArray("4181") << "A" + r;
        QTest::newRow("lead byte before DEL") << QByteArray("817f") << r + "\x7f";
        QTest::newRow("four-byte cut after three") << QByteArray("813081") << r + "0" + r;
        QTest::newRow("unassigned four-byte code") << QByteArray("fe39fe39 41") << r + "A";
        QTest::newRow("past U+10FFFF") << QByteArray("e3329a36 42") << r + "B";
    }
    void fromAnsi()
    {
        QFETCH(QByteArray, hex);
        QFETCH(QString, expected);

        QCOMPARE(FromAnsi(QByteArray::fromHex(hex)), expected);
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
                QFAIL(qPrintable(QStringLiteral("U+%1 as %2")
                                     .arg(quint32(c), 4, 16)
                                     .arg(QString::fromLatin1(bytes.toHex()))));
            all += one;
        }
        all += QStringLiteral("\U0010ffff");
        const QByteArray bytes = ToAnsi(all);
        QCOMPARE(AnsiByteLength(all), bytes.size());
        QVERIFY(FromAnsi(bytes) == all);
    }
};

QTEST_MAIN(TestCodePage)

#include "tst_codepage.moc"
