// The shell's folder copy, against the body of this build: which paths it refuses for their length
// in UTF-16 code units (kShellPathMax), and that it counts units, not UTF-8 bytes. The copy is
// asked for as the backups ask for it: the folder's "*.*", the files directly inside.
#include "platform/shell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/paths.h"
#include "platform/text.h"
#include "tests/support/install_tree.h"
#include "tests/support/temp_dir.h"

namespace qnd {
namespace {

namespace fs = std::filesystem;
using test::FsPath;
using test::NamesIn;

const std::string kSep(1, platform::kPathSeparator);

class ShellTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
};

// A path below the temporary folder of exactly `units` UTF-16 code units, most of them "ä" (two
// bytes in UTF-8), in folders of at most 100 characters.
std::string PathOfUnits(const test::TempDir& dir, std::size_t units) {
  std::string path = dir.Path();
  std::size_t count = platform::Utf8ToUtf16(path).size();
  for (std::size_t run = 100; count < units; ++count) {
    if (run == 100) {
      path += kSep;
      run = 0;
    } else {
      path += "ä";
      ++run;
    }
  }
  return path;
}

std::size_t Units(const std::string& text) { return platform::Utf8ToUtf16(text).size(); }

// The files directly inside `source` (ending with a separator) copied into `target`, as a backup
// asks the system's shell; the shell's result.
int CopyFilesInside(const std::string& source, const std::string& target) {
  return platform::SystemShell().CopyFiles(
      source + "*.*", target,
      platform::kShellNoConfirmation | platform::kShellFilesOnly | platform::kShellNoRecursion);
}

TEST_F(ShellTest, CopyRefusesPathsTheShellCannotTake) {
  dir_.WriteFile("Quelle/a.txt", "a");
  const std::string source = dir_ / "Quelle" + kSep;
  // The pattern adds "*.*" to the folder: 255 units pass the length check and find no folder.
  const std::string folder255 = PathOfUnits(dir_, 251) + kSep;
  const std::string folder256 = PathOfUnits(dir_, 252) + kSep;
  const std::string target256 = PathOfUnits(dir_, 256);
  ASSERT_EQ(Units(folder255 + "*.*"), 255u);
  ASSERT_EQ(Units(folder256 + "*.*"), 256u);
  ASSERT_EQ(Units(target256), 256u);
  const struct {
    const char* label;
    std::string source;
    std::string target;
    int result;
  } cases[] = {
      {"target of 256", source, target256, platform::kShellPathTooLong},
      {"pattern of 255", folder255, dir_ / "Ziel", platform::kShellPathNotFound},
      {"pattern of 256", folder256, dir_ / "Ziel", platform::kShellPathTooLong},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(CopyFilesInside(c.source, c.target), c.result);
    EXPECT_EQ(NamesIn(dir_.Path()), std::set<std::string>{"Quelle"});
  }
}

TEST_F(ShellTest, CopyCountsUtf16UnitsNotBytes) {
  dir_.WriteFile("Quelle/a.txt", "a");
  const std::string target = PathOfUnits(dir_, 200);
  ASSERT_GT(target.size(), 255u);

  EXPECT_EQ(CopyFilesInside(dir_ / "Quelle" + kSep, target), 0);
  EXPECT_EQ(test::ReadFileBytes(target + kSep + "a.txt"), "a");
}

}  // namespace
}  // namespace qnd
