#include "runtime/codepage.h"
#include "runtime/commondialog.h"
#include "runtime/numbertext.h"

#include <QTest>

class TestRuntime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One text through every reading rule, Int32 as the whole type; a text read only in part passes
    // none but LeadingNumber, whose number is shown as NumberText writes it into the settings file.
    // Halves go to the even neighbour, the range is judged after rounding.
    void textRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("leading");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QVariant>("int32");
        QTest::addColumn<QVariant>("boolean");
        const auto row = [](const char* name, const QString& text, const QString& leading,
                             bool whole = false, QVariant int32 = {}, QVariant boolean = {}) {
            QTest::newRow(name) << text << leading << whole << int32 << boolean;
        };
        row("spaces, tabs, CR, LF anywhere, not U+3000", "\t- \t1 2\r\n. 5 e - 1\u30009", "-1.25");
        row("D exponent", "1D+2", "100");
        row("exponent sign without digits", "1e+", "1");
        row("hex: blanks, any case, never negative, stops at a misfit", "& h fFfFG", "65535");
        row("octal stops at 8", "&o178", "15");
        row("False with blanks", " fALSE\r\n", "0", false, 0, false);
        row("leading point, half down to even", "+.5", "0.5", true, 0, true);
        row("just below a half", "0.49999999999999994", "0.5", true, 0, true);
        row("Int32 over after rounding", "2147483647.5", "2147483647.5", true, {}, true);
        row("15 digits round into exponent form", "999999999999999.9", "1E+15", true, {}, true);
        row("small, read back as written", "-1.5E-05", "-1.5E-05", true, 0, true);
        row("an exponent of two digits", "1e-10", "1E-10", true, 0, true);
        row("overflow, zeros after the first digit", "-0.1" + QString(999, u'0') + "e999", "-inf",
            true, {}, true);
        row("overflow by its digits alone", QString(400, u'9'), "inf", true, {}, true);
        row("small, in plain digits", "0.00125", "0.00125", true, 0, true);
        row("underflow", "1e-999", "0", true, 0, false);
        row("underflow after many zeros", QString(330, u'0') + u"1e-330"_qs, "0", true, 0, false);
        row("underflow after many decimal zeros", u"0."_qs + QString(400, u'0') + u"1e2"_qs, "0",
            true, 0, false);
    }
    void textRules()
    {
        QFETCH(QString, text);
        const auto shown = [](auto value) { return value ? QVariant(*value) : QVariant(); };
        QTEST(NumberText(LeadingNumber(text)), "leading");
        QTEST(IsWholeTextNumber(text), "whole");
        QTEST(shown(TextToWhole(text, WholeType::Int32)), "int32");
        QTEST(shown(TextToBoolean(text)), "boolean");
        QCOMPARE(NumberText(1.0f / 3), u"0.3333333"_qs); // single precision: seven digits
    }

    // Bytes, their count and the text read back; where the code page and GB18030 differ, Windows':
    // ASCII, NUL, the default characters; euro and U+F8F5 in one byte; private use that GB18030
    // moved, and what it put there. Lone surrogates (low, high, then a pair) are written as U+FFFD;
    // codes ToAnsi never writes read as U+FFFD: four bytes past U+10FFFF, a lead byte before DEL,
    // a code cut after three.
    void toAnsi()
    {
        const QString text = u"A\0\r\n墨砾\u3000\u20ac\uf8f5\ue7c7\u1e3f"_qs;
        const QByteArray bytes = ToAnsi(text);
        QCOMPARE(
            bytes.toHex(' '), QByteArray("41 00 0d 0a c4 ab c0 f9 a1 a1 80 ff a8 bc 81 35 f4 37"));
        QCOMPARE(AnsiByteLength(text), bytes.size());
        QCOMPARE(FromAnsi(bytes), text);
        const QString lone = u"\xdc00\xd800\xd800\xdc00"_qs, r(QChar(0xFFFD));
        QCOMPARE(ToAnsi(lone).toHex(), QByteArray("8431a4378431a43790308130"));
        QCOMPARE(AnsiByteLength(lone), 12);
        QCOMPARE(FromAnsi(QByteArray::fromHex("e3329a36 42 817f 41 813081")),
            r + "B" + r + "\x7f" + "A" + r + "0" + r);
    }

    // The step from U+10000 on ends exactly at U+10FFFF.
    void everyCodePointRoundTrips()
    {
        for (char32_t c = 0; c <= 0x10FFFF; c += c < 0x10000 ? 1 : 93) {
            const QString one = QString::fromUcs4(&c, 1);
            const QByteArray bytes = ToAnsi(one);
            if ((c < 0xD800 || c > 0xDFFF)
                && (FromAnsi(bytes) != one || AnsiByteLength(one) != bytes.size()))
                QFAIL(qPrintable(u"U+%1 as %2"_qs.arg(quint32(c), 4, 16).arg(bytes.toHex())));
        }
    }

    // A dialog's filter entry as Qt's dialog lists it, and the extension added to a name typed
    // without one while the entry is chosen: only a pattern that names one gives it.
    void fileDialogFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("listed");
        QTest::addColumn<QString>("suffix");
        const QString save = u"文本文件(*.txt)|*.txt|所有文件(*.*)|*.*"_qs;
        QTest::newRow("all files") << save << 2 << u"所有文件(*.*)"_qs << QString();
        QTest::newRow("out of range") << save << 3 << QString() << QString();
        QTest::newRow("two patterns, own list")
            << u"图片(*.bmp;*.jpg)|*.bmp;*.jpg"_qs << 1 << u"图片(*.bmp *.jpg)"_qs << u"bmp"_qs;
        QTest::newRow("no pattern") << u"a|*.a|*.*"_qs << 2 << u"*.* (*)"_qs << QString();
    }
    void fileDialogFilters()
    {
        QFETCH(QString, filter);
        QFETCH(int, index);
        QTEST(NameFilters(filter).value(index - 1), "listed");
        QTEST(DefaultSuffix(filter, index), "suffix");
    }
};

QTEST_MAIN(TestRuntime)
#include "tst_runtime.moc"
