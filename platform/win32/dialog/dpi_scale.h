// The window's layout is designed at 96 dpi; on a display of another density every length, font and
// image is scaled to the DPI of the monitor the window is on.
#pragma once

#include "platform/win32/win32.h"

namespace qnd::platform::win32 {

inline constexpr int kDesignDpi = 96;

/// The DPI `window` is drawn at: its monitor's where the system scales per monitor (Windows 10
/// 1607 and later), else the system's.
int WindowDpi(HWND window);

/// A length of the 96-dpi design at `dpi`.
inline int ScaleToDpi(int length, int dpi) { return ::MulDiv(length, dpi, kDesignDpi); }

/// A length at `dpi` in 96-dpi units.
inline int ScaleFromDpi(int length, int dpi) { return ::MulDiv(length, kDesignDpi, dpi); }

}  // namespace qnd::platform::win32
