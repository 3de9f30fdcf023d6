#include "platform/qt/image_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>
#include <utility>

namespace qnd::platform::qt {
namespace {

// The gap between the caption and the image.
constexpr int kCaptionSpacing = 4;

}  // namespace

ImageButton::ImageButton(const QString& caption, QPixmap image, QPixmap disabledImage,
                         QWidget* parent)
    : QPushButton(caption, parent),
      image_(std::move(image)),
      disabledImage_(std::move(disabledImage)) {}

void ImageButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  // The style draws the frame, the default-button look and the focus; caption and image are placed
  // here, because Qt's styles only know images to the left of the caption.
  const QString caption = option.text;
  option.text.clear();
  option.icon = QIcon();
  painter.drawControl(QStyle::CE_PushButton, option);

  QRect contents = rect();
  if (isDown() || isChecked()) {
    contents.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  }
  const QPixmap& image = isEnabled() ? image_ : disabledImage_;
  const QSize imageSize = image.deviceIndependentSize().toSize();
  const QPoint imageTopLeft(contents.right() + 1 - kImageRightMargin - imageSize.width(),
                            contents.top() + (contents.height() - imageSize.height()) / 2);
  painter.drawPixmap(imageTopLeft, image);

  QRect captionArea = contents;
  captionArea.setRight(imageTopLeft.x() - kCaptionSpacing - 1);
  style()->drawItemText(&painter, captionArea, Qt::AlignCenter | Qt::TextShowMnemonic, palette(),
                        isEnabled(), caption, QPalette::ButtonText);
}

}  // namespace qnd::platform::qt
