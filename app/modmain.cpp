#include "app/modmain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/mainwindow.h"
#include "display/tableaccessible.h"

namespace vorn {

int Main(QApplication& app) {
    app.setApplicationName("Vorn");
    app.setOrganizationName("Vorn");
    app.setQuitOnLastWindowClosed(false);
    // Every text is Chinese, the toolkit's own buttons (是/否, 确定) included.
    auto* translator = new QTranslator(&app);
    if (translator->load("qtbase_zh_CN", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
    InstallTableAccessibility();
    MainWindow window(QCoreApplication::applicationDirPath());
    window.show();
    window.showLogon();
    return app.exec();
}

}  // namespace vorn
