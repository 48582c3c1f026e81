#pragma once
// One call per row of a test's data table, for the model tests too (header only).

#include <QTest>

namespace qpes::test {

// Adds a row to the test's data table; a text value may be given as a literal.
template <typename... T> void row(const char* name, const T&... values) {
    (QTest::newRow(name) << ... << values);
}

} // namespace qpes::test
