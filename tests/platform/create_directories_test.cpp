// FileSystem::CreateDirectories on the system's own file system, the same for both bodies: the
// whole chain of missing folders, trailing separators, folders that exist, and what stands in the
// way.
#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace qnd::platform {
namespace {

TEST(CreateDirectoriesTest, CreatesTheWholeChainOrFailsOnWhatStandsInTheWay) {
  const test::TempDir root;
  root.WriteFile("Datei", "kein Ordner");
  const std::string separator(1, kPathSeparator);
  const struct {
    const char* label;
    std::string path;
    bool created;
    const char* folder;  // relative to the root, "" for none
  } cases[] = {
      {"a chain of three", root / "Backup/2026/Dezember", true, "Backup/2026/Dezember"},
      {"trailing separators", root / "Formulare" + separator + separator, true, "Formulare"},
      {"a folder that exists", root.Path(), true, ""},
      {"a file in the way", root / "Datei/Unterordner", false, ""},
      {"a file of that name", root / "Datei", false, ""},
      {"no path", "", false, ""},
  };
  FileSystem& fileSystem = SystemFileSystem();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(!fileSystem.CreateDirectories(c.path), c.created);
    if (*c.folder) {
      EXPECT_TRUE(fileSystem.DirectoryExists(root / c.folder));
    }
  }
  // Asked again, every folder of the chain is there already.
  EXPECT_FALSE(fileSystem.CreateDirectories(root / "Backup/2026/Dezember"));
  EXPECT_EQ(root.ReadFile("Datei"), "kein Ordner");
}

}  // namespace
}  // namespace qnd::platform
