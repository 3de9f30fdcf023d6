#include "core/version_probe.h"

#include <gtest/gtest.h>

#include <stdexcept>

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
      {"v8.exe", "8.2.0.15"},       // file version 1.2.3.4, language 0x0407
      {"v10.exe", "10.0.65535.7"},  // words above 32767 stay unsigned
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

// v8.exe as a PE32+ file. The build has only the 32-bit mingw toolchain, so the optional header is
// rewritten in the PE32+ layout: ImageBase and the four stack and heap sizes widen to 8 bytes and
// BaseOfData goes, which makes it 16 bytes longer and moves the data directories from 96 to 112.
// Section headers and section data keep their file offsets; the 16 bytes come out of the zero
// padding before the first section.
std::string AsPe32Plus(const std::string& pe32) {
  const std::size_t peHeader = test::GetU32(pe32, 0x3C);
  const std::size_t in = peHeader + 24;
  const std::size_t inSize = test::GetU16(pe32, peHeader + 20);
  const std::size_t sectionTable = in + inSize + 40 * test::GetU16(pe32, peHeader + 6);
  if (pe32.find_first_not_of('\0', sectionTable) < sectionTable + 16) {
    throw std::runtime_error("no room for the longer optional header");
  }

  std::string plus(inSize + 16, '\0');
  plus.replace(0, 24, pe32, in, 24);  // up to BaseOfCode
  test::PutU16(plus, 0, 0x20B);
  test::PutU32(plus, 24, test::GetU32(pe32, in + 28));  // ImageBase, high half 0
  plus.replace(32, 40, pe32, in + 32, 40);              // SectionAlignment .. DllCharacteristics
  for (std::size_t i = 0; i < 4; ++i) {                 // stack and heap reserve and commit
    test::PutU32(plus, 72 + 8 * i, test::GetU32(pe32, in + 72 + 4 * i));
  }
  plus.replace(104, inSize - 88, pe32, in + 88, inSize - 88);  // LoaderFlags, directories

  std::string image = pe32;
  test::PutU16(image, peHeader + 4, 0x8664);  // AMD64
  test::PutU16(image, peHeader + 20, static_cast<std::uint16_t>(plus.size()));
  image.replace(in, inSize, plus);
  image.erase(sectionTable + 16, 16);
  return image;
}

TEST(VersionProbeTest, ReadsPe32PlusFiles) {
  const std::string pe32 = test::ReadFileBytes(test::VersionDataPath("v8.exe"));
  test::TempDir dir;
  dir.WriteFile("v8-pe32plus.exe", AsPe32Plus(pe32));
  EXPECT_EQ(GetFileVersionsString_2(dir / "v8-pe32plus.exe"), "8.2.0.15");
}

}  // namespace
}  // namespace qnd
