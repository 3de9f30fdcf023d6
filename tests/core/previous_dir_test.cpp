#include <gtest/gtest.h>

#include "core/data_paths.h"

namespace qnd {
namespace {

// Each row holds the Windows form; the POSIX twin swaps every "\" for "/".
TEST(PreviousDirTest, ParentEndsWithSeparatorBothStyles) {
  const struct {
    const char* path;
    const char* parent;
  } cases[] = {
      {"D:\\Daten\\Quendra\\Daten\\", "D:\\Daten\\Quendra\\"},
      {"D:\\Daten\\Quendra\\Daten", "D:\\Daten\\Quendra\\"},
      {"D:\\Daten", "D:\\"},
      {"D:\\Daten\\", "D:\\"},
      {"D:\\", "D:\\"},             // too short: the input itself
      {"D:", "D:"},
      {"", ""},
      {"\\\\srv\\s\\Daten\\", "\\\\srv\\s\\"},
      {"Daten", "Daten"},           // no separator: the input itself
      {"abc\\", "abc\\"},           // three characters after the trailing separator goes
      {"C:\\x\\\\", "C:\\"},        // only one trailing separator is dropped
      {"D:\\Fächer\\Daten\\", "D:\\Fächer\\"},
      {"äöü\\", "äöü\\"},           // three characters, however many bytes
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetPreviousDir(c.path, '\\'), c.parent) << c.path;
    std::string posixPath = c.path, posixParent = c.parent;
    for (char& ch : posixPath) ch = ch == '\\' ? '/' : ch;
    for (char& ch : posixParent) ch = ch == '\\' ? '/' : ch;
    EXPECT_EQ(GetPreviousDir(posixPath, '/'), posixParent) << posixPath;
  }
}

TEST(PreviousDirTest, DefaultIsThePlatformSeparator) {
  const std::string sep(1, platform::kPathSeparator);
  EXPECT_EQ(GetPreviousDir("x" + sep + "Quendra" + sep + "Daten" + sep), "x" + sep + "Quendra" + sep);
}

}  // namespace
}  // namespace qnd
