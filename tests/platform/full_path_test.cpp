#include <gtest/gtest.h>

#include "platform/paths.h"
#include "platform/process.h"
#include "tests/support/scoped_variable.h"
#include "tests/support/temp_dir.h"

namespace qnd::platform {
namespace {

struct FullPathCase {
  const char* path;
  const char* full;
};

// Started in C:\qnd\Programme.
constexpr FullPathCase kWindowsCases[] = {
    {"Quendra", "C:\\qnd\\Programme\\Quendra"},
    {"C:Quendra", "C:\\qnd\\Programme\\Quendra"},  // the current folder of the current drive
    {"D:Quendra", "D:\\Quendra"},                  // another drive's: its root
    {"C:/qnd/Programme/Quendra", "C:\\qnd\\Programme\\Quendra"},
    {"C:\\qnd\\\\Programme\\Quendra\\\\", "C:\\qnd\\Programme\\Quendra\\"},
    {"\\Programme\\Quendra", "C:\\Programme\\Quendra"},
    {".", "C:\\qnd\\Programme"},
    {"Quendra\\..", "C:\\qnd\\Programme"},
    {"..\\..\\..", "C:\\"},
    {"D:", "D:\\"},
    {"Quendra.", "C:\\qnd\\Programme\\Quendra"},
    {"Quendra . .", "C:\\qnd\\Programme\\Quendra"},
    {"Neu.\\Quendra", "C:\\qnd\\Programme\\Neu\\Quendra"},
    {"\\\\srv\\share\\Q\\..\\R", "\\\\srv\\share\\R"},
    {"\\\\srv\\share\\..\\..", "\\\\srv\\share\\"},
    {"//srv/share/Q", "\\\\srv\\share\\Q"},
};

// Started in /home/q.
constexpr FullPathCase kPosixCases[] = {
    {"Quendra", "/home/q/Quendra"},
    {"./a//b/", "/home/q/a/b/"},
    {"/a/../../b", "/b"},
    {".", "/home/q"},
    {"..", "/home"},
    {"Quendra.", "/home/q/Quendra."},
    {"a\\b", "/home/q/a\\b"},
};

TEST(FullPathTest, WindowsRulesByReading) {
  for (const FullPathCase& c : kWindowsCases)
    EXPECT_EQ(LexicalFullPath(c.path, "C:\\qnd\\Programme", '\\', 2), c.full) << c.path;
  // The current folder on a share.
  EXPECT_EQ(LexicalFullPath("\\Quendra", "\\\\srv\\share\\Programme", '\\', 2),
            "\\\\srv\\share\\Quendra");
}

TEST(FullPathTest, PosixRulesByReading) {
  for (const FullPathCase& c : kPosixCases)
    EXPECT_EQ(LexicalFullPath(c.path, "/home/q", '/', 0), c.full) << c.path;
}

// The system's own answer (GetFullPathNameW under Wine) agrees with the reading, relative to this
// platform's current folder; the other drive's rule needs that drive's current folder, which only
// the system knows.
TEST(FullPathTest, SystemAgreesWithTheReading) {
  test::TempDir dir;
  const test::ScopedCurrentDirectory inDir(dir.Path());
  const std::string current = CurrentDirectory();
  const bool windows = kDrivePrefixLength > 0;
  auto convert = [&](std::string text) {
    // The Windows rows name the current folder and its drive; here they name this one.
    if (!windows) return text;
    const std::string from = "C:\\qnd\\Programme";
    if (text.starts_with(from)) text.replace(0, from.size(), current);
    if (text.starts_with("C:")) text.replace(0, 2, current.substr(0, 2));
    return text;
  };
  const auto check = [&](const FullPathCase& c) {
    const std::string path = convert(c.path);
    if (windows && path.size() >= 2 && path[1] == ':' && path[0] != current[0]) return;
    EXPECT_EQ(FullPathName(path), LexicalFullPath(path, current)) << path;
  };
  if (windows) {
    for (const FullPathCase& c : kWindowsCases) check(c);
  } else {
    for (const FullPathCase& c : kPosixCases) check(c);
  }
}

}  // namespace
}  // namespace qnd::platform
