// The buttons' images (ILButton: the cancel symbol, the forward symbol and the greyed forward
// symbol), loaded from the program's icon resources at the size that suits the window's DPI.
#pragma once

#include "platform/win32/dialog/gdi_handles.h"

namespace qnd::platform::win32 {

struct ButtonImages {
  ImageListHandle abbruch;  ///< the cancel symbol in every state
  ImageListHandle weiter;   ///< the forward symbol, greyed in the disabled state
};

/// The images for a window drawn at `dpi` (16 x 16 at 96 dpi). A program without the resources
/// gets empty lists, and its buttons show their captions alone.
ButtonImages LoadButtonImages(int dpi);

/// Shows `images` right of `button`'s caption with `rightMargin` pixels to the button's edge.
void PutImagesOnButton(HWND button, HIMAGELIST images, int rightMargin);

}  // namespace qnd::platform::win32
