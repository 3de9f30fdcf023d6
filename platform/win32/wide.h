// The one pair of converters between the logic's UTF-8 and Win32's UTF-16; every Win32 call gets its
// text through them.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

#include "platform/win32/win32.h"

namespace qnd::platform::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

/// The Win32 error `code` as an error code in the system category (GetLastError() by default).
std::error_code LastError(DWORD code = ::GetLastError());

}  // namespace qnd::platform::win32
