#include "tests/support/call_through.h"

namespace qnd::test {

bool LongerThanThree(const std::string& text) { return text.size() > 3; }

std::size_t AskTwice(const std::string& text, const std::function<bool(const std::string&)>& test) {
  const std::string copy = text;
  std::size_t yes = 0;
  for (int i = 0; i < 2; ++i) {
    if (test(copy)) ++yes;
  }
  return yes + copy.size();
}

}  // namespace qnd::test
