#include "app/settingsrules.h"
#include "runtime/ui/qtservices.h"
#include "window/ui/frmtessarin.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarin"));

    // The window is Chinese, and so are Qt's own texts in it (the buttons of the input box and
    // the message boxes, the text boxes' context menus, the file dialog), whatever the
    // system's language.
    QTranslator qtTranslation;
    if (qtTranslation.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"),
            QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslation);

    QtServices services;
    FrmTessarin window(services);
    services.SetDialogParent(&window);
    window.SetSettingsFiles(FindSettingsFiles(QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)));
    window.Form_Load();
    window.show();
    return app.exec();
}
