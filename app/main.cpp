#include "runtime/qtservices.h"
#include "window/frmtessarin.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarin"));

    QtServices services;
    FrmTessarin window(services);
    services.SetDialogParent(&window);
    window.Form_Load();
    window.show();
    return app.exec();
}
