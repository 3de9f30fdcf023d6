#include "core/result_file.h"

#include <gtest/gtest.h>

#include "core/failure.h"
#include "platform/paths.h"
#include "tests/support/recording_ui.h"
#include "tests/support/temp_dir.h"

namespace qnd {
namespace {

// A clock that always says 2019-11-11 14:06:22 and the German formats.
class FixedRegional : public platform::Regional {
 public:
  platform::CalendarTime Now() override { return {2019, 11, 11, 14, 6, 22}; }
  std::string ShortDate(const platform::CalendarTime& t) override {
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", t.day, t.month, t.year);
    return text;
  }
  std::string LongTime(const platform::CalendarTime& t) override {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return text;
  }
};

class ResultFileTest : public ::testing::Test {
 protected:
  ResultFileTest() : log_(ui_), context_{state_, log_, platform::SystemPlatform(), Program::DirUpdater} {
    context_.platform.regional = &regional_;
    state_.IniDir = dir_.Path() + platform::kPathSeparator;
    state_.InstalledVersion = "8.2.0.15";
  }
  std::string Read(const std::string& key) {
    return context_.platform.profile->ReadString(dir_ / "QND_6_7_8_Update.ini", "Update", key, "-");
  }

  test::TempDir dir_;
  FixedRegional regional_;
  test::RecordingUi ui_;
  ProgressLog log_;
  UpdaterState state_;
  UpdaterContext context_;
};

TEST_F(ResultFileTest, NewFileHoldsTheFourKeysInOrder) {
  SchreibeIni(context_, 0);
  EXPECT_EQ(dir_.ReadFile("QND_6_7_8_Update.ini"),
            "[Update]\r\nErfolg=0\r\nDatum=11.11.2019\r\nUhrzeit=14:06:22\r\nVorversion=8.2.0.15\r\n");
  EXPECT_TRUE(ui_.Events().empty());
}

TEST_F(ResultFileTest, EarlierFileKeepsItsOtherContent) {
  dir_.WriteFile("QND_6_7_8_Update.ini",
                 "[Vorher]\r\nA=1\r\n[update]\r\nerfolg=1\r\nNotiz=bleibt\r\nVorversion=7.1.0.3\r\n");
  SchreibeIni(context_, 0);
  EXPECT_EQ(Read("Erfolg"), "0");
  EXPECT_EQ(Read("Datum"), "11.11.2019");
  EXPECT_EQ(Read("Uhrzeit"), "14:06:22");
  EXPECT_EQ(Read("Vorversion"), "8.2.0.15");
  EXPECT_EQ(Read("Notiz"), "bleibt");
  EXPECT_EQ(context_.platform.profile->ReadString(dir_ / "QND_6_7_8_Update.ini", "Vorher", "A", ""),
            "1");
}

TEST_F(ResultFileTest, UnwritableFileRaisesTheFailureWithItsFullName) {
  state_.IniDir = dir_ / "fehlt/";  // the folder does not exist
  try {
    SchreibeIni(context_, 0);
    FAIL() << "no failure raised";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Text(), "In " + (dir_ / "fehlt/QND_6_7_8_Update.ini") +
                                  " kann nicht geschrieben werden");
  }
}

TEST(RegionalTest, FormatsTheGivenTime) {
  platform::Regional& regional = platform::SystemRegional();
  const platform::CalendarTime time{2019, 1, 5, 9, 3, 7};
  // Whatever the user's formats are, they show the year and the minutes.
  EXPECT_NE(regional.ShortDate(time).find("2019"), std::string::npos) << regional.ShortDate(time);
  EXPECT_NE(regional.LongTime(time).find("03"), std::string::npos) << regional.LongTime(time);
  const platform::CalendarTime now = regional.Now();
  EXPECT_GE(now.year, 2024);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
}

}  // namespace
}  // namespace qnd
