// The build keeps a lambda's invoker apart from the member function it calls. On 32-bit Windows
// the two have different calling conventions; folded into one because their code is the same, a
// call through the lambda left the stack 4 bytes off and crashed (as the folder climb once did, in
// the file system's CreateDirectories).
#include <gtest/gtest.h>

#include <string>

#include "tests/support/call_through.h"

namespace qnd {
namespace {

struct Question {
  virtual ~Question() = default;
  virtual bool Ask(const std::string& text) = 0;
};

class LongName final : public Question {
 public:
  // Not using its object, so its code is the lambda's invoker's once the call is inlined there.
  bool Ask(const std::string& text) override { return test::LongerThanThree(text); }
  std::size_t AskThroughLambda(const std::string& text) {
    return test::AskTwice(text, [this](const std::string& name) { return Ask(name); });
  }
};

TEST(CallingConventionTest, LambdaCallingAFinalMemberFunctionKeepsTheStack) {
  LongName question;
  Question& asked = question;
  EXPECT_TRUE(asked.Ask("Formulare"));
  EXPECT_EQ(question.AskThroughLambda("Formulare"), 2u + 9u);
  EXPECT_EQ(question.AskThroughLambda("NKK"), 0u + 3u);
}

}  // namespace
}  // namespace qnd
