#include "app/settingsrules.h"
#include "runtime/qtservices.h"
#include "window/frmtessarin.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarin"));

    QtServices services;
    FrmTessarin window(services);
    services.SetDialogParent(&window);
    window.SetSettingsFiles(FindSettingsFiles(QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)));
    window.Form_Load();
    window.show();
    return app.exec();
}
