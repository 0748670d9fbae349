#include "app/settingsrules.h"
#include "runtime/qtservices.h"
#include "window/frmtessarin.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarin"));

    // Qt's own dialogs (file dialogs, the input box, message boxes) speak the
    // system's language, or Chinese like the rest of the window where Qt has no
    // translation for it.
    QTranslator qtTranslation;
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (qtTranslation.load(QLocale(), QStringLiteral("qt"), QStringLiteral("_"), translations)
        || qtTranslation.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"),
            QStringLiteral("_"), translations))
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
