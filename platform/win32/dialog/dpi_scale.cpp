#include "platform/win32/dialog/dpi_scale.h"

namespace qnd::platform::win32 {

int WindowDpi(HWND window) {
  // Looked up at run time: systems before Windows 10 1607 do not export it.
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = [] {
    const HMODULE user32 = ::GetModuleHandleW(L"user32");
    return user32 ? reinterpret_cast<GetDpiForWindowFunction>(
                        reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForWindow")))
                  : nullptr;
  }();
  if (getDpiForWindow) {
    if (const UINT dpi = getDpiForWindow(window); dpi > 0) return static_cast<int>(dpi);
  }
  const HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace qnd::platform::win32
