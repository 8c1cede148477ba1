#include <QApplication>

#include "app/commandline.h"
#include "app/modmain.h"

int main(int argc, char** argv) {
    if (const auto exitCode = vorn::ReadCommandLine(argc, argv)) return *exitCode;
    QApplication app(argc, argv);
    return vorn::Main(app);
}
