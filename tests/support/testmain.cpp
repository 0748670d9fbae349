#include "support/testregistry.h"

#include <QLocale>
#include <QMetaMethod>
#include <QSet>
#include <QTest>
#ifdef QT_WIDGETS_LIB
#include <QApplication>
using Application = QApplication;
#else
#include <QGuiApplication>
using Application = QGuiApplication;
#endif

namespace {

// The test functions named on the command line ("name" or "name:tag"), leaving
// out the values of the options that take one.
QSet<QByteArray> namedFunctions(int argc, char** argv)
{
    static const QSet<QByteArray> takesValue {"-o", "-maxwarnings", "-eventdelay", "-keydelay",
        "-mousedelay", "-platform", "-seed", "-repeat"};
    QSet<QByteArray> names;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (takesValue.contains(arg))
            ++i;
        else if (!arg.startsWith('-'))
            names.insert(arg.contains(':') ? arg.left(arg.indexOf(':')) : arg);
    }
    return names;
}

bool hasAnyOf(const QObject& test, const QSet<QByteArray>& names)
{
    const QMetaObject* meta = test.metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
        if (names.contains(meta->method(i).name()))
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    Application app(argc, argv);
    QLocale::setDefault(QLocale::c());
    const QSet<QByteArray> names = namedFunctions(argc, argv);
    int failures = 0;
    for (const auto& make : testsupport::registry()) {
        auto test = make();
        // With functions named, a class that has none of them is not run at all.
        if (!names.isEmpty() && !hasAnyOf(*test, names))
            continue;
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
