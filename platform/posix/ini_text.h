// The ini format as Windows' private profile functions read and edit it, working on a file's bytes
// and never on the file itself (internal to platform/posix). Any bytes are valid input.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qnd::platform::posix {

enum class IniEncoding { kWindows1252, kUtf16Le };

/// An ini file's content as UTF-16 code units, whatever its encoding, so that both encodings are
/// parsed and edited alike. Decoding and encoding again gives back every byte.
struct IniText {
  IniEncoding encoding = IniEncoding::kWindows1252;
  /// The characters after the byte-order mark. A Windows-1252 byte is always one code unit.
  std::u16string units;
  /// The last byte of a UTF-16LE file of odd length: no character, but kept.
  std::string stray;
};

/// Windows recognises only the UTF-16LE byte-order mark; everything else, a UTF-8 byte-order mark
/// included, is Windows-1252.
IniText DecodeIniBytes(std::string_view bytes);
/// The file bytes of `text`; characters Windows-1252 cannot hold get their best fit.
std::string EncodeIniBytes(const IniText& text);

/// The value of `key` in `section` in the ini file `bytes`, as UTF-8 and not yet cut to
/// length; nothing when the section or key is missing.
std::optional<std::string> FindIniValue(std::string_view bytes, std::string_view section,
                                        std::string_view key);

/// The bytes of the ini file `bytes` after setting `key` in `section` to `value`: only the key's
/// line changes, or one line (or a section) is added.
std::string SetIniValue(std::string_view bytes, std::string_view section, std::string_view key,
                        std::string_view value);

/// `text` without the blanks and tabs at its end.
std::string_view TrimTrailingBlanks(std::string_view text);

/// `text` cut to at most `max_units` UTF-16 code units. A surrogate pair that would be split is
/// left out whole, so the result stays valid UTF-8.
std::string CutToUtf16Units(std::string_view text, std::size_t max_units);

}  // namespace qnd::platform::posix
