#pragma once

// A row of a QTest data table written as one call, so that a table reads
// one case a line; and the table's columns declared in one call too.

#include <QTest>

namespace vorn::testing {

// The row's name, then its values in the order of the columns. A string
// literal goes in as a QString, as it does with newRow's own <<.
template <typename... Values>
void Row(const char* name, const Values&... values) {
    (QTest::newRow(name) << ... << values);
}

// The columns' types in order, then their names: Columns<int, QString>("n", "text").
template <typename... Types, typename... Names>
void Columns(const Names&... names) {
    static_assert(sizeof...(Types) == sizeof...(Names), "one name for each column");
    (QTest::addColumn<Types>(names), ...);
}

}  // namespace vorn::testing
