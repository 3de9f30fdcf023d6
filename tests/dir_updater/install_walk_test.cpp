// The walk's pure rules: which listing entries it skips, and how entry names come from folders.
#include "dir_updater/install_walk.h"

#include <gtest/gtest.h>

namespace qnd::dir {
namespace {

TEST(InstallWalkTest, ListingMasksSkipWhatTheyDoNotContain) {
  const struct {
    std::uint32_t attributes;
    bool skippedAsFolder;  // mask 0x10
    bool skippedAsFile;    // mask 0x1EF
  } cases[] = {
      {0x10, false, true},                        // folder, "." and ".."
      {0x12, true, true},                         // hidden folder
      {0x14, true, true},                         // system folder
      {0x11, false, true},                        // read-only folder
      {0x20, false, false}, {0x22, true, false},  // hidden file
      {0x24, true, false},                        // system file
      {0x21, false, false},                       // read-only file
      {0x00, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsExcluded(c.attributes, kFolderMask), c.skippedAsFolder) << c.attributes;
    EXPECT_EQ(IsExcluded(c.attributes, kFileMask), c.skippedAsFile) << c.attributes;
  }
}

TEST(InstallWalkTest, EntryNamesStartWithTheInstallationFolder) {
  const struct {
    char separator;
    const char* start;   // the walk's start, with its separator
    const char* folder;  // a folder below it, with its separator
    const char* base;
    const char* prefix;
  } cases[] = {
      {'\\', "D:\\Programme\\Quendra\\", "D:\\Programme\\Quendra\\Daten\\", "D:\\Programme\\",
       "Quendra\\Daten\\"},
      {'/', "/opt/Programme/Quendra/", "/opt/Programme/Quendra/Daten/", "/opt/Programme/",
       "Quendra/Daten/"},
      {'\\', "D:\\Quendra\\", "D:\\Quendra\\", "D:\\", "Quendra\\"},
      {'/', "/Quendra/", "/Quendra/", "/", "Quendra/"},
      // Only the first occurrence goes: a folder named like the path stays in the name.
      {'/', "/q/Q/", "/q/Q/q/", "/q/", "Q/q/"},
      // No parent at all: the whole folder is the prefix.
      {'\\', "Quendra\\", "Quendra\\Daten\\", "", "Quendra\\Daten\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    const std::string base = ParentFolderOf(c.start, c.separator);
    EXPECT_EQ(base, c.base);
    EXPECT_EQ(EntryPrefix(c.folder, base), c.prefix);
  }
}

}  // namespace
}  // namespace qnd::dir
