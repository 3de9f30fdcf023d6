// A call through a function object made in another translation unit, so that the compiler cannot
// see through it: for the test that a lambda calling a member function keeps its own calling
// convention.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace qnd::test {

/// Asks `test` twice about a copy of `text`; the number of yes answers plus the copy's length, so
/// a call that damaged the caller's stack shows in the result (or crashes).
/// Whether `text` is longer than three characters; out of the compiler's sight like AskTwice.
bool LongerThanThree(const std::string& text);

std::size_t AskTwice(const std::string& text, const std::function<bool(const std::string&)>& test);

}  // namespace qnd::test
