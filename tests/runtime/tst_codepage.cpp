#include "runtime/codepage.h"
#include "support/testregistry.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

namespace {

const QChar HighSurrogate(0xD800);
const QChar LowSurrogate(0xDC00);
const QChar Replacement(0xFFFD);

QString codePointText(char32_t codePoint)
{
    return QString::fromUcs4(&codePoint, 1);
}

QString describe(const QString& text)
{
    QString out;
    for (const QChar c : text)
        out += QStringLiteral("U+%1 ").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    return out;
}

} // namespace

class TestCodePage : public QObject
{
    Q_OBJECT

private slots:
    void toAnsi_data();
    void toAnsi();
    void fromAnsi_data();
    void fromAnsi();
    void roundTrip_data();
    void roundTrip();
    void unpairedSurrogates_data();
    void unpairedSurrogates();
    void everyCodePointRoundTrips();
    void gbkCharactersKeepTheirGbkBytes();
};

void TestCodePage::toAnsi_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("hex");

    QTest::newRow("empty") << "" << QByteArray("");
    QTest::newRow("ASCII") << "Ab 1\r\n" << QByteArray("41622031 0d0a");
    QTest::newRow("NUL") << QString(QChar(0)) << QByteArray("00");
    QTest::newRow("Chinese") << "中文" << QByteArray("d6d0 cec4");
    QTest::newRow("default characters") << "墨砾" << QByteArray("c4ab c0f9");
    QTest::newRow("ideographic space") << "\u3000" << QByteArray("a1a1");
    QTest::newRow("full-width letter") << "\uff21" << QByteArray("a3c1");
    QTest::newRow("GBK extension") << "\u4e02" << QByteArray("8140");
    QTest::newRow("euro is one byte") << "\u20ac" << QByteArray("80");
    QTest::newRow("U+F8F5 is one byte") << "\uf8f5" << QByteArray("ff");
    QTest::newRow("GBK private use") << "\ue4c6" << QByteArray("a140");
    QTest::newRow("private use GB18030 moved") << "\ue7c7" << QByteArray("a8bc");
    QTest::newRow("first four-byte code") << "\u0080" << QByteArray("81308130");
    QTest::newRow("no-break space") << "\u00a0" << QByteArray("81308432");
    QTest::newRow("zero-width joiner is kept") << "\u200d" << QByteArray("8136a439");
    QTest::newRow("byte order mark is kept") << QString(QChar(0xFEFF)) << QByteArray("84319533");
    QTest::newRow("replacement character") << "\ufffd" << QByteArray("8431a437");
    QTest::newRow("last BMP code point") << "\uffff" << QByteArray("8431a439");
    QTest::newRow("GB18030 two-byte, GBK private use") << "\u1e3f" << QByteArray("8135f437");
    QTest::newRow("first supplementary") << "\U00010000" << QByteArray("90308130");
    QTest::newRow("CJK extension B") << "\U00020000" << QByteArray("95328236");
    QTest::newRow("emoji") << "\U0001f600" << QByteArray("9439fc36");
    QTest::newRow("last code point") << "\U0010ffff" << QByteArray("e3329a35");
    QTest::newRow("mixed") << "A中\u3000\u20ac\U0001f600z"
                           << QByteArray("41 d6d0 a1a1 80 9439fc36 7a");
}

void TestCodePage::toAnsi()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, hex);

    QCOMPARE(ToAnsi(text).toHex(), QByteArray::fromHex(hex).toHex());
}

void TestCodePage::fromAnsi_data()
{
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<QString>("expected");

    const QString r(Replacement);
    QTest::newRow("empty") << QByteArray("") << "";
    QTest::newRow("ASCII") << QByteArray("616263") << "abc";
    QTest::newRow("NUL") << QByteArray("00") << QString(QChar(0));
    QTest::newRow("two-byte") << QByteArray("d6d0cec4") << "中文";
    QTest::newRow("0x80 is the euro") << QByteArray("80") << "\u20ac";
    QTest::newRow("0xFF is U+F8F5") << QByteArray("ff") << "\uf8f5";
    QTest::newRow("A2E3 keeps its GBK meaning") << QByteArray("a2e3") << "\ue76c";
    QTest::newRow("other GB18030 code of U+E76C") << QByteArray("8336c739") << "\ue76c";
    QTest::newRow("exchanged four-byte code") << QByteArray("8135f437") << "\u1e3f";
    QTest::newRow("supplementary") << QByteArray("95328236") << "\U00020000";
    QTest::newRow("lead byte at end") << QByteArray("4181") << "A" + r;
    QTest::newRow("lead byte before blank") << QByteArray("812078") << r + " x";
    QTest::newRow("lead byte before DEL") << QByteArray("817f") << r + "\x7f";
    QTest::newRow("lead byte before 0xFF") << QByteArray("81ff") << r + "\uf8f5";
    QTest::newRow("four-byte cut after two") << QByteArray("8130") << r + "0";
    QTest::newRow("four-byte cut after three") << QByteArray("813081") << r + "0" + r;
    QTest::newRow("bad fourth byte") << QByteArray("81308141") << r + "0\u4e04";
    QTest::newRow("bad third byte") << QByteArray("81303030") << r + "000";
    QTest::newRow("unassigned four-byte code") << QByteArray("fe39fe39 41") << r + "A";
    QTest::newRow("past the BMP range") << QByteArray("8431a530") << r;
    QTest::newRow("past U+10FFFF") << QByteArray("e3329a36 42") << r + "B";
    QTest::newRow("between BMP and supplementary") << QByteArray("85308130") << r;
}

void TestCodePage::fromAnsi()
{
    QFETCH(QByteArray, hex);
    QFETCH(QString, expected);

    const QString actual = FromAnsi(QByteArray::fromHex(hex));
    QVERIFY2(actual == expected, qPrintable(describe(actual) + "!= " + describe(expected)));
}

void TestCodePage::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("byteLength");

    QTest::newRow("empty") << "" << qsizetype(0);
    QTest::newRow("ASCII with line breaks") << "T 12\r\nabc~\x7f" << qsizetype(11);
    QTest::newRow("window title") << "墨砾版字符拼合画" << qsizetype(16);
    QTest::newRow("row of 12 ideographic spaces") << QString(12, QChar(0x3000)) << qsizetype(24);
    QTest::newRow("1024-pixel row")
        << QString(512, QChar(u'砾')) + QString(512, QChar(0x3000)) << qsizetype(2048);
    QTest::newRow("full-width forms") << "ＡＢＣ１２３！" << qsizetype(14);
    QTest::newRow("kana and Greek") << "ひらがなΩ" << qsizetype(10);
    QTest::newRow("euro and U+F8F5") << "\u20ac\uf8f5" << qsizetype(2);
    QTest::newRow("GB18030 only") << "\u00e7\u20a9한국어" << qsizetype(20);
    QTest::newRow("C1 controls") << "\u0080\u009f" << qsizetype(8);
    QTest::newRow("default-ignorable") << "a\u200db\ufeffc\ufe0f" << qsizetype(15);
    QTest::newRow("two-byte in GB18030 only")
        << "\u1e3f\u01f9\u303e\u2ff0\u2e81\u4dae" << qsizetype(24);
    QTest::newRow("their private-use partners")
        << "\ue7c7\ue7c8\ue7e7\ue7e8\ue815\ue863" << qsizetype(12);
    QTest::newRow("both together") << "\u1e3f\ue7c7\u20ac\ue76c" << qsizetype(9);
    QTest::newRow("noncharacters") << "\ufffe\uffff" << qsizetype(8);
    QTest::newRow("supplementary") << "\U00020000\U0001f600\U0010ffff" << qsizetype(12);
    QTest::newRow("emoji sequence")
        << "\U0001f468\u200d\U0001f469\u200d\U0001f467" << qsizetype(20);
    QTest::newRow("mixed") << "Tessarin 墨\u3000\u20ac\U0001f600\u00a0!\r\n" << qsizetype(25);
}

void TestCodePage::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, byteLength);

    const QByteArray bytes = ToAnsi(text);
    QCOMPARE(bytes.size(), byteLength);
    QCOMPARE(AnsiByteLength(text), byteLength);
    QCOMPARE(FromAnsi(bytes), text);
}

void TestCodePage::unpairedSurrogates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack");

    const QString r(Replacement);
    QTest::newRow("high inside") << "a" + QString(HighSurrogate) + "b"
                                 << "a" + r + "b";
    QTest::newRow("high at end") << "a" + QString(HighSurrogate) << "a" + r;
    QTest::newRow("low alone") << QString(LowSurrogate) << r;
    QTest::newRow("reversed pair") << QString(LowSurrogate) + HighSurrogate << r + r;
    QTest::newRow("two highs then low")
        << QString(HighSurrogate) + HighSurrogate + LowSurrogate << r + "\U00010000";
}

void TestCodePage::unpairedSurrogates()
{
    QFETCH(QString, text);
    QFETCH(QString, readBack);

    const QByteArray bytes = ToAnsi(text);
    QCOMPARE(AnsiByteLength(text), bytes.size());
    QCOMPARE(FromAnsi(bytes), readBack);
}

void TestCodePage::everyCodePointRoundTrips()
{
    QString all;
    for (char32_t c = 0; c <= 0x10FFFF; c += c < 0x10000 ? 1 : 0x3F) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const QString one = codePointText(c);
        const QByteArray bytes = ToAnsi(one);
        if (FromAnsi(bytes) != one || AnsiByteLength(one) != bytes.size())
            QFAIL(qPrintable(QStringLiteral("U+%1 as %2")
                                 .arg(quint32(c), 4, 16)
                                 .arg(QString::fromLatin1(bytes.toHex()))));
        all += one;
    }
    all += codePointText(0x10FFFF);
    const QByteArray bytes = ToAnsi(all);
    QCOMPARE(AnsiByteLength(all), bytes.size());
    QVERIFY(FromAnsi(bytes) == all);
}

// GBK bytes wherever GBK holds the character, else four bytes of GB18030: either the character's
// own code, or, where GB18030 gave it a two-byte code that GBK uses for a private-use character,
// that private-use character's four-byte code.
void TestCodePage::gbkCharactersKeepTheirGbkBytes()
{
    QStringEncoder gbkEncoder("GBK", QStringConverter::Flag::Stateless);
    QStringDecoder gbkDecoder("GBK", QStringConverter::Flag::Stateless);
    QStringEncoder gb18030Encoder("GB18030", QStringConverter::Flag::Stateless);
    QStringDecoder gb18030Decoder("GB18030", QStringConverter::Flag::Stateless);
    QVERIFY(gbkEncoder.isValid() && gb18030Encoder.isValid());

    int exchanged = 0;
    for (char16_t c = 0x80; c != 0; ++c) {
        if (QChar::isSurrogate(c))
            continue;
        const QStringView one(&c, 1);
        const QByteArray gbk = gbkEncoder.encode(one);
        const QByteArray gb18030 = gb18030Encoder.encode(one);
        const QByteArray actual = ToAnsi(one);
        const auto where = [&] { return describe(one.toString()).toUtf8(); };
        if (QString(gbkDecoder.decode(gbk)) == one) {
            QVERIFY2(actual == gbk, where().constData());
        } else if (gb18030.size() == 4) {
            QVERIFY2(actual == gb18030, where().constData());
        } else {
            ++exchanged;
            const QString partner = gb18030Decoder.decode(actual);
            QCOMPARE(actual.size(), 4);
            QVERIFY2(partner.size() == 1 && partner[0].category() == QChar::Other_PrivateUse,
                where().constData());
            QVERIFY2(QByteArray(gbkEncoder.encode(partner)) == gb18030, where().constData());
        }
    }
    QVERIFY(exchanged > 0);
}

TESSARIN_TEST(TestCodePage)

#include "tst_codepage.moc"
