#include <QLocale>

// Linked into every test: numbers and messages are compared as the C locale writes them, whatever
// the shell's locale, and before QTEST_MAIN's application exists.
static void pinLocale()
{
    QLocale::setDefault(QLocale::c());
}
Q_CONSTRUCTOR_FUNCTION(pinLocale)
