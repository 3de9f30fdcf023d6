// Fonts and image lists that delete themselves, and the dialog's fonts at a given DPI.
#pragma once

#include <memory>
#include <type_traits>

#include "platform/win32/win32.h"
// After win32.h, which sets the macros the common controls header depends on.
#include <commctrl.h>

namespace qnd::platform::win32 {

struct FontDeleter {
  void operator()(HFONT font) const { ::DeleteObject(font); }
};
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

struct ImageListDeleter {
  void operator()(HIMAGELIST images) const { ::ImageList_Destroy(images); }
};
using ImageListHandle = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;

/// Tahoma at `points` for a window drawn at `dpi` (8 pt is 11 pixels high at 96 dpi).
FontHandle CreateTahoma(int points, int dpi);

}  // namespace qnd::platform::win32
