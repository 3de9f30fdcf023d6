// Ini files through SystemProfile(). The shared tests hold for the POSIX body and for Windows' own
// functions under Wine; byte-exact expectations on edited files are POSIX-only, because Wine
// rewrites the whole file where Windows edits it in place.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tests/support/install_tree.h"
#include "tests/support/temp_dir.h"

namespace qnd::platform {
namespace {

namespace fs = std::filesystem;
using test::FsPath;
using test::NamesIn;
using namespace std::string_literals;

constexpr const char* kFallback = "fallback";

std::string Utf16LeFile(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

void MakeReadOnly(const std::string& path) {
  fs::permissions(FsPath(path),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

struct ReadCase {
  const char* what;
  std::string content;
  const char* section;
  const char* key;
  std::string expected;
};

TEST(ProfileReadTest, ParsesLinesTheWayWindowsDoes) {
  const std::vector<ReadCase> cases = {
      // Names
      {"plain", "[S]\r\nK=v\r\n", "S", "K", "v"},
      {"names ignore case", "[Setup]\r\nTargetDir=x\r\n", "SETUP", "targetdir", "x"},
      {"umlauts in names", "[F\xE4\x63her]\r\n\xC4nderung=1\r\n", "Fächer", "Änderung", "1"},
      {"blanks around the call's names", "[S]\r\nK=v\r\n", " S ", "\tK ", "v"},
      {"key before any section", "K=0\r\n[S]\r\nA=1\r\n", "S", "K", kFallback},
      {"key of another section", "[S]\r\nA=1\r\n[T]\r\nK=2\r\n", "S", "K", kFallback},
      {"missing section", "[S]\r\nK=v\r\n", "T", "K", kFallback},
      // Headers
      {"header trimmed", "  [ Spaced ]  \r\nK=v\r\n", "Spaced", "K", "v"},
      {"text after the header", "[Other]  ; note\r\nK=v\r\n", "Other", "K", "v"},
      {"header runs to the last bracket", "[a]b]\r\nK=v\r\n", "a]b", "K", "v"},
      {"bracket line without closing bracket", "[S]\r\n[K=v\r\nK=w\r\n", "S", "[K", "v"},
      {"... stays in its section", "[S]\r\n[K=v\r\nK=w\r\n", "S", "K", "w"},
      // Key lines and values
      {"blanks and tabs trimmed", "\t[S]\t\r\n  K \t=  v  v \t\r\n", "S", "K", "v  v"},
      {"key ends at the first equals sign", "[S]\r\nK = x = y\r\n", "S", "K", "x = y"},
      {"empty value is not the fallback", "[S]\r\nK=\r\n", "S", "K", ""},
      {"blank value", "[S]\r\nK=   \r\n", "S", "K", ""},
      {"line without equals sign", "[S]\r\nK\r\n", "S", "K", kFallback},
      {"first of equal keys", "[S]\r\nK=1\r\nk=2\r\n", "S", "K", "1"},
      {"first of equal sections", "[S]\r\nA=1\r\n[s]\r\nK=2\r\n", "S", "K", kFallback},
      {"semicolon is part of the key", "[S]\r\n;K=v\r\n", "S", "K", kFallback},
      {"semicolon key found by its name", "[S]\r\n;K=v\r\n", "S", ";K", "v"},
      {"hash has no meaning", "[S]\r\n#K=v\r\n", "S", "#K", "v"},
      // Quotes
      {"double quotes keep inner blanks", "[S]\r\nK=\" a \"\r\n", "S", "K", " a "},
      {"single quotes", "[S]\r\nK='b'\r\n", "S", "K", "b"},
      {"only one pair", "[S]\r\nK=\"\"x\"\"\r\n", "S", "K", "\"x\""},
      {"empty quotes", "[S]\r\nK=\"\"\r\n", "S", "K", ""},
      {"mixed quotes kept", "[S]\r\nK=\"x'\r\n", "S", "K", "\"x'"},
      {"lone quote kept", "[S]\r\nK=\"x\r\n", "S", "K", "\"x"},
      {"single quote character kept", "[S]\r\nK=\"\r\n", "S", "K", "\""},
      // Line ends and encodings
      {"LF", "[S]\nA=1\nK=v\n", "S", "K", "v"},
      {"CR", "[S]\rA=1\rK=v\r", "S", "K", "v"},
      {"last line without line end", "[S]\r\nK=v", "S", "K", "v"},
      {"ANSI is Windows-1252", "[S]\r\nK=\xE4\x80\r\n", "S", "K", "ä€"},
      {"UTF-8 without BOM is read as ANSI", "[S]\r\nK=\xC3\xA4\r\n", "S", "K", "Ã¤"},
      {"UTF-16LE with BOM", Utf16LeFile(u"[Ü]\r\nK=Łódź 😀\r\n"), "Ü", "k", "Łódź 😀"},
  };
  const test::TempDir dir;
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir / "case.ini";
    test::WriteFileBytes(path, c.content);
    EXPECT_EQ(SystemProfile().ReadString(path, c.section, c.key, kFallback), c.expected);
  }
}

TEST(ProfileReadTest, MissingFileOrFolderGivesFallbackWithoutTrailingBlanks) {
  const test::TempDir dir;
  EXPECT_EQ(SystemProfile().ReadString(dir / "missing.ini", "S", "K", "dflt  "), "dflt");
  EXPECT_EQ(SystemProfile().ReadString(dir / "no/such.ini", "S", "K", " x"), " x");
  EXPECT_EQ(SystemProfile().ReadString(dir.Path(), "S", "K", "d"), "d");
}

TEST(ProfileReadTest, ResultIsCutTo2047Characters) {
  const test::TempDir dir;
  const std::string path = dir / "long.ini";
  for (const std::size_t length : {kProfileValueMax, kProfileValueMax + 1, std::size_t{3000}}) {
    SCOPED_TRACE(length);
    test::WriteFileBytes(path, "[S]\r\nK=" + std::string(length, 'x') + "\r\n");
    EXPECT_EQ(SystemProfile().ReadString(path, "S", "K", ""), std::string(kProfileValueMax, 'x'));
    EXPECT_EQ(SystemProfile().ReadString(path, "S", "missing", std::string(length, 'y')),
              std::string(kProfileValueMax, 'y'));
  }
}

TEST(ProfileWriteTest, NewFileIsAnsiWithCrlfInCallOrder) {
  const test::TempDir dir;
  const std::string path = dir / "QuendStart.ini";
  for (const auto& [key, value] :
       std::vector<std::pair<std::string, std::string>>{{"Erfolg", "0"},
                                                        {"Datum", "11.11.2019"},
                                                        {"Uhrzeit", "14:06:22"},
                                                        {"Vorversion", "8.2.0.15"}}) {
    ASSERT_FALSE(SystemProfile().WriteString(path, "Update", key, value));
  }
  EXPECT_EQ(
      dir.ReadFile("QuendStart.ini"),
      "[Update]\r\nErfolg=0\r\nDatum=11.11.2019\r\nUhrzeit=14:06:22\r\nVorversion=8.2.0.15\r\n");
}

struct EditCase {
  const char* what;
  std::string before;
  const char* section;
  const char* key;
  const char* value;
  std::string after;
};

// Files already in the layout Windows writes, so that in-place editing and rewriting agree.
TEST(ProfileWriteTest, PlacesKeysAndSectionsLikeWindows) {
  const std::vector<EditCase> cases = {
      {"replacement keeps the file's spelling of the key", "[Update]\r\nErfolg=1\r\nDatum=x\r\n",
       "update", "ERFOLG", "0", "[Update]\r\nErfolg=0\r\nDatum=x\r\n"},
      {"new key after the last key of its section", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n", "A", "z", "3",
       "[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=2\r\n"},
      {"new section at the end without a blank line", "[A]\r\nx=1\r\n", "B", "y", "2",
       "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
      {"the call's blanks are ignored", "[S]\r\nK=1\r\n", " S ", "\tK ", "2", "[S]\r\nK=2\r\n"},
      {"values in Windows-1252 with best fit", "", "S", "K", "Fächer € Łódź 中",
       "[S]\r\nK=F\xE4\x63her \x80 L\xF3"
       "dz ?\r\n"},
  };
  const test::TempDir dir;
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir / "edit.ini";
    test::WriteFileBytes(path, c.before);
    ASSERT_FALSE(SystemProfile().WriteString(path, c.section, c.key, c.value));
    EXPECT_EQ(dir.ReadFile("edit.ini"), c.after);
  }
}

TEST(ProfileWriteTest, UnicodeFileStaysUnicode) {
  const test::TempDir dir;
  const std::string path = dir / "unicode.ini";
  test::WriteFileBytes(path, Utf16LeFile(u"[S]\r\nA=1\r\n"));
  ASSERT_FALSE(SystemProfile().WriteString(path, "S", "K", "Łódź 😀"));
  EXPECT_EQ(dir.ReadFile("unicode.ini"), Utf16LeFile(u"[S]\r\nA=1\r\nK=Łódź 😀\r\n"));
  EXPECT_EQ(SystemProfile().ReadString(path, "S", "K", ""), "Łódź 😀");
}

TEST(ProfileWriteTest, ValuesReadBackAfterRepeatedWrites) {
  const test::TempDir dir;
  const std::string path = dir / "values.ini";
  test::WriteFileBytes(path, "; Quendra\r\n\r\n[Setup]\r\n  TargetDir = \"C:\\Quendra\"  \r\n\r\n");
  ASSERT_FALSE(SystemProfile().WriteString(path, "Setup", "Version", "8.2"));
  ASSERT_FALSE(SystemProfile().WriteString(path, "SETUP", "targetdir", "D:\\Q"));
  ASSERT_FALSE(SystemProfile().WriteString(path, "Update", "Erfolg", "1"));
  ASSERT_FALSE(SystemProfile().WriteString(path, "Setup", "Version", "8.3"));
  EXPECT_EQ(SystemProfile().ReadString(path, "Setup", "TargetDir", ""), "D:\\Q");
  EXPECT_EQ(SystemProfile().ReadString(path, "Setup", "Version", ""), "8.3");
  EXPECT_EQ(SystemProfile().ReadString(path, "Update", "Erfolg", ""), "1");
}

TEST(ProfileWriteTest, MissingFolderFailsAndCreatesNothing) {
  const test::TempDir dir;
  const std::error_code error = SystemProfile().WriteString(dir / "no/such.ini", "S", "K", "v");
  EXPECT_EQ(error, std::errc::no_such_file_or_directory);
  EXPECT_FALSE(dir.Exists("no"));
}

TEST(ProfileWriteTest, FolderInsteadOfFileFails) {
  const test::TempDir dir;
  dir.MakeDir("folder.ini");
  EXPECT_TRUE(SystemProfile().WriteString(dir / "folder.ini", "S", "K", "v"));
}

TEST(ProfileWriteTest, ReadOnlyFileFailsAndStaysUnchanged) {
  const test::TempDir dir;
  const std::string path = dir / "locked.ini";
  const std::string before = "[S]\r\nK=old\r\n";
  test::WriteFileBytes(path, before);
  MakeReadOnly(path);
#ifdef _WIN32
  if (std::ofstream(FsPath(path), std::ios::app).is_open()) {
    GTEST_SKIP() << "read-only files are writable here (Wine running as root ignores the bit)";
  }
#endif
  EXPECT_EQ(SystemProfile().WriteString(path, "S", "K", "new"), std::errc::permission_denied);
  EXPECT_EQ(dir.ReadFile("locked.ini"), before);
}

#ifndef _WIN32
// Wine differs from Windows in the tests below: it honours a UTF-8 byte-order mark and rewrites a
// whole file on every write. It also folds only A to Z when matching names and keeps the trailing
// blanks of a new name; the POSIX body matches names as the rest of the system does and trims them.

TEST(ProfilePosixBodyTest, Utf8ByteOrderMarkIsReadAsAnsi) {
  const test::TempDir dir;
  const std::string path = dir / "bom.ini";
  const std::string before = "\xEF\xBB\xBF[Setup]\r\nK=v\r\n[Other]\r\nK=\xC3\xA4\r\n";
  test::WriteFileBytes(path, before);
  // The mark sticks to the first line, so the header is lost.
  EXPECT_EQ(SystemProfile().ReadString(path, "Setup", "K", kFallback), kFallback);
  EXPECT_EQ(SystemProfile().ReadString(path, "Other", "K", kFallback), "Ã¤");
  ASSERT_FALSE(SystemProfile().WriteString(path, "Setup", "K", "ä"));
  EXPECT_EQ(dir.ReadFile("bom.ini"), before + "[Setup]\r\nK=\xE4\r\n");
}

TEST(ProfilePosixBodyTest, EditingKeepsEveryOtherByte) {
  std::string all_bytes;
  for (int byte = 0; byte < 256; ++byte) all_bytes += static_cast<char>(byte);
  const std::vector<EditCase> cases = {
      {"replacement keeps other lines, spacing and the line's own line end",
       "junk\0\xFF\r\n[A]\n  ; note\n\n  x = 1  \n\n[B]\r\ny = 2"s, "A", "X", "5",
       "junk\0\xFF\r\n[A]\n  ; note\n\nx=5\n\n[B]\r\ny = 2"s},
      {"replacement keeps CR line ends", "[A]\rx=1\ry=2", "A", "x", "9", "[A]\rx=9\ry=2"},
      {"any bytes before the first section", all_bytes + "\r\n[A]\r\nx=1\r\n", "A", "x", "2",
       all_bytes + "\r\n[A]\r\nx=2\r\n"},
      {"new names are written without the call's blanks", "", " S ", "\tK ", "v", "[S]\r\nK=v\r\n"},
      {"new key after the last line that is not blank", "[A]\r\nx=1\r\n; end of A\r\n\r\n[B]\r\n",
       "A", "z", "3", "[A]\r\nx=1\r\n; end of A\r\nz=3\r\n\r\n[B]\r\n"},
      {"new key right after the header of an empty section", "[A]\n\n[B]\n", "A", "z", "3",
       "[A]\nz=3\r\n\n[B]\n"},
      {"new key into the first of equal sections", "[A]\nx=1\n[a]\ny=2\n", "A", "y", "3",
       "[A]\nx=1\ny=3\r\n[a]\ny=2\n"},
      {"new key after a last line without line end", "[A]\nx=1", "A", "z", "3",
       "[A]\nx=1\r\nz=3\r\n"},
      {"new section after a last line without line end", "[A]\nx=1", "B", "y", "2",
       "[A]\nx=1\r\n[B]\r\ny=2\r\n"},
      {"new section after trailing blank lines", "[A]\n\n\n", "B", "y", "2",
       "[A]\n\n\n[B]\r\ny=2\r\n"},
      {"UTF-16 keeps unpaired surrogates and an odd last byte",
       Utf16LeFile(u"[A]\r\n;\xD800\r\nx=1\r\n") + "\x7F", "A", "x", "2",
       Utf16LeFile(u"[A]\r\n;\xD800\r\nx=2\r\n") + "\x7F"},
  };
  const test::TempDir dir;
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir / "edit.ini";
    test::WriteFileBytes(path, c.before);
    ASSERT_FALSE(SystemProfile().WriteString(path, c.section, c.key, c.value));
    EXPECT_EQ(dir.ReadFile("edit.ini"), c.after);
  }
}

TEST(ProfilePosixBodyTest, CaseIsIgnoredBeyondAscii) {
  const test::TempDir dir;
  const std::string path = dir / "case.ini";
  test::WriteFileBytes(path, "[F\xE4\x63her]\r\n\xC4nderung=1\r\n");
  EXPECT_EQ(SystemProfile().ReadString(path, "FÄCHER", "änderung", ""), "1");
  test::WriteFileBytes(path, Utf16LeFile(u"[Łódź]\r\nK=v\r\n"));
  EXPECT_EQ(SystemProfile().ReadString(path, "ŁÓDŹ", "K", ""), "v");
}

TEST(ProfilePosixBodyTest, CutNeverSplitsASurrogatePair) {
  // Windows would hand back the lone first half, which becomes U+FFFD; the whole pair is left out.
  const test::TempDir dir;
  const std::string path = dir / "emoji.ini";
  const std::u16string fits = std::u16string(kProfileValueMax - 2, u'a') + u"😀";
  test::WriteFileBytes(path, Utf16LeFile(u"[S]\r\nFits=" + fits + u"\r\nSplit=a" + fits + u"\r\n"));
  EXPECT_EQ(SystemProfile().ReadString(path, "S", "Fits", ""), Utf16ToUtf8(fits));
  EXPECT_EQ(SystemProfile().ReadString(path, "S", "Split", ""),
            std::string(kProfileValueMax - 1, 'a'));
}

TEST(ProfilePosixBodyTest, FailedWriteLeavesFileAndNoTemporaryFile) {
  const test::TempDir dir;
  const std::string before = "[S]\r\nK=old\r\n";
  // Read-only stops even root. A name at the length limit is written as Windows writes it: the
  // temporary file beside it has a short name of its own.
  const std::string read_only = "locked.ini";
  const std::string long_name = std::string(250, 'n') + ".ini";
  dir.WriteFile(read_only, before);
  dir.WriteFile(long_name, before);
  MakeReadOnly(dir / read_only);

  EXPECT_EQ(SystemProfile().WriteString(dir / read_only, "S", "K", "new"),
            std::errc::permission_denied);
  EXPECT_FALSE(SystemProfile().WriteString(dir / long_name, "S", "K", "new"));
  EXPECT_EQ(dir.ReadFile(read_only), before);
  EXPECT_EQ(dir.ReadFile(long_name), "[S]\r\nK=new\r\n");
  EXPECT_EQ(NamesIn(dir.Path()), (std::set<std::string>{read_only, long_name}));
}

TEST(ProfilePosixBodyTest, AnyFileContentIsReadAndEditedSafely) {
  const std::vector<std::string> contents = {
      "\0\0\0"s,
      "\xFF\xFE",
      "\xFF\xFE\x00"s,
      "\xFF\xFE\x00\xD8"s,
      "[",
      "]=[",
      "[[]]]=\"",
      "=\r\r\n\n=",
      "[S",
      "[S]",
      std::string(1 << 18, '['),
      "[S]\r\nK=" + std::string(1 << 18, '"'),
  };
  const test::TempDir dir;
  for (const std::string& content : contents) {
    SCOPED_TRACE(content.substr(0, 16));
    const std::string path = dir / "junk.ini";
    test::WriteFileBytes(path, content);
    SystemProfile().ReadString(path, "S", "K", "");
    ASSERT_FALSE(SystemProfile().WriteString(path, "S", "K", "v"));
    EXPECT_EQ(SystemProfile().ReadString(path, "S", "K", ""), "v");
  }
}
#endif  // _WIN32

}  // namespace
}  // namespace qnd::platform
