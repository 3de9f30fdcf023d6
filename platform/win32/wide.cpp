#include "platform/win32/wide.h"

#include <system_error>

#include "platform/text.h"

namespace qnd::platform::win32 {

// wchar_t is UTF-16 on Windows, so the portable converters do the work.
std::wstring Widen(std::string_view utf8) {
  const std::u16string units = Utf8ToUtf16(utf8);
  return std::wstring(units.begin(), units.end());
}

std::string Narrow(std::wstring_view utf16) {
  return Utf16ToUtf8(std::u16string(utf16.begin(), utf16.end()));
}

std::error_code LastError(DWORD code) {
  return {static_cast<int>(code), std::system_category()};
}

}  // namespace qnd::platform::win32
