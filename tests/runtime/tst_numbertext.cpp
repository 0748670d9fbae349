#include "runtime/numbertext.h"

#include <QTest>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(WholeType)
Q_DECLARE_METATYPE(std::optional<qint32>)
Q_DECLARE_METATYPE(std::optional<bool>)

namespace QTest {
template <> char* toString(const std::optional<qint32>& value)
{
    return qstrdup(value ? QByteArray::number(*value).constData() : "nullopt");
}

template <> char* toString(const std::optional<bool>& value)
{
    return qstrdup(value ? (*value ? "true" : "false") : "nullopt");
}
} // namespace QTest

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::optional<qint32> None = std::nullopt;
constexpr WholeType Int16 = WholeType::Int16;
constexpr WholeType Int32 = WholeType::Int32;
constexpr WholeType Byte = WholeType::Byte;

// QCOMPARE on doubles is fuzzy; these results must be exact, down to the sign of a zero.
void compareExactly(double actual, double expected)
{
    const bool same = (std::isnan(actual) && std::isnan(expected))
        || (actual == expected && std::signbit(actual) == std::signbit(expected));
    QVERIFY2(
        same, QByteArray::number(actual, 'g', 17) + " != " + QByteArray::number(expected, 'g', 17));
}

} // namespace

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    // One text through every reading rule, Int32 as the whole type. What LeadingNumber reads only
    // in part passes none of the others.
    void textRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("leading");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<std::optional<qint32>>("int32");
        QTest::addColumn<std::optional<bool>>("boolean");

        const auto row = [](const char* name, const QString& text, double leading, bool whole,
                             std::optional<qint32> int32, std::optional<bool> boolean) {
            QTest::newRow(name) << text << leading << whole << int32 << boolean;
        };
        const auto partial = [&](const char* name, const QString& text, double leading) {
            row(name, text, leading, false, None, std::nullopt);
        };
        const QString zeros(400, u'0');
        partial("trailing letters", "12abc", 12.0);
        partial("blanks, tabs, CR and LF anywhere", "- \t1 2\r\n. 5 e - 1", -1.25);
        partial("ideographic space is no blank", "\u300012", 0.0);
        partial("D exponent", "1D-2", 0.01);
        partial("exponent sign without digits", "1e+", 1.0);
        partial("exponent without mantissa", ".e1", 0.0);
        partial("hex, lower case, stops at a misfit", "&hFfG", 255.0);
        partial("hex is not negative", "&HFFFF", 65535.0);
        partial("hex with blanks", "& H 1 0", 16.0);
        partial("octal stops at 8", "&o178", 15.0);
        partial("other prefix", "&B101", 0.0);
        partial("long s is not an s", "fal\u017fe", 0.0);
        partial("False with more", "Falsey", 0.0);
        row("False with blanks", " fALSE\t", 0.0, false, 0, false);
        row("True with blanks", " TRUE\r\n", 0.0, false, None, true);
        row("negative zero with blanks", "\t-0\r\n", -0.0, true, 0, false);
        row("leading point", "+.5", 0.5, true, 0, true);
        row("point then exponent", "1.E+2", 100.0, true, 100, true);
        row("Int32 min", "-2147483648", -2147483648.0, true, -2147483647 - 1, true);
        row("Int32 over", "2147483648", 2147483648.0, true, None, true);
        row("huge exponent", "1e99999999999999999999999", Inf, true, None, true);
        row("fraction zeros decide underflow", "-0." + zeros + "1e50", -0.0, true, 0, false);
        row("digits decide overflow", "-1" + zeros + "e-50", -Inf, true, None, true);
    }
    void textRules()
    {
        QFETCH(QString, text);
        QFETCH(double, leading);
        QFETCH(bool, whole);
        QFETCH(std::optional<qint32>, int32);
        QFETCH(std::optional<bool>, boolean);

        compareExactly(LeadingNumber(text), leading);
        QCOMPARE(IsWholeTextNumber(text), whole);
        QCOMPARE(TextToWhole(text, Int32), int32);
        QCOMPARE(TextToBoolean(text), boolean);
    }

    // Halves go to the even neighbour, and that decides at the edges of each type.
    void toWhole_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<WholeType>("type");
        QTest::addColumn<std::optional<qint32>>("expected");

        const auto row = [](const char* name, double x, WholeType type, std::optional<qint32> r) {
            QTest::newRow(name) << x << type << r;
        };
        row("-0.5 to 0", -0.5, Int32, 0);
        row("just below a half", 0.49999999999999994, Int32, 0);
        row("just above a half", 2.5000000000000004, Int32, 3);
        row("Int16 max, half up to even", 32767.5, Int16, None);
        row("Int32 min, half to even", -2147483648.5, Int32, -2147483647 - 1);
        row("Byte max, half to even", 255.5, Byte, None);
        row("Byte, -0.5 to 0", -0.5, Byte, 0);
        row("not a number", NaN, Byte, None);
    }
    void toWhole()
    {
        QFETCH(double, x);
        QFETCH(WholeType, type);
        QFETCH(std::optional<qint32>, expected);

        QCOMPARE(ToWhole(x, type), expected);
    }

    // Float rows take x as a float. The settings file writes numbers with NumberText and reads
    // them with LeadingNumber, so every finite text must read back as the same number.
    void numberText_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<bool>("isFloat");
        QTest::addColumn<QString>("expected");

        const auto row = [](const char* name, double x, bool isFloat, const QString& expected) {
            QTest::newRow(name) << x << isFloat << expected;
        };
        row("negative fraction", -12.5, false, "-12.5");
        row("negative zero", -0.0, false, "0");
        row("binary noise rounded away", 0.1 + 0.2, false, "0.3");
        row("sixteenth digit dropped", 1.0000000000000002, false, "1");
        row("largest positional", 999999999999999.0, false, "999999999999999");
        row("rounds into exponent form", 999999999999999.9, false, "1E+15");
        row("negative mantissa in exponent form", -1.5e15, false, "-1.5E+15");
        row("small with digits", 0.00012345, false, "0.00012345");
        row("negative small", -0.000015, false, "-1.5E-05");
        row("tiny", 1e-300, false, "1E-300");
        row("negative infinity", -Inf, false, "-inf");
        row("not a number", NaN, false, "nan");
        row("float, binary noise hidden", 100.1f, true, "100.1");
        row("float, largest positional", 9999999.0, true, "9999999");
        row("float, 1e7", 1e7, true, "1E+07");
    }
    void numberText()
    {
        QFETCH(double, x);
        QFETCH(bool, isFloat);
        QFETCH(QString, expected);

        const auto text = [&](double y) { return isFloat ? NumberText(float(y)) : NumberText(y); };
        QCOMPARE(text(x), expected);
        if (std::isfinite(x)) {
            QVERIFY(IsWholeTextNumber(expected));
            QCOMPARE(text(LeadingNumber(expected)), expected);
        }
    }
};

QTEST_MAIN(TestNumberText)

#include "tst_numbertext.moc"
