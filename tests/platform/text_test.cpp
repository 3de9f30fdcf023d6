#include "platform/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace qnd::platform {
namespace {

TEST(TextTest, Utf8AndUtf16RoundTripKeepEveryCharacter) {
  for (const std::string text : {"", "Quendra", "Fächerkanon ÄÖÜß", "Łódź", "中文", "😀 emoji"}) {
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
  }
  EXPECT_EQ(Utf8ToUtf16("😀").size(), 2u);  // a surrogate pair
}

// Little-endian units, as Windows writes them to files; an odd last byte makes no unit.
TEST(TextTest, Utf16LittleEndianBytesRoundTrip) {
  const std::u16string units = u"A\u00e4\u4e2d\U0001F600";
  const std::string bytes = Utf16LeBytes(units);
  EXPECT_EQ(bytes, std::string("A\0\xe4\0\x2d\x4e\x3d\xd8\x00\xde", 10));
  EXPECT_EQ(Utf16LeUnits(bytes), units);
  EXPECT_EQ(Utf16LeUnits(bytes + 'x'), units);
}

TEST(TextTest, MalformedInputBecomesReplacementCharacter) {
  EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong encoding of '/'
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
  EXPECT_FALSE(IsValidUtf8("\xE4rger"));
  EXPECT_TRUE(IsValidUtf8("Ärger \xEF\xBF\xBD"));
}

TEST(TextTest, Windows1252BothWays) {
  EXPECT_EQ(Windows1252ToUtf8("\xE4\xF6\xFC\xDF"), "äöüß");
  EXPECT_EQ(Windows1252ToUtf8("\x80\x9C\x81"), "€œ\xC2\x81");
  // Best fit as Windows does it; characters without one become '?'.
  EXPECT_EQ(Utf8ToWindows1252("äöüß€"), "\xE4\xF6\xFC\xDF\x80");
  EXPECT_EQ(Utf8ToWindows1252("Łł Ω 中"), "Ll O ?");
}

TEST(TextTest, CaseInsensitiveMatchingCoversUmlauts) {
  EXPECT_TRUE(EqualsIgnoreCase("Setup", "SETUP"));
  EXPECT_TRUE(EqualsIgnoreCase("Fächer", "FÄCHER"));
  EXPECT_FALSE(EqualsIgnoreCase("Setup", "Setup1"));
  EXPECT_EQ(ToLowerUtf8("QNDUpdaterP2 ÄÖÜ"), "qndupdaterp2 äöü");
  EXPECT_EQ(AsciiToLower("C:\\Users\\ÄNNA"), "c:\\users\\Änna");
}

TEST(TextTest, NtfsOrderIsUpperCasedOrdinalWithCaseSensitiveTieBreak) {
  std::vector<std::string> names = {"Ärger.txt", "_under.txt", "Zwerg", "zeta.txt", "Beta.txt",
                                    "alpha.txt", "ab.txt",     "a b.txt", "9.txt",  "10.txt",
                                    ".dotfile"};
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return CompareAsNtfs(a, b) < 0; });
  const std::vector<std::string> expected = {".dotfile", "10.txt",   "9.txt",      "a b.txt",
                                             "ab.txt",   "alpha.txt", "Beta.txt",  "zeta.txt",
                                             "Zwerg",    "_under.txt", "Ärger.txt"};
  EXPECT_EQ(names, expected);
  EXPECT_LT(CompareAsNtfs("A", "a"), 0);
  EXPECT_EQ(CompareAsNtfs("a", "a"), 0);
}

}  // namespace
}  // namespace qnd::platform
