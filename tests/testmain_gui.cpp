#include <QApplication>

#include "tests/testing.h"

int vorn::testing::RunAll(int argc, char** argv) {
    int failures = 0;
    for (auto& make : Registry()) {
        auto test = make();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}

int main(int argc, char** argv) {
    // Tests never look for or answer tables on this machine's real networks.
    qputenv("VORN_LAN", "off");
    QApplication app(argc, argv);
    return vorn::testing::RunAll(argc, argv);
}
