#include "app/modmain.h"

#include <QApplication>

#include "app/mainwindow.h"
#include "display/tableaccessible.h"

namespace vorn {

int Main(QApplication& app) {
    app.setApplicationName("Vorn");
    app.setOrganizationName("Vorn");
    app.setQuitOnLastWindowClosed(false);
    // The window puts the toolkit's own buttons (是/否, 确定) into its language when it reads the settings.
    InstallTableAccessibility();
    MainWindow window(QCoreApplication::applicationDirPath());
    window.show();
    window.showLogon();
    return app.exec();
}

}  // namespace vorn
