#include "app/modmain.h"

#include <QApplication>

#include "app/mainwindow.h"

namespace vorn {

int Main(QApplication& app) {
    app.setApplicationName("Vorn");
    app.setOrganizationName("Vorn");
    app.setQuitOnLastWindowClosed(false);
    MainWindow window(QCoreApplication::applicationDirPath());
    window.show();
    window.showLogon();
    return app.exec();
}

}  // namespace vorn
