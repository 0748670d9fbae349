#include "runtime/numbertext.h"

#include <QTest>
#include <limits>

namespace {

// A result or none (an invalid QVariant), in a form QCOMPARE can show.
template <typename T> QVariant shown(const std::optional<T>& value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

} // namespace

class TestNumberText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One text through every reading rule, Int32 as the whole type. What LeadingNumber reads only
    // in part passes none of the others. Halves go to the even neighbour, and the range is
    // judged after rounding.
    void textRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("leading");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QVariant>("int32");
        QTest::addColumn<QVariant>("boolean");
        const auto row = [](const char* name, const QString& text, double leading, bool whole,
                             const QVariant& int32, const QVariant& boolean) {
            QTest::newRow(name) << text << leading << whole << int32 << boolean;
        };
        const auto partial = [&](const char* name, const QString& text, double leading) {
            row(name, text, leading, false, {}, {});
        };
        partial("trailing letters", "12abc", 12);
        partial("blanks, tabs, CR and LF anywhere", "- \t1 2\r\n. 5 e - 1", -1.25);
        partial("ideographic space is no blank", "\u300012", 0);
        partial("D exponent", "1D-2", 0.01);
        partial("exponent sign without digits", "1e+", 1);
        partial("hex, lower case, stops at a misfit", "&hFfG", 255);
        partial("hex with blanks is never negative", "& H FFFF", 65535);
        partial("octal stops at 8", "&o178", 15);
        row("False with blanks", " fALSE\t", 0, false, 0, false);
        row("True with blanks", " TRUE\r\n", 0, false, {}, true);
        row("leading point, half down to even", "+.5", 0.5, true, 0, true);
        row("point then exponent", "1.E+2", 100, true, 100, true);
        row("negative half up to even", "\t-3.5 ", -3.5, true, -4, true);
        row("just below a half", "0.49999999999999994", 0.49999999999999994, true, 0, true);
        row("Int32 over after rounding", "2147483647.5", 2147483647.5, true, {}, true);
        row("overflow", "-1e999", -std::numeric_limits<double>::infinity(), true, {}, true);
        row("underflow", "1e-999", 0, true, 0, false);
    }
    void textRules()
    {
        QFETCH(QString, text);
        QFETCH(double, leading);
        QCOMPARE(LeadingNumber(text), leading);
        QTEST(IsWholeTextNumber(text), "whole");
        QTEST(shown(TextToWhole(text, WholeType::Int32)), "int32");
        QTEST(shown(TextToBoolean(text)), "boolean");
    }

    // The settings file writes numbers with NumberText and reads them with LeadingNumber, so every
    // text must read back as the same number. Float rows take x as a float.
    void numberText_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<bool>("isFloat");
        QTest::addColumn<QString>("expected");
        QTest::newRow("negative fraction") << -12.5 << false << "-12.5";
        QTest::newRow("binary noise rounded away") << 0.1 + 0.2 << false << "0.3";
        QTest::newRow("rounds into exponent form") << 999999999999999.9 << false << "1E+15";
        QTest::newRow("negative small") << -0.000015 << false << "-1.5E-05";
        QTest::newRow("float, binary noise hidden") << double(100.1f) << true << "100.1";
    }
    void numberText()
    {
        QFETCH(double, x);
        QFETCH(bool, isFloat);
        QFETCH(QString, expected);
        const auto text = [&](double y) { return isFloat ? NumberText(float(y)) : NumberText(y); };
        QCOMPARE(text(x), expected);
        QVERIFY(IsWholeTextNumber(expected));
        QCOMPARE(text(LeadingNumber(expected)), expected);
    }
};

QTEST_MAIN(TestNumberText)
#include "tst_numbertext.moc"
