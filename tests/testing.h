#pragma once

// One test program per layer: every test class of a layer registers itself
// here and the layer's main runs them all, failing when any of them fails.

#include <QObject>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

namespace vorn::testing {

using Factory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<Factory>& Registry() {
    static std::vector<Factory> factories;
    return factories;
}

template <typename T>
struct Register {
    Register() {
        Registry().push_back([] { return std::make_unique<T>(); });
    }
};

int RunAll(int argc, char** argv);

}  // namespace vorn::testing

#define VORN_TEST(Class) static ::vorn::testing::Register<Class> vornRegister##Class;
