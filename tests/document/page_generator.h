#pragma once
// Generated result pages for the large-page tests and the parse benchmark.

#include <cstddef>
#include <string>

namespace DbscoutTest {

// A well-formed result page listing rowCount objects. Row k (from 0) is named "Object k", has
// the id "MAIN/k" and four further cells, the first of which is k * 7; every third row is checked
// out by "curator" and every fifth is read-only.
std::string GenerateResultPage(long rowCount);

// The smallest such page of at least bytes characters; rowCount receives its number of rows.
std::string GenerateResultPageOfSize(size_t bytes, long& rowCount);

} // namespace DbscoutTest
