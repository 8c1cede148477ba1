#include <QApplication>

#include "app/modmain.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return vorn::Main(app);
}
