// Ini files read and written the way Windows' private profile functions do it.
// The POSIX body reproduces GetPrivateProfileStringW / WritePrivateProfileStringW: section and key names
// match without regard to case, lines and values are trimmed, one pair of matching quotes is removed,
// the first of duplicate sections or keys wins, a UTF-16LE byte-order mark makes the file UTF-16LE and
// anything else is read as Windows-1252 (a UTF-8 byte-order mark is not recognised), and a value is cut
// to kProfileValueMax characters. The writer edits in place, keeps every other byte and the file's
// encoding, and replaces the file atomically.
#pragma once

#include <string>
#include <system_error>

namespace qnd::platform {

/// The longest value a read returns, in UTF-16 code units (a buffer of 2048 with its terminating zero).
inline constexpr std::size_t kProfileValueMax = 2047;

class Profile {
 public:
  virtual ~Profile() = default;
  /// The value of `key` in `section` of the ini file `path`; `fallback` when the file, section or key
  /// is missing (an empty value `K=` is returned as an empty text, not as the fallback).
  virtual std::string ReadString(const std::string& path, const std::string& section,
                                 const std::string& key, const std::string& fallback) = 0;
  /// Sets `key` in `section` to `value`, creating the file, section or key when missing.
  /// Fails (and leaves the file as it was) when the folder is missing, the file is read-only or
  /// cannot be replaced.
  virtual std::error_code WriteString(const std::string& path, const std::string& section,
                                      const std::string& key, const std::string& value) = 0;
};

/// The profile functions of this system.
Profile& SystemProfile();

}  // namespace qnd::platform
