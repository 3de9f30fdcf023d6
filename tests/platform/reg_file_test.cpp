// The POSIX registry's export-file parser, and how SystemRegistry() finds and reads that file.
#include "platform/posix/reg_file.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/registry.h"
#include "platform/text.h"
#include "tests/support/scoped_variable.h"
#include "tests/support/temp_dir.h"

namespace qnd::platform::posix {
namespace {

using namespace std::string_view_literals;

constexpr char kHeader[] = "Windows Registry Editor Version 5.00\r\n";

// Text as the registry stores it: UTF-16LE with the terminating zero.
std::string Stored(std::string_view utf8) {
  std::string bytes;
  for (const char16_t u : Utf8ToUtf16(utf8)) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  }
  return bytes + std::string(2, '\0');
}

// What regedit writes: UTF-16LE with a BOM.
std::string Utf16File(std::string_view utf8) {
  std::string bytes = "\xFF\xFE" + Stored(utf8);
  bytes.resize(bytes.size() - 2);
  return bytes;
}

// A stored text value (UTF-16LE) in UTF-8, zeros included.
std::string Text(const RegValue& value) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < value.data.size(); i += 2) {
    units += static_cast<char16_t>(static_cast<unsigned char>(value.data[i]) |
                                   static_cast<unsigned char>(value.data[i + 1]) << 8);
  }
  return Utf16ToUtf8(units);
}

RegImage Parse(std::string_view bytes) {
  std::optional<RegImage> image = ParseRegFile(bytes);
  EXPECT_TRUE(image.has_value());
  return image ? std::move(*image) : RegImage();
}

const RegValue* Value(const RegImage& image, std::string_view key, std::string_view name) {
  const RegKey* found = image.FindKey(key);
  return found == nullptr ? nullptr : found->FindValue(name);
}

TEST(RegFileTest, ReadsEveryEncodingRegeditUses) {
  const std::string body =
      "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quendra]\r\n\"Schüler\"=\"Müller, Äöß €\"\r\n";
  const struct {
    const char* label;
    std::string bytes;
  } cases[] = {
      {"UTF-16LE with BOM", Utf16File(kHeader + body)},
      {"UTF-8", kHeader + body},
      {"UTF-8 with BOM, LF only",
       "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n\n[HKLM\\SOFTWARE\\Quendra]\n"
       "\"Schüler\"=\"Müller, Äöß €\"\n"},
      {"REGEDIT4 in Windows-1252",
       "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quendra]\r\n"
       "\"Sch\xFCler\"=\"M\xFCller, \xC4\xF6\xDF \x80\"\r\n"},
  };
  for (const auto& c : cases) {
    const RegImage image = Parse(c.bytes);
    const RegValue* value = Value(image, "SOFTWARE\\Quendra", "SCHÜLER");
    ASSERT_NE(value, nullptr) << c.label;
    EXPECT_EQ(value->type, kRegSz) << c.label;
    EXPECT_EQ(Text(*value), std::string("Müller, Äöß €") + '\0') << c.label;
  }
}

TEST(RegFileTest, RejectsFilesWithoutAHeader) {
  for (const std::string_view bytes :
       {""sv, "\r\n"sv, "REGEDIT5\r\n"sv, "Windows Registry Editor Version 4.00\r\n"sv,
        "\r\nREGEDIT4\r\n"sv, "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n"sv, "\xFF\xFE"sv,
        "\xFF\xFER\0E\0"sv}) {
    EXPECT_FALSE(ParseRegFile(bytes).has_value()) << bytes;
  }
}

TEST(RegFileTest, ValueKinds) {
  const RegImage image =
      Parse(std::string(kHeader) +
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quendra]\r\n"
            "@=\"default\"\r\n"
            "\"Esc \\\"q\\\"\"=\"C:\\\\Programme\\\\Q\\\\ say \\\"hi\\\" \\n\"\r\n"
            "\"Count\"=dword:0000010a\r\n"
            "\"Small\"=DWORD:a\r\n"
            "\"Blob\"=hex:01,ff, 0A ,00\r\n"
            "\"Big\"=hex(b):08,07,06,05,04,03,02,01\r\n"
            "\"None\"=hex(0):\r\n"
            "\"Odd\"=hex(100):7f,\r\n"
            "  \"Indented\" = \"x\"\r\n");
  const struct {
    const char* name;
    std::uint32_t type;
    std::string data;
  } cases[] = {
      {"", kRegSz, Stored("default")},
      // Only \\ and \" are escapes; any other backslash stands for itself.
      {"Esc \"q\"", kRegSz, Stored("C:\\Programme\\Q\\ say \"hi\" \\n")},
      {"Count", kRegDword, std::string("\x0a\x01\0\0", 4)},
      {"Small", kRegDword, std::string("\x0a\0\0\0", 4)},
      {"Blob", kRegBinary, std::string("\x01\xff\x0a\x00", 4)},
      {"Big", kRegQword, "\x08\x07\x06\x05\x04\x03\x02\x01"},
      {"None", kRegNone, ""},
      {"Odd", 0x100, "\x7f"},
      {"Indented", kRegSz, Stored("x")},
  };
  for (const auto& c : cases) {
    const RegValue* value = Value(image, "SOFTWARE\\Quendra", c.name);
    ASSERT_NE(value, nullptr) << c.name;
    EXPECT_EQ(value->type, c.type) << c.name;
    EXPECT_EQ(value->data, c.data) << c.name;
  }
}

TEST(RegFileTest, ExpandableAndMultiStringsInBothVersions) {
  // "%PF%\ü" with its zero: UTF-16LE in a version-5 file, ANSI bytes in REGEDIT4.
  const std::string expected = std::string("%PF%\\ü") + '\0';
  const RegImage v5 = Parse(std::string(kHeader) +
                            "[HKLM\\SOFTWARE\\Q]\r\n"
                            "\"Dir\"=hex(2):25,00,50,00,46,00,25,00,5c,00,fc,00,00,00\r\n"
                            "\"List\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n");
  const RegImage v4 = Parse(
      "REGEDIT4\r\n"
      "[HKLM\\SOFTWARE\\Q]\r\n"
      "\"Dir\"=hex(2):25,50,46,25,5c,fc,00\r\n"
      "\"List\"=hex(7):61,00,62,00,00\r\n"
      "\"Bin\"=hex:fc,00\r\n");
  for (const RegImage* image : {&v5, &v4}) {
    const RegValue* dir = Value(*image, "SOFTWARE\\Q", "Dir");
    ASSERT_NE(dir, nullptr);
    EXPECT_EQ(dir->type, kRegExpandSz);
    EXPECT_EQ(Text(*dir), expected);
    const RegValue* list = Value(*image, "SOFTWARE\\Q", "List");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->type, kRegMultiSz);
    EXPECT_EQ(Text(*list), std::string("a\0b\0\0", 5));
  }
  // Binary data is never converted.
  EXPECT_EQ(Value(v4, "SOFTWARE\\Q", "Bin")->data, std::string("\xfc\0", 2));
}

TEST(RegFileTest, HexListsContinueAfterATrailingBackslash) {
  const RegImage image =
      Parse(Utf16File(std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Q]\r\n"
                                             "\"Dir\"=hex(2):25,00,50,00,\\\r\n"
                                             "  46,00,25,00,\\\r\n"
                                             "\t5c,00,00,00\r\n"
                                             "\"After\"=hex:01,\\\r\n"
                                             "  02\\\r\n"));  // a backslash on the last line
  ASSERT_NE(Value(image, "SOFTWARE\\Q", "Dir"), nullptr);
  EXPECT_EQ(Text(*Value(image, "SOFTWARE\\Q", "Dir")), std::string("%PF%\\\0", 6));
  ASSERT_NE(Value(image, "SOFTWARE\\Q", "After"), nullptr);
  EXPECT_EQ(Value(image, "SOFTWARE\\Q", "After")->data, "\x01\x02");
}

TEST(RegFileTest, KeysParentsAndRoots) {
  const RegImage image = Parse(std::string(kHeader) +
                               "; exported for the test\r\n"
                               "[HKEY_CURRENT_USER\\Software\\Elsewhere]\r\n"
                               "\"Lost\"=\"x\"\r\n"
                               "[hkey_local_machine\\SOFTWARE\\Quendra\\Setup\\Paths]\r\n"
                               ";\"Commented\"=\"x\"\r\n"
                               "[HKEY_USERS\\.DEFAULT]\r\n"
                               "\"Lost\"=\"x\"\r\n"
                               "[HKEY_LOCAL_MACHINE]\r\n"
                               "\"AtRoot\"=\"x\"\r\n");
  for (const char* path : {"", "SOFTWARE", "software\\quendra", "SOFTWARE\\Quendra\\Setup",
                           "SOFTWARE\\QUENDRA\\SETUP\\PATHS"}) {
    EXPECT_NE(image.FindKey(path), nullptr) << path;
  }
  EXPECT_EQ(image.Keys().size(), 5u);  // nothing of the other roots
  EXPECT_EQ(image.FindKey("Software\\Elsewhere"), nullptr);
  EXPECT_EQ(image.FindKey("SOFTWARE\\Quendra\\Setup\\Paths")->values.size(), 0u);
  EXPECT_NE(Value(image, "", "AtRoot"), nullptr);
}

TEST(RegFileTest, LaterBlocksMergeAndDeletionsAreSkipped) {
  const RegImage image = Parse(std::string(kHeader) +
                               "[HKLM\\SOFTWARE\\Quendra]\r\n"
                               "\"Version\"=\"1\"\r\n"
                               "\"Kept\"=\"x\"\r\n"
                               "[HKLM\\SOFTWARE\\Quendra\\Old\\Deep]\r\n"
                               "[HKLM\\SOFTWARE\\Other]\r\n"
                               "[HKEY_LOCAL_MACHINE\\software\\QUENDRA]\r\n"
                               "\"VERSION\"=dword:00000002\r\n"
                               "\"kept\"=-\r\n"
                               "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\quendra\\old]\r\n"
                               "\"Lost\"=\"x\"\r\n"
                               "[-HKLM\\SOFTWARE\\Other]\r\n");
  const RegKey* quendra = image.FindKey("SOFTWARE\\Quendra");
  ASSERT_NE(quendra, nullptr);
  EXPECT_EQ(quendra->path, "SOFTWARE\\Quendra");  // the first spelling stays
  ASSERT_EQ(quendra->values.size(), 2u);
  EXPECT_EQ(quendra->FindValue("Version")->type, kRegDword);
  EXPECT_NE(quendra->FindValue("Kept"), nullptr);
  EXPECT_EQ(quendra->FindValue("Lost"), nullptr);  // below a deletion, so in no key
  for (const char* kept :
       {"SOFTWARE\\Quendra\\Old", "SOFTWARE\\Quendra\\Old\\Deep", "SOFTWARE\\Other", "SOFTWARE"}) {
    EXPECT_NE(image.FindKey(kept), nullptr) << kept;
  }
}

TEST(RegFileTest, MalformedValueLinesAreSkippedAlone) {
  const char* const kLines[] = {"\"Name",
                                "\"Name\"",
                                "\"Name\"=",
                                "\"Name\"=\"unterminated",
                                "\"Name\"=dword:123456789",
                                "\"Name\"=dword:xyz",
                                "\"Name\"=dword:",
                                "\"Name\"=dword:-1",
                                "\"Name\"=hex:1,2g",
                                "\"Name\"=hex:123",
                                "\"Name\"=hex:01,,02",
                                "\"Name\"=hex(:00",
                                "\"Name\"=hex(2:00",
                                "\"Name\"=hex(zz):00",
                                "\"Name\"=hex(123456789):00",
                                "\"Name\"=hex,00",
                                "\"Name\"=hexa:00",
                                "\"Name\"=sz:x",
                                "\"Name\"\"x\"",
                                "@",
                                "@\"x\"",
                                "Name=\"x\"",
                                "\"Name\"=\xEF\xBF\xBD"};
  for (const std::string line : kLines) {
    const RegImage image =
        Parse(std::string(kHeader) + "[HKLM\\Q]\r\n" + line + "\r\n\"Good\"=\"yes\"\r\n");
    ASSERT_NE(image.FindKey("Q"), nullptr) << line;
    EXPECT_EQ(image.FindKey("Q")->FindValue("Name"), nullptr) << line;
    EXPECT_NE(image.FindKey("Q")->FindValue("Good"), nullptr) << line;
  }
}

// Every prefix of these files, and every file with one byte changed, must parse without reading
// outside the input (the sanitizer build checks that).
TEST(RegFileTest, TruncatedAndDamagedInputNeverCrashes) {
  const std::string text =
      std::string(kHeader) +
      "[HKLM\\SOFTWARE\\Q]\r\n\"A\"=\"x\\\\y\\\"\"\r\n@=dword:1\r\n"
      "\"B\"=hex(2):25,00,\\\r\n  00,00\r\n[-HKLM\\SOFTWARE\\Q]\r\n[HKLM\\Ä]\r\n"
      "\"C\"=hex(7):61,00,00,00\r\n\"C\"=-\r\n";
  for (const std::string& file : {text, Utf16File(text), std::string("REGEDIT4\n[HKLM\\\xE4]\n")}) {
    for (std::size_t length = 0; length <= file.size(); ++length) {
      const auto image = ParseRegFile(std::string_view(file).substr(0, length));
      if (image) {
        EXPECT_NE(image->FindKey(""), nullptr);
      }
    }
    for (std::size_t at = 0; at < file.size(); ++at) {
      for (const char replacement : {'\0', '\\', '"', '[', ']', '\n', ',', '\xFF', '\xD8'}) {
        std::string damaged = file;
        damaged[at] = replacement;
        ParseRegFile(damaged);
      }
    }
  }
}

std::unique_ptr<RegistryKey> OpenWith(const std::string& file, const std::string& subkey,
                                      std::uint32_t access, std::error_code& error) {
  test::ScopedVariable variable("QND_REGISTRY_FILE", file);
  std::unique_ptr<RegistryKey> key;
  error = SystemRegistry().OpenLocalMachineKey(subkey, access, key);
  return key;
}

TEST(PosixRegistryTest, ReadsARegeditExportThroughEitherView) {
  test::TempDir dir;
  dir.WriteFile("export.reg", Utf16File(std::string(kHeader) +
                                        "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quendra]\r\n"
                                        "\"Dir\"=hex(2):25,00,50,00,25,00,5c,00,c4,00,00,00\r\n"));
  // A native program has one view; the flag for the 64-bit one changes nothing.
  for (const std::uint32_t access : {kKeyRead, kKeyRead | kKeyWow64_64Key}) {
    std::error_code error;
    const auto key = OpenWith(dir / "export.reg", "Software\\QUENDRA", access, error);
    ASSERT_NE(key, nullptr) << error.message();
    std::string text;
    EXPECT_EQ(key->ReadString("dir", text), ValueRead::Ok);
    EXPECT_EQ(text, "%P%\\Ä");
  }
}

TEST(PosixRegistryTest, WithoutAUsableFileNoKeyOpens) {
  test::TempDir dir;
  dir.WriteFile("text.reg", "just some text\r\n[HKLM\\SOFTWARE]\r\n");
  dir.MakeDir("folder.reg");
  const struct {
    const char* label;
    std::optional<std::string> file;
    std::errc expected;
  } cases[] = {
      {"no variable", std::nullopt, std::errc::no_such_file_or_directory},
      {"empty variable", "", std::errc::no_such_file_or_directory},
      {"missing file", dir / "absent.reg", std::errc::no_such_file_or_directory},
      {"a folder", dir / "folder.reg", std::errc::is_a_directory},
      {"no export file", dir / "text.reg", std::errc::bad_message},
  };
  for (const auto& c : cases) {
    test::ScopedVariable variable("QND_REGISTRY_FILE", c.file);
    for (const char* subkey : {"", "SOFTWARE"}) {
      std::unique_ptr<RegistryKey> key;
      const std::error_code error = SystemRegistry().OpenLocalMachineKey(subkey, kKeyRead, key);
      EXPECT_EQ(key, nullptr) << c.label;
      EXPECT_EQ(error, c.expected) << c.label << ": " << error.message();
    }
  }
}

}  // namespace
}  // namespace qnd::platform::posix
