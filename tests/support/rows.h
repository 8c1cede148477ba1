#pragma once

// A row of a QTest data table written as one call, so that a table reads
// one case a line.

#include <QTest>

namespace vorn::testing {

// The row's name, then its values in the order of the columns. A string
// literal goes in as a QString, as it does with newRow's own <<.
template <typename... Values>
void Row(const char* name, const Values&... values) {
    (QTest::newRow(name) << ... << values);
}

}  // namespace vorn::testing
