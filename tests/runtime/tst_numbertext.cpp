#include "runtime/numbertext.h"
#include "support/testregistry.h"

#include <QTest>
#include <cfloat>
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

// QCOMPARE on doubles is fuzzy; these results must be exact, down to the sign of a zero.
bool sameDouble(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

QByteArray describe(double x)
{
    return QByteArray::number(x, 'g', 17);
}

} // namespace

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void rulesDisagree_data();
    void rulesDisagree();
    void leadingNumber_data();
    void leadingNumber();
    void isWholeTextNumber_data();
    void isWholeTextNumber();
    void toWhole_data();
    void toWhole();
    void textToWhole_data();
    void textToWhole();
    void textToBoolean_data();
    void textToBoolean();
    void numberTextDouble_data();
    void numberTextDouble();
    void numberTextFloat_data();
    void numberTextFloat();
    void numberTextReadsBack_data();
    void numberTextReadsBack();
};

void TestNumberText::rulesDisagree_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("leading");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<std::optional<qint32>>("int32");
    QTest::addColumn<std::optional<bool>>("boolean");

    QTest::newRow("trailing letters") << "12abc" << 12.0 << false << None << std::optional<bool>();
    QTest::newRow("inner blank") << "1 2" << 12.0 << false << None << std::optional<bool>();
    QTest::newRow("hex prefix") << "&H10" << 16.0 << false << None << std::optional<bool>();
    QTest::newRow("two points") << "1.2.3" << 1.2 << false << None << std::optional<bool>();
    QTest::newRow("lone point") << "." << 0.0 << false << None << std::optional<bool>();
    QTest::newRow("D exponent") << "1d3" << 1000.0 << false << None << std::optional<bool>();
    QTest::newRow("group separator") << "1,000" << 1.0 << false << None << std::optional<bool>();
    QTest::newRow("False") << "False" << 0.0 << false << std::optional<qint32>(0)
                           << std::optional<bool>(false);
    QTest::newRow("True") << "True" << 0.0 << false << None << std::optional<bool>(true);
    QTest::newRow("half rounds to even")
        << " 2.5 " << 2.5 << true << std::optional<qint32>(2) << std::optional<bool>(true);
    QTest::newRow("too large for Int32")
        << "9e9" << 9e9 << true << None << std::optional<bool>(true);
    QTest::newRow("below one half")
        << "0.4" << 0.4 << true << std::optional<qint32>(0) << std::optional<bool>(true);
}

void TestNumberText::rulesDisagree()
{
    QFETCH(QString, text);
    QFETCH(double, leading);
    QFETCH(bool, whole);
    QFETCH(std::optional<qint32>, int32);
    QFETCH(std::optional<bool>, boolean);

    QVERIFY2(sameDouble(LeadingNumber(text), leading), describe(LeadingNumber(text)));
    QCOMPARE(IsWholeTextNumber(text), whole);
    QCOMPARE(TextToWhole(text, WholeType::Int32), int32);
    QCOMPARE(TextToBoolean(text), boolean);
}

void TestNumberText::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("whole") << "12" << 12.0;
    QTest::newRow("negative") << "-5" << -5.0;
    QTest::newRow("plus") << "+3" << 3.0;
    QTest::newRow("fraction") << "2.5" << 2.5;
    QTest::newRow("blanks around") << "  7 " << 7.0;
    QTest::newRow("tab, LF and CR inside") << "\t1\n2\r.\r5" << 12.5;
    QTest::newRow("blank after sign") << " - 5" << -5.0;
    QTest::newRow("blanks in exponent") << "1 e - 2" << 0.01;
    QTest::newRow("no-break space is no blank") << "1\u00a02" << 1.0;
    QTest::newRow("ideographic space is no blank") << "\u30002" << 0.0;
    QTest::newRow("full-width digits") << "\uff11\uff12" << 0.0;
    QTest::newRow("exponent") << "1e2" << 100.0;
    QTest::newRow("upper exponent, sign") << "1E+2" << 100.0;
    QTest::newRow("D exponent") << "1d3" << 1000.0;
    QTest::newRow("upper D, negative") << "1D-2" << 0.01;
    QTest::newRow("exponent without digits") << "1e" << 1.0;
    QTest::newRow("exponent sign without digits") << "1e+" << 1.0;
    QTest::newRow("exponent then letters") << "1.5e3x" << 1500.0;
    QTest::newRow("fraction in exponent stops") << "1e2.5" << 100.0;
    QTest::newRow("exponent without mantissa") << "e5" << 0.0;
    QTest::newRow("point then exponent") << "1.e1" << 10.0;
    QTest::newRow("leading point") << "+.5" << 0.5;
    QTest::newRow("negative point exponent") << "-.5e1" << -5.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("double sign") << "--5" << 0.0;
    QTest::newRow("mixed signs") << "+-5" << 0.0;
    QTest::newRow("minus stops second number") << "1-2" << 1.0;
    QTest::newRow("negative zero") << "-0" << -0.0;
    QTest::newRow("large") << "9e9" << 9e9;
    QTest::newRow("C prefix is no hex") << "0x10" << 0.0;
    QTest::newRow("hex") << "&H10" << 16.0;
    QTest::newRow("hex lower case") << "&hff" << 255.0;
    QTest::newRow("hex mixed case digits") << "&HaB" << 171.0;
    QTest::newRow("hex is not negative") << "&HFFFF" << 65535.0;
    QTest::newRow("hex type suffix") << "&H10&" << 16.0;
    QTest::newRow("hex stops at misfit") << "&H1G" << 1.0;
    QTest::newRow("hex without digits") << "&H" << 0.0;
    QTest::newRow("hex with blanks") << "& H 1 0" << 16.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal lower case") << "&o17" << 15.0;
    QTest::newRow("octal stops at 8") << "&O78" << 7.0;
    QTest::newRow("octal without digits") << "&O8" << 0.0;
    QTest::newRow("sign before prefix") << "-&H10" << 0.0;
    QTest::newRow("other prefix") << "&B101" << 0.0;
    QTest::newRow("ampersand only") << "&" << 0.0;
    QTest::newRow("overflow") << "1e999" << Inf;
    QTest::newRow("negative overflow") << "-1e999" << -Inf;
    QTest::newRow("overflow by digits") << "1" + QString(400, u'0') << Inf;
    QTest::newRow("huge exponent") << "1e99999999999999999999999" << Inf;
    QTest::newRow("underflow") << "1e-999" << 0.0;
    QTest::newRow("negative underflow") << "-1e-999" << -0.0;
    QTest::newRow("subnormal") << "1e-310" << 1e-310;
    QTest::newRow("zero with huge exponent") << "0e99999" << 0.0;
    QTest::newRow("zeros offset huge exponent") << "0." + QString(400, u'0') + "1e400" << 0.1;
    QTest::newRow("digits offset tiny exponent") << "1" + QString(400, u'0') + "e-400" << 1.0;
    QTest::newRow("fraction zeros decide underflow") << "0." + QString(400, u'0') + "1e50" << 0.0;
    QTest::newRow("digits decide overflow") << "1" + QString(400, u'0') + "e-50" << Inf;
    QTest::newRow("many fraction digits") << "0.30000000000000000000000000001" << 0.3;
}

void TestNumberText::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);

    const double actual = LeadingNumber(text);
    QVERIFY2(sameDouble(actual, expected), describe(actual) + " != " + describe(expected));
}

void TestNumberText::isWholeTextNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");

    QTest::newRow("whole") << "12" << true;
    QTest::newRow("blanks around") << " 12 " << true;
    QTest::newRow("tab and line breaks around") << "\t12\r\n" << true;
    QTest::newRow("negative") << "-5" << true;
    QTest::newRow("plus") << "+3" << true;
    QTest::newRow("fraction") << "12.5" << true;
    QTest::newRow("leading point") << ".5" << true;
    QTest::newRow("trailing point") << "5." << true;
    QTest::newRow("exponent") << "1e2" << true;
    QTest::newRow("upper exponent, negative") << "1E-3" << true;
    QTest::newRow("exponent plus") << "1e+2" << true;
    QTest::newRow("leading zeros") << "007" << true;
    QTest::newRow("negative zero") << "-0" << true;
    QTest::newRow("overflowing value") << "1e999" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks only") << "   " << false;
    QTest::newRow("letters") << "abc" << false;
    QTest::newRow("lone point") << "." << false;
    QTest::newRow("sign only") << "-" << false;
    QTest::newRow("double sign") << "+-1" << false;
    QTest::newRow("blank after sign") << "- 5" << false;
    QTest::newRow("blank before exponent") << "5 e2" << false;
    QTest::newRow("exponent without digits") << "1e" << false;
    QTest::newRow("exponent sign without digits") << "1e+" << false;
    QTest::newRow("exponent without mantissa") << ".e1" << false;
    QTest::newRow("fractional exponent") << "1e2.5" << false;
    QTest::newRow("infinity") << "inf" << false;
    QTest::newRow("not a number") << "nan" << false;
    QTest::newRow("C hex") << "0x10" << false;
    QTest::newRow("comma decimal") << "12,5" << false;
    QTest::newRow("ideographic space around") << "\u300012" << false;
    QTest::newRow("full-width digits") << "\uff11\uff12" << false;
    QTest::newRow("embedded NUL") << QString::fromUtf16(u"12\0", 3) << false;
}

void TestNumberText::isWholeTextNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);

    QCOMPARE(IsWholeTextNumber(text), expected);
}

void TestNumberText::toWhole_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<WholeType>("type");
    QTest::addColumn<std::optional<qint32>>("expected");

    const auto row = [](const char* name, double x, WholeType type, std::optional<qint32> result) {
        QTest::newRow(name) << x << type << result;
    };
    row("0.5 to even 0", 0.5, WholeType::Int32, 0);
    row("1.5 to even 2", 1.5, WholeType::Int32, 2);
    row("2.5 to even 2", 2.5, WholeType::Int32, 2);
    row("3.5 to even 4", 3.5, WholeType::Int32, 4);
    row("-0.5 to even 0", -0.5, WholeType::Int32, 0);
    row("-1.5 to even -2", -1.5, WholeType::Int32, -2);
    row("-2.5 to even -2", -2.5, WholeType::Int32, -2);
    row("-3.5 to even -4", -3.5, WholeType::Int32, -4);
    row("just below a half", 0.49999999999999994, WholeType::Int32, 0);
    row("just above a half", 2.5000000000000004, WholeType::Int32, 3);
    row("just below -2.5", -2.5000000000000004, WholeType::Int32, -3);
    row("tiny negative", -1e-300, WholeType::Byte, 0);
    row("Int16 max", 32767.0, WholeType::Int16, 32767);
    row("Int16 max, rounds down", 32767.4, WholeType::Int16, 32767);
    row("Int16 max, half up to even", 32767.5, WholeType::Int16, None);
    row("Int16 below max, half to even", 32766.5, WholeType::Int16, 32766);
    row("Int16 min, half to even", -32768.5, WholeType::Int16, -32768);
    row("Int16 below min", -32768.6, WholeType::Int16, None);
    row("Int16 min, odd half", -32769.5, WholeType::Int16, None);
    row("Int32 max", 2147483647.0, WholeType::Int32, 2147483647);
    row("Int32 max, half to even", 2147483647.5, WholeType::Int32, None);
    row("Int32 below max, half to even", 2147483646.5, WholeType::Int32, 2147483646);
    row("Int32 min, half to even", -2147483648.5, WholeType::Int32, -2147483647 - 1);
    row("Int32 below min", -2147483649.0, WholeType::Int32, None);
    row("9e9 into Int32", 9e9, WholeType::Int32, None);
    row("Int32 value into Int16", 40000.0, WholeType::Int16, None);
    row("Byte max", 255.4, WholeType::Byte, 255);
    row("Byte max, half to even", 255.5, WholeType::Byte, None);
    row("Byte below max, half to even", 254.5, WholeType::Byte, 254);
    row("Byte, -0.5 to 0", -0.5, WholeType::Byte, 0);
    row("Byte, -0.6 to -1", -0.6, WholeType::Byte, None);
    row("Byte, -1", -1.0, WholeType::Byte, None);
    row("huge", 1e300, WholeType::Int32, None);
    row("infinity", Inf, WholeType::Int32, None);
    row("negative infinity", -Inf, WholeType::Int16, None);
    row("not a number", NaN, WholeType::Byte, None);
}

void TestNumberText::toWhole()
{
    QFETCH(double, x);
    QFETCH(WholeType, type);
    QFETCH(std::optional<qint32>, expected);

    QCOMPARE(ToWhole(x, type), expected);
}

void TestNumberText::textToWhole_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<WholeType>("type");
    QTest::addColumn<std::optional<qint32>>("expected");

    const auto row
        = [](const char* name, const char16_t* text, WholeType type, std::optional<qint32> result) {
              QTest::newRow(name) << QString::fromUtf16(text) << type << result;
          };
    row("whole", u"12", WholeType::Int32, 12);
    row("blanks around", u" 12 ", WholeType::Int16, 12);
    row("exponent", u"1e2", WholeType::Byte, 100);
    row("half to even", u"3.5", WholeType::Int32, 4);
    row("negative half to even", u"-2.5", WholeType::Int16, -2);
    row("False", u"False", WholeType::Int16, 0);
    row("false, Byte", u"false", WholeType::Byte, 0);
    row("FALSE with blanks", u" FALSE\t", WholeType::Int32, 0);
    row("mixed-case False", u"fAlSe", WholeType::Int32, 0);
    row("long s is not an s", u"fal\u017fe", WholeType::Int32, None);
    row("False with more", u"Falsey", WholeType::Int32, None);
    row("False split", u"F alse", WholeType::Int32, None);
    row("empty", u"", WholeType::Int32, None);
    row("letters", u"abc", WholeType::Int32, None);
    row("Byte max", u"255", WholeType::Byte, 255);
    row("Byte over", u"256", WholeType::Byte, None);
    row("Byte negative", u"-1", WholeType::Byte, None);
    row("Byte, -0.5 to 0", u"-0.5", WholeType::Byte, 0);
    row("Int16 half over", u"32767.5", WholeType::Int16, None);
    row("Int16 half at min", u"-32768.5", WholeType::Int16, -32768);
    row("Int32 min", u"-2147483648", WholeType::Int32, -2147483647 - 1);
    row("Int32 over", u"2147483648", WholeType::Int32, None);
    row("overflowing value", u"1e999", WholeType::Int32, None);
    row("underflowing value", u"1e-999", WholeType::Byte, 0);
}

void TestNumberText::textToWhole()
{
    QFETCH(QString, text);
    QFETCH(WholeType, type);
    QFETCH(std::optional<qint32>, expected);

    QCOMPARE(TextToWhole(text, type), expected);
}

void TestNumberText::textToBoolean_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<bool>>("expected");

    QTest::newRow("True") << "True" << std::optional<bool>(true);
    QTest::newRow("true") << "true" << std::optional<bool>(true);
    QTest::newRow("TRUE with blanks") << " TRUE\t" << std::optional<bool>(true);
    QTest::newRow("False") << "False" << std::optional<bool>(false);
    QTest::newRow("fALSE with blanks") << "  fALSE " << std::optional<bool>(false);
    QTest::newRow("zero") << "0" << std::optional<bool>(false);
    QTest::newRow("zero with fraction") << "0.0" << std::optional<bool>(false);
    QTest::newRow("negative zero") << "-0" << std::optional<bool>(false);
    QTest::newRow("one") << "1" << std::optional<bool>(true);
    QTest::newRow("minus one") << "-1" << std::optional<bool>(true);
    QTest::newRow("grayed state") << "2" << std::optional<bool>(true);
    QTest::newRow("small fraction") << "0.001" << std::optional<bool>(true);
    QTest::newRow("empty") << "" << std::optional<bool>();
    QTest::newRow("yes") << "yes" << std::optional<bool>();
    QTest::newRow("T") << "T" << std::optional<bool>();
    QTest::newRow("True with more") << "Truee" << std::optional<bool>();
    QTest::newRow("True split") << "Tr ue" << std::optional<bool>();
    QTest::newRow("leading number only") << "1abc" << std::optional<bool>();
    QTest::newRow("hex") << "&H1" << std::optional<bool>();
}

void TestNumberText::textToBoolean()
{
    QFETCH(QString, text);
    QFETCH(std::optional<bool>, expected);

    QCOMPARE(TextToBoolean(text), expected);
}

void TestNumberText::numberTextDouble_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("expected");

    QTest::newRow("whole") << 12.0 << "12";
    QTest::newRow("fraction") << 12.5 << "12.5";
    QTest::newRow("negative") << -60.0 << "-60";
    QTest::newRow("twips") << 1440.0 << "1440";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("one tenth") << 0.1 << "0.1";
    QTest::newRow("binary noise rounded away") << 0.1 + 0.2 << "0.3";
    QTest::newRow("one third") << 1.0 / 3 << "0.333333333333333";
    QTest::newRow("two thirds rounds up") << 2.0 / 3 << "0.666666666666667";
    QTest::newRow("negative third") << -1.0 / 3 << "-0.333333333333333";
    QTest::newRow("sixteenth digit dropped") << 1.0000000000000002 << "1";
    QTest::newRow("fifteen digits") << 123456789012345.0 << "123456789012345";
    QTest::newRow("largest positional") << 999999999999999.0 << "999999999999999";
    QTest::newRow("rounds into exponent form") << 999999999999999.9 << "1E+15";
    QTest::newRow("1e14") << 1e14 << "100000000000000";
    QTest::newRow("1e15") << 1e15 << "1E+15";
    QTest::newRow("negative 1e15") << -1e15 << "-1E+15";
    QTest::newRow("mantissa in exponent form") << 1.5e15 << "1.5E+15";
    QTest::newRow("three-digit exponent") << 1e100 << "1E+100";
    QTest::newRow("largest double") << DBL_MAX << "1.79769313486232E+308";
    QTest::newRow("smallest positional") << 0.0001 << "0.0001";
    QTest::newRow("rounds up to smallest positional") << 0.00009999999999999999 << "0.0001";
    QTest::newRow("small with digits") << 0.00012345 << "0.00012345";
    QTest::newRow("1e-5") << 0.00001 << "1E-05";
    QTest::newRow("1.5e-5") << 0.000015 << "1.5E-05";
    QTest::newRow("negative small") << -0.000015 << "-1.5E-05";
    QTest::newRow("tiny") << 1e-300 << "1E-300";
    QTest::newRow("subnormal") << 5e-324 << "4.94065645841247E-324";
    QTest::newRow("fraction kept to 15 digits") << 1234567.125 << "1234567.125";
    QTest::newRow("float widened") << double(0.1f) << "0.100000001490116";
    QTest::newRow("infinity") << Inf << "inf";
    QTest::newRow("negative infinity") << -Inf << "-inf";
    QTest::newRow("not a number") << NaN << "nan";
}

void TestNumberText::numberTextDouble()
{
    QFETCH(double, x);
    QFETCH(QString, expected);

    QCOMPARE(NumberText(x), expected);
}

void TestNumberText::numberTextFloat_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<QString>("expected");

    QTest::newRow("twips") << 1440.0f << "1440";
    QTest::newRow("negative") << -60.0f << "-60";
    QTest::newRow("one tenth") << 0.1f << "0.1";
    QTest::newRow("binary noise hidden") << 100.1f << "100.1";
    QTest::newRow("one third") << 1.0f / 3 << "0.3333333";
    QTest::newRow("two thirds rounds up") << 2.0f / 3 << "0.6666667";
    QTest::newRow("seven digits") << 1234567.0f << "1234567";
    QTest::newRow("largest positional") << 9999999.0f << "9999999";
    QTest::newRow("1e7") << 1e7f << "1E+07";
    QTest::newRow("eight digits rounded") << 12345678.0f << "1.234568E+07";
    QTest::newRow("largest float") << FLT_MAX << "3.402823E+38";
    QTest::newRow("smallest positional") << 0.0001f << "0.0001";
    QTest::newRow("1e-5") << 0.00001f << "1E-05";
    QTest::newRow("smallest subnormal")
        << std::numeric_limits<float>::denorm_min() << "1.401298E-45";
    QTest::newRow("negative zero") << -0.0f << "0";
    QTest::newRow("infinity") << std::numeric_limits<float>::infinity() << "inf";
}

void TestNumberText::numberTextFloat()
{
    QFETCH(float, x);
    QFETCH(QString, expected);

    QCOMPARE(NumberText(x), expected);
}

// The settings file writes numbers with NumberText and reads them with LeadingNumber.
void TestNumberText::numberTextReadsBack_data()
{
    QTest::addColumn<double>("x");

    QTest::newRow("whole") << 1440.0;
    QTest::newRow("negative fraction") << -12.5;
    QTest::newRow("fifteen digits") << 123456789012345.0;
    QTest::newRow("exponent form") << 1e15;
    QTest::newRow("negative exponent form") << -1.5e-5;
    QTest::newRow("three-digit exponent") << 2.5e-300;
    QTest::newRow("smallest positional") << 0.0001;
}

void TestNumberText::numberTextReadsBack()
{
    QFETCH(double, x);

    const QString text = NumberText(x);
    QVERIFY2(sameDouble(LeadingNumber(text), x), qPrintable(text));
    QVERIFY2(IsWholeTextNumber(text), qPrintable(text));
}

TESSARIN_TEST(TestNumberText)

#include "tst_numbertext.moc"
