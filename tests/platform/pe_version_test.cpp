#include "platform/posix/pe_version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>

#include "tests/support/temp_dir.h"
#include "tests/support/version_data.h"

namespace qnd::platform::posix {
namespace {

using test::GetU16;
using test::GetU32;
using test::PutU16;
using test::PutU32;

constexpr ProductVersion kV8{8, 2, 0, 15};

std::string ReadBuilt(const std::string& name) {
  return test::ReadFileBytes(test::VersionDataPath(name));
}

// Parses a copy in an allocation of exactly its size, so that ASan sees any read past the end.
std::optional<ProductVersion> ParseExact(std::string_view bytes) {
  const std::unique_ptr<char[]> copy(new char[bytes.size()]);
  std::copy(bytes.begin(), bytes.end(), copy.get());
  return ParseProductVersion(std::string_view(copy.get(), bytes.size()));
}

// Where the parts of a built file lie, found from its section named ".rsrc" and the UTF-16 key of
// its version block. In these files every resource directory level has exactly one entry.
struct Layout {
  std::size_t peHeader;
  std::size_t optionalHeader;
  std::size_t resourceSlot;  // data directory 2 (PE32)
  std::size_t rsrcSection;   // its section header
  std::size_t root;          // the resource directory
  std::size_t typeDirectory;
  std::size_t nameDirectory;
  std::size_t dataEntry;
  std::size_t block;  // VS_VERSIONINFO
  std::size_t blockEnd;

  static Layout Of(const std::string& bytes) {
    Layout l{};
    l.peHeader = GetU32(bytes, 0x3C);
    l.optionalHeader = l.peHeader + 24;
    l.resourceSlot = l.optionalHeader + 96 + 2 * 8;
    const std::size_t sections = l.optionalHeader + GetU16(bytes, l.peHeader + 20);
    for (std::size_t i = 0; i < GetU16(bytes, l.peHeader + 6); ++i) {
      if (bytes.compare(sections + 40 * i, 6, ".rsrc\0", 6) == 0) l.rsrcSection = sections + 40 * i;
    }
    if (l.rsrcSection == 0) throw std::runtime_error("no .rsrc section");
    const std::uint32_t rva = GetU32(bytes, l.rsrcSection + 12);
    l.root = GetU32(bytes, l.rsrcSection + 20);
    l.typeDirectory = l.root + (GetU32(bytes, l.root + 20) & 0x7FFFFFFF);
    l.nameDirectory = l.root + (GetU32(bytes, l.typeDirectory + 20) & 0x7FFFFFFF);
    l.dataEntry = l.root + GetU32(bytes, l.nameDirectory + 20);

    const std::u16string key = u"VS_VERSION_INFO";
    l.block =
        bytes.find(std::string(reinterpret_cast<const char*>(key.data()), 2 * key.size())) - 6;
    if (GetU32(bytes, l.dataEntry) != l.block - l.root + rva) {
      throw std::runtime_error("the data entry does not point to the version block");
    }
    l.blockEnd = l.block + GetU32(bytes, l.dataEntry + 4);
    return l;
  }
};

class PeVersionTest : public ::testing::Test {
 protected:
  const std::string v8_ = ReadBuilt("v8.exe");
  const Layout at_ = Layout::Of(v8_);
};

TEST_F(PeVersionTest, ReadsTheProductVersionOfAnIntactFile) {
  EXPECT_EQ(ParseExact(v8_), kV8);
  EXPECT_EQ(ParseExact(ReadBuilt("v10.exe")), (ProductVersion{10, 0, 65535, 7}));
}

TEST_F(PeVersionTest, EveryTruncationBeforeTheBlockEndsGivesNothing) {
  ASSERT_EQ(at_.blockEnd, at_.block + GetU16(v8_, at_.block));  // resource size is wLength
  for (std::size_t length = 0; length <= v8_.size(); ++length) {
    SCOPED_TRACE(length);
    const auto version = ParseExact(std::string_view(v8_).substr(0, length));
    if (length < at_.blockEnd) {
      EXPECT_FALSE(version.has_value());
    } else {
      EXPECT_EQ(version, kV8);
    }
  }
}

TEST_F(PeVersionTest, DamagedStructuresGiveNothing) {
  const std::uint32_t size = static_cast<std::uint32_t>(v8_.size());
  const struct {
    const char* what;
    std::function<void(std::string&, const Layout&)> damage;
    std::optional<ProductVersion> expected;
  } cases[] = {
      {"no MZ", [](auto& b, auto&) { b[1] = 'X'; }, std::nullopt},
      {"e_lfanew at the end", [&](auto& b, auto&) { PutU32(b, 0x3C, size); }, std::nullopt},
      {"e_lfanew 2 bytes before the end", [&](auto& b, auto&) { PutU32(b, 0x3C, size - 2); },
       std::nullopt},
      {"e_lfanew far beyond", [](auto& b, auto&) { PutU32(b, 0x3C, 0xFFFFFFFF); }, std::nullopt},
      {"no PE signature", [](auto& b, auto& l) { b[l.peHeader + 1] = 'X'; }, std::nullopt},
      {"unknown optional header magic",
       [](auto& b, auto& l) { PutU16(b, l.optionalHeader, 0x10C); }, std::nullopt},
      {"only two data directories", [](auto& b, auto& l) { PutU32(b, l.optionalHeader + 92, 2); },
       std::nullopt},
      {"no sections", [](auto& b, auto& l) { PutU16(b, l.peHeader + 6, 0); }, std::nullopt},
      {"65535 sections, the resource section among the real ones",
       [](auto& b, auto& l) { PutU16(b, l.peHeader + 6, 0xFFFF); }, kV8},
      {"65535 sections, the resource RVA in none",
       [](auto& b, auto& l) {
         PutU16(b, l.peHeader + 6, 0xFFFF);
         PutU32(b, l.resourceSlot, 0x7FFF0000);
       },
       std::nullopt},
      {"no resource directory", [](auto& b, auto& l) { PutU32(b, l.resourceSlot, 0); },
       std::nullopt},
      {"resource RVA outside every section",
       [](auto& b, auto& l) { PutU32(b, l.resourceSlot, 0x7FFF0000); }, std::nullopt},
      {"section data beyond the file",
       [](auto& b, auto& l) { PutU32(b, l.rsrcSection + 20, 0xFFFFF000); }, std::nullopt},
      {"65535 named entries before the IDs",
       [](auto& b, auto& l) { PutU16(b, l.root + 12, 0xFFFF); }, std::nullopt},
      {"65535 ID entries, the version type first",
       [](auto& b, auto& l) { PutU16(b, l.root + 14, 0xFFFF); }, kV8},
      {"65535 ID entries, none of them the version type",
       [](auto& b, auto& l) {
         PutU16(b, l.root + 14, 0xFFFF);
         PutU32(b, l.root + 16, 17);
       },
       std::nullopt},
      {"type entry leads back to the root",
       [](auto& b, auto& l) { PutU32(b, l.root + 20, 0x80000000); }, std::nullopt},
      {"name entry leads to its own directory",
       [](auto& b, auto& l) {
         PutU32(b, l.typeDirectory + 20, 0x80000000 | (l.typeDirectory - l.root));
       },
       std::nullopt},
      {"language entry leads back to the root",
       [](auto& b, auto& l) { PutU32(b, l.nameDirectory + 20, 0x80000000); }, std::nullopt},
      {"type entry is data, not a directory",
       [](auto& b, auto& l) { PutU32(b, l.root + 20, GetU32(b, l.root + 20) & 0x7FFFFFFF); },
       std::nullopt},
      {"sub-directory offset beyond the file",
       [](auto& b, auto& l) { PutU32(b, l.root + 20, 0xFFFFFFFF); }, std::nullopt},
      {"OffsetToData beyond the file", [](auto& b, auto& l) { PutU32(b, l.dataEntry, 0xFFFFFFF0); },
       std::nullopt},
      {"data size beyond the file",
       [](auto& b, auto& l) { PutU32(b, l.dataEntry + 4, 0x7FFFFFFF); }, std::nullopt},
      {"wValueLength 0", [](auto& b, auto& l) { PutU16(b, l.block + 2, 0); }, std::nullopt},
      {"wValueLength 51", [](auto& b, auto& l) { PutU16(b, l.block + 2, 51); }, std::nullopt},
      {"wLength 91, one byte short of the fixed part",
       [](auto& b, auto& l) { PutU16(b, l.block, 91); }, std::nullopt},
      {"wLength 92, just the fixed part", [](auto& b, auto& l) { PutU16(b, l.block, 92); }, kV8},
      {"key without its zero",
       [](auto& b, auto& l) {
         for (std::size_t i = l.block + 6; i < l.blockEnd; ++i) b[i] = 'X';
       },
       std::nullopt},
      {"wrong signature", [](auto& b, auto& l) { PutU32(b, l.block + 40, 0xFEEF04BE); },
       std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = v8_;
    c.damage(bytes, at_);
    EXPECT_EQ(ParseExact(bytes), c.expected);
  }
}

// No assertion on the results: every byte of the headers and the resource section set to 0x00,
// 0x7F, 0x80 and 0xFF in turn must leave the parser inside the buffer, which ASan and UBSan check.
TEST_F(PeVersionTest, SingleByteDamageAnywhereStaysInsideTheFile) {
  for (std::size_t i = 0; i < v8_.size(); ++i) {
    for (const char value : {'\x00', '\x7F', '\x80', '\xFF'}) {
      std::string bytes = v8_;
      bytes[i] = value;
      ParseExact(bytes);
    }
  }
}

// two_languages.exe holds the version resource in 0x0407 (8.0.0.2) and 0x0409 (7.0.0.1), in that
// order. Renaming the two languages shows the order of preference: neutral, 0x0407, 0x0409, then
// the first entry.
TEST(PeVersionLanguageTest, PrefersNeutralThenGermanThenEnglishThenTheFirst) {
  const std::string original = ReadBuilt("two_languages.exe");
  std::size_t german = 0;
  for (std::size_t i = 0; i + 12 <= original.size(); i += 4) {
    if (GetU32(original, i) == 0x0407 && GetU32(original, i + 8) == 0x0409) german = i;
  }
  ASSERT_NE(german, 0u) << "language entries not found";
  const ProductVersion first{8, 0, 0, 2};
  const ProductVersion second{7, 0, 0, 1};

  const struct {
    std::uint32_t firstLanguage, secondLanguage;
    ProductVersion expected;
  } cases[] = {
      {0x0407, 0x0409, first},   // as built
      {0x0409, 0x0407, second},  // German wins although listed second
      {0x0409, 0x0000, second},  // neutral wins over every language
      {0x040C, 0x0409, second},  // English wins over French
      {0x040C, 0x0410, first},   // neither: the first entry
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.firstLanguage << " " << c.secondLanguage);
    std::string bytes = original;
    PutU32(bytes, german, c.firstLanguage);
    PutU32(bytes, german + 8, c.secondLanguage);
    EXPECT_EQ(ParseExact(bytes), c.expected);
  }
}

}  // namespace
}  // namespace qnd::platform::posix
