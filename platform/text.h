// Text conversions and comparisons shared by both platform bodies and the logic. Inside the
// programs all text is UTF-8; UTF-16 appears only at the Windows boundary and in ini and registry
// files; Windows-1252 is what Windows calls the "ANSI" code page on German and Western systems.
// These are pure functions, the same on every platform.
#pragma once

#include <compare>
#include <string>
#include <string_view>

namespace qnd::platform {

/// UTF-8 to UTF-16. An invalid byte sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
/// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

/// Decodes bytes in the ANSI code page (Windows-1252) to UTF-8. The five bytes that code page
/// leaves undefined map to the control characters of the same value, as Windows does.
std::string Windows1252ToUtf8(std::string_view bytes);
/// Encodes UTF-8 in Windows-1252. A character the code page cannot hold becomes its best-fit letter
/// where Windows has one (Ł → L) and "?" otherwise.
std::string Utf8ToWindows1252(std::string_view text);

/// True when `text` is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

/// The upper-case form of one UTF-16 code unit as Windows compares names (ASCII, Latin-1, Latin
/// Extended-A, Greek and Cyrillic letters; everything else unchanged).
char16_t UpperCaseUnit(char16_t unit);
/// The lower-case form of `text` (the inverse mapping of UpperCaseUnit).
std::string ToLowerUtf8(std::string_view text);
/// Only the letters A to Z turned into lower case; every other character unchanged.
std::string AsciiToLower(std::string_view text);

/// True when both texts are equal without regard to case, the way Windows matches registry and ini
/// names.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

/// UTF-16 code units as little-endian bytes (as Windows stores them in files, without a BOM), and
/// back; an odd last byte gives no unit.
std::string Utf16LeBytes(std::u16string_view units);
std::u16string Utf16LeUnits(std::string_view bytes);

/// `text` without the characters that `isBlank` takes, at its start, at its end, or at both. Each
/// reader of a Windows text format says what counts as blank there.
template <typename Char, typename IsBlank>
std::basic_string_view<Char> TrimStart(std::basic_string_view<Char> text, IsBlank isBlank) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  return text;
}
template <typename Char, typename IsBlank>
std::basic_string_view<Char> TrimEnd(std::basic_string_view<Char> text, IsBlank isBlank) {
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}
template <typename Char, typename IsBlank>
std::basic_string_view<Char> Trim(std::basic_string_view<Char> text, IsBlank isBlank) {
  return TrimEnd(TrimStart(text, isBlank), isBlank);
}

/// Orders names the way NTFS lists a folder: UTF-16 code units compared after upper-casing, ties
/// broken by the plain code units. Negative, zero or positive like strcmp.
int CompareAsNtfs(std::string_view a, std::string_view b);

/// A name's place in that order, for sorting many names: made once per name, compared cheaply.
struct NtfsOrderKey {
  std::u16string upper;  ///< the code units upper-cased
  std::u16string exact;  ///< the plain code units, which break ties
  friend auto operator<=>(const NtfsOrderKey&, const NtfsOrderKey&) = default;
};
NtfsOrderKey NtfsOrderKeyOf(std::string_view name);

}  // namespace qnd::platform
