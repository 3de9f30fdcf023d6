#include "platform/paths.h"

#include "platform/win32/wide.h"

namespace qnd::platform {

const char kPathSeparator = '\\';
const std::size_t kDrivePrefixLength = 2;
const bool kFileNamesIgnoreCase = true;

// MAX_PATH counts the terminating zero; the programs use no "\\?\" long-path prefix.
bool IsPathTooLong(std::string_view path) { return win32::Widen(path).size() >= MAX_PATH; }

std::string FullPathName(const std::string& path) {
  const std::wstring wide = win32::Widen(path);
  const DWORD length = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (length == 0) return {};
  std::wstring full(length, L'\0');
  const DWORD written = ::GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
  if (written == 0 || written >= length) return {};
  full.resize(written);
  return win32::Narrow(full);
}

}  // namespace qnd::platform
