// The registry as the POSIX body sees it: keys under HKEY_LOCAL_MACHINE read from a file in the
// Windows registry editor's export format (internal to platform/posix). The parser works on bytes
// only, so it can be fed anything; it never fails on a malformed line, it skips it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qnd::platform::posix {

/// Value types as Windows numbers them.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

struct RegValue {
  std::string name;  ///< as spelled in the file; "" is the key's default value
  std::uint32_t type = kRegNone;
  /// The bytes as Windows stores them: text types (1, 2, 7) in UTF-16LE, including the terminating
  /// zero the file gives them; numbers little-endian.
  std::string data;
};

struct RegKey {
  std::string path;  ///< below HKEY_LOCAL_MACHINE, components joined by '\'; "" is the root
  std::vector<RegValue> values;

  /// The value of this name, compared without regard to case; null when there is none.
  const RegValue* FindValue(std::string_view name) const;
};

class RegImage {
 public:
  /// The key at `path` below HKEY_LOCAL_MACHINE, compared without regard to case; null when there
  /// is none. `path` must be in canonical form: components joined by single '\', "" for the root.
  const RegKey* FindKey(std::string_view path) const;
  /// Every key, in no particular order.
  std::vector<const RegKey*> Keys() const;

  /// The key at `path` (empty components ignored), created with its missing parents.
  RegKey& AddKey(std::string_view path);

 private:
  // Keyed by the upper-cased UTF-16 path, which makes lookups case-blind the way Windows is.
  std::map<std::u16string, RegKey> keys_;
};

/// Parses an export file ("Windows Registry Editor Version 5.00" or "REGEDIT4" on its first line;
/// UTF-16LE with BOM, UTF-8 or Windows-1252). Null when the bytes do not start with either header.
/// Keys under other roots than HKEY_LOCAL_MACHINE (or HKLM) are skipped, and so are the deletions
/// of a hand-written registry script ("[-key]", "name"=-), which no export holds.
std::optional<RegImage> ParseRegFile(std::string_view bytes);

}  // namespace qnd::platform::posix
