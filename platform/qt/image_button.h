// A push button with its image to the right of the caption, a fixed distance from the right edge,
// and a second image for the disabled state.
#pragma once

#include <QPixmap>
#include <QPushButton>

namespace qnd::platform::qt {

/// The gap between the image and the button's right edge.
inline constexpr int kImageRightMargin = 4;

class ImageButton final : public QPushButton {
 public:
  ImageButton(const QString& caption, QPixmap image, QPixmap disabledImage, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap image_;
  QPixmap disabledImage_;
};

}  // namespace qnd::platform::qt
