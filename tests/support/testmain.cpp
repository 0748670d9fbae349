#include "support/testregistry.h"

#include <QLocale>
#include <QTest>
#ifdef QT_WIDGETS_LIB
#include <QApplication>
using Application = QApplication;
#else
#include <QGuiApplication>
using Application = QGuiApplication;
#endif

int main(int argc, char** argv)
{
    Application app(argc, argv);
    QLocale::setDefault(QLocale::c());
    int failures = 0;
    for (const auto& make : testsupport::registry()) {
        auto test = make();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
