#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

// The text without the blanks, tabs, CR and LF around it; the same for code-page bytes.
QStringView TrimBlanks(QStringView text);
QByteArrayView TrimBlanks(QByteArrayView bytes);

// Target of a whole-number conversion: -32768..32767, -2147483648..2147483647, 0..255.
enum class WholeType { Int16, Int32, Byte };

// The number at the start of the text, read the forgiving way: blanks, tabs, CR and LF are
// skipped wherever they stand ("1 2" is 12); "&H" and "&O" start a hexadecimal or octal whole
// number, which is never negative ("&HFFFF" is 65535); otherwise a sign, digits with at most one
// "." and an exponent with E or D. Reading stops at the first misfit; no number at all gives 0.
// Never fails: a value beyond the range of double gives +-inf, one too small for it +-0.
double LeadingNumber(QStringView text);

// True when the text, apart from blanks, tabs, CR and LF around it, is one number in the C
// locale's syntax: optional sign, digits with an optional "." fraction (".5" and "5." pass), an
// optional exponent e or E with optional sign and digits. Group separators ("1,000"), the D
// exponent, "&H", "inf" and "nan" do not pass. The test is of syntax only: "1e999" passes though
// its value is infinite, which no whole type can hold.
bool IsWholeTextNumber(QStringView text);

// The nearest whole number, halves to the even neighbour (2.5 gives 2, -2.5 gives -2); nullopt
// when it does not fit the type or x is NaN or infinite.
std::optional<qint32> ToWhole(double x, WholeType type);

// A text that passes IsWholeTextNumber, converted by ToWhole; the word "False" in any ASCII letter
// case, with blanks around, reads as 0. Nullopt for any other text and for values out of range.
std::optional<qint32> TextToWhole(QStringView text, WholeType type);

// "True" or "False" in any ASCII letter case, with blanks around, or a text that passes
// IsWholeTextNumber (0 is false, any other value true). Nullopt for anything else.
std::optional<bool> TextToBoolean(QStringView text);

// Shortest decimal text of x: up to 15 significant digits for double, 7 for float; "-" before
// negatives, "." as decimal point, no trailing zeros. Positional while the rounded value's decimal
// exponent lies in -4..14 (double) or -4..6 (float), that is 1E-04 <= |x| < 1E+15 (1E+07);
// otherwise mantissa, "E", sign and at least two exponent digits ("1E+15", "1.5E-05"). Zero and
// negative zero give "0"; infinities "inf" and "-inf", NaN "nan" (LeadingNumber reads those as 0
// and IsWholeTextNumber rejects them). Integer arguments are ambiguous: convert them first.
QString NumberText(double x);
QString NumberText(float x);
