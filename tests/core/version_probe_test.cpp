#include "core/version_probe.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"
#include "tests/support/version_data.h"

namespace qnd {
namespace {

TEST(VersionProbeTest, ReportsTheProductVersionOfBuiltPrograms) {
  const struct {
    const char* file;
    const char* expected;
  } cases[] = {
      {"v8.exe", "8.2.0.15"},           // file version 1.2.3.4, language 0x0407
      {"v8_pe32.exe", "8.2.0.15"},      // the same, linked by the 32-bit tools
      {"v8_pe32plus.exe", "8.2.0.15"},  // and by the 64-bit tools: a PE32+ optional header
      {"v10.exe", "10.0.65535.7"},      // words above 32767 stay unsigned
      {"no_resources.exe", "0.0.0.0"},
      {"no_version.exe", "0.0.0.0"},  // a string table and RCDATA, no RT_VERSION
      {"other_name.exe", "0.0.0.0"},  // version resources named 2 and "VS_VERSION_INFO"
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = test::VersionDataPath(c.file);
    ASSERT_TRUE(platform::SystemFileSystem().FileExists(path)) << path;
    EXPECT_EQ(GetFileVersionsString_2(path), c.expected);
  }
}

TEST(VersionProbeTest, FilesThatAreNoProgramGiveZeros) {
  test::TempDir dir;
  dir.WriteFile("readme.txt", "Quendra 8.2.0.15\r\n");
  dir.WriteFile("short.exe", "MZ");  // too short for the PE header's offset
  dir.WriteFile("empty.exe", "");
  dir.MakeDir("Quendra.EXE");
  for (const char* name : {"missing.exe", "readme.txt", "short.exe", "empty.exe", "Quendra.EXE"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(GetFileVersionsString_2(dir / name), "0.0.0.0");
  }
}

}  // namespace
}  // namespace qnd
