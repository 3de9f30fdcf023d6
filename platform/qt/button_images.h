// The three 16 x 16 images of the buttons, drawn at run time: the cancel symbol of "Abbruch" and
// the forward symbol of "Weiter", plain and greyed for the disabled button.
#pragma once

#include <QPixmap>

namespace qnd::platform::qt {

inline constexpr int kButtonImageSize = 16;

enum class ButtonImage {
  Cancel = 0,
  Forward = 1,
  ForwardGreyed = 2,
};

QPixmap DrawButtonImage(ButtonImage image);

}  // namespace qnd::platform::qt
