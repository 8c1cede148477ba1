#pragma once

// A random source that replays a script of draws, for tests.

#include <QString>
#include <QStringList>
#include <QTest>

#include <cstddef>
#include <utility>
#include <vector>

#include "cards/random.h"

namespace vorn::testing {

// Hands out the scripted numbers in order. A draw past the end of the script
// fails the running test, so the number and the order of draws are checked
// along with what they decide. calls counts every draw and is the position
// in the script: a test may rewind it along with a new script.
class ScriptedRandom : public Random {
  public:
    std::vector<double> script;
    std::size_t calls = 0;

    ScriptedRandom() = default;
    explicit ScriptedRandom(std::vector<double> values) : script(std::move(values)) {}
    // Numbers written with blanks between them: "0.1 0.95".
    explicit ScriptedRandom(const QString& written) {
        for (const QString& item : written.split(' ', Qt::SkipEmptyParts)) script.push_back(item.toDouble());
    }

    double Uniform() override {
        if (calls >= script.size()) {
            ++calls;
            overdrawn_ = true;
            QTest::qFail("more random draws than scripted", __FILE__, __LINE__);
            return 0.0;
        }
        return script[calls++];
    }
    int Left() const { return calls >= script.size() ? 0 : int(script.size() - calls); }
    int Taken() const { return int(calls); }
    bool Overdrawn() const { return overdrawn_; }

  private:
    bool overdrawn_ = false;
};

}  // namespace vorn::testing
