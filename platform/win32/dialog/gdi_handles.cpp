#include "platform/win32/dialog/gdi_handles.h"

namespace qnd::platform::win32 {

FontHandle CreateTahoma(int points, int dpi) {
  // A negative height asks for the character height without the internal leading, which is what
  // a point size means.
  return FontHandle(::CreateFontW(-::MulDiv(points, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                  FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
}

}  // namespace qnd::platform::win32
