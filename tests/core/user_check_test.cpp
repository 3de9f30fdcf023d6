#include "core/user_check.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "tests/support/recording_ui.h"
#include "tests/support/temp_dir.h"

namespace qnd {
namespace {

TEST(UserCountTest, ParsingRules) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {
      {"0", 0},           {"2", 2},           {"-0", 0},          {"+7", 7},
      {"  3", 3},         {"-12", -12},       {"007", 7},         {"$0", 0},
      {"0x0", 0},         {"0X1f", 31},       {"x10", 16},        {"X10", 16},
      {"$FFFFFFFF", -1},  {"$7FFFFFFF", 2147483647},              {"-$10", -16},
      {"2147483647", 2147483647},             {"-2147483648", -2147483647 - 1},
      // everything else reads as the fallback
      {"", -99},          {"abc", -99},       {"1 ", -99},        {"1a", -99},
      {"2147483648", -99},                    {"-2147483649", -99},
      {"$", -99},         {"0x", -99},        {"$123456789", -99}, {"0x-1", -99},
      {"--1", -99},       {"- 1", -99},       {"\t1", -99},       {"1.0", -99},
      {"$G", -99},        {"00x1", -99},      {"99999999999999999999", -99},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseUserCount(c.text, -99), c.value) << '"' << c.text << '"';
}

class UserCheckTest : public ::testing::TestWithParam<Program> {
 protected:
  UserCheckTest()
      : log_(ui_), context_{state_, log_, platform::SystemPlatform(), GetParam()} {
    state_.DataDir = dir_.Path() + platform::kPathSeparator;
  }
  void WriteUserFile(const std::string& content) { dir_.WriteFile("QuendUser.ini", content); }

  test::TempDir dir_;
  test::RecordingUi ui_;
  ProgressLog log_;
  UpdaterState state_;
  UpdaterContext context_;
};

constexpr char kLoggedInError[] =
    "Es sind noch Anwender in Quendra angemeldet!\nDas Update wird abgebrochen!";

TEST_P(UserCheckTest, OnlyZeroPasses) {
  const struct {
    const char* file;  // nullptr: no user file
    bool passes;
  } cases[] = {
      {"[Benutzer]\r\nUserZahl=0\r\n", true},
      {"[benutzer]\r\nuserzahl = 0x0\r\n", true},
      {"[Benutzer]\r\nUserZahl=$0\r\n", true},
      {"[Benutzer]\r\nUserZahl=-0\r\n", true},
      {"[Benutzer]\r\nUserZahl=2\r\n", false},
      {"[Benutzer]\r\nUserZahl=-1\r\n", false},
      {"[Benutzer]\r\nUserZahl=abc\r\n", false},
      {"[Benutzer]\r\nUserZahl=\r\n", false},
      {"[Benutzer]\r\nAndere=0\r\n", false},
      {"[Anders]\r\nUserZahl=0\r\n", false},
      {nullptr, false},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    if (c.file) dir.WriteFile("QuendUser.ini", c.file);
    test::RecordingUi ui;
    ProgressLog log(ui);
    UpdaterState state;
    state.DataDir = dir.Path() + platform::kPathSeparator;
    UpdaterContext context{state, log, platform::SystemPlatform(), GetParam()};
    const std::string name = c.file ? c.file : "(no file)";
    EXPECT_EQ(PruefeQNDUser(context), c.passes ? kStatusOk : kStatusFailed) << name;
    EXPECT_EQ(ui.ErrorTexts(),
              c.passes ? std::vector<std::string>{} : std::vector<std::string>{kLoggedInError})
        << name;
  }
}

TEST_P(UserCheckTest, Subfolder001SkipsTheCheckOnlyInTheLocalUpdater) {
  WriteUserFile("[Benutzer]\r\nUserZahl=3\r\n");
  state_.UseSubfolder001 = true;
  if (GetParam() == Program::LocalUpdater) {
    EXPECT_EQ(PruefeQNDUser(context_), kStatusOk);
    EXPECT_TRUE(ui_.Events().empty());
  } else {
    EXPECT_EQ(PruefeQNDUser(context_), kStatusFailed);
    EXPECT_EQ(ui_.ErrorTexts(), std::vector<std::string>{kLoggedInError});
  }
}

TEST_P(UserCheckTest, DataFolderWithoutTrailingSeparatorMissesTheFile) {
  WriteUserFile("[Benutzer]\r\nUserZahl=0\r\n");
  state_.DataDir = dir_.Path();  // the name is appended directly
  EXPECT_EQ(PruefeQNDUser(context_), kStatusFailed);
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, UserCheckTest,
                         ::testing::Values(Program::LocalUpdater, Program::DirUpdater),
                         [](const ::testing::TestParamInfo<Program>& info) {
                           return info.param == Program::LocalUpdater ? "QNDUpdater"
                                                                      : "QNDUpdaterP2";
                         });

}  // namespace
}  // namespace qnd
