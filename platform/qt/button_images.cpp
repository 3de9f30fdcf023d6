#include "platform/qt/button_images.h"

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QPolygon>

namespace qnd::platform::qt {
namespace {

// An arrow pointing right: a shaft and a head, filling most of the image.
void DrawArrow(QPainter& painter, const QColor& fill, const QColor& outline, const QPoint& offset) {
  static const QPolygon kArrow({{1, 6}, {8, 6}, {8, 2}, {14, 8}, {8, 14}, {8, 10}, {1, 10}});
  painter.setPen(outline);
  painter.setBrush(fill);
  painter.drawPolygon(kArrow.translated(offset));
}

// A diagonal cross of two thick strokes.
void DrawCross(QPainter& painter) {
  QPen pen(QColor(192, 0, 0), 3, Qt::SolidLine, Qt::SquareCap);
  painter.setPen(pen);
  painter.drawLine(4, 4, 11, 11);
  painter.drawLine(11, 4, 4, 11);
}

}  // namespace

QPixmap DrawButtonImage(ButtonImage image) {
  QPixmap pixmap(kButtonImageSize, kButtonImageSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  // Crisp pixels, as the images of a 96-dpi button bar: every pixel is either drawn or transparent.
  painter.setRenderHint(QPainter::Antialiasing, false);
  switch (image) {
    case ButtonImage::Cancel:
      DrawCross(painter);
      break;
    case ButtonImage::Forward:
      DrawArrow(painter, QColor(0, 160, 0), QColor(0, 96, 0), {0, 0});
      break;
    case ButtonImage::ForwardGreyed:
      // The classic greyed look: a white shadow one pixel down and right under a grey shape.
      DrawArrow(painter, Qt::white, Qt::white, {1, 1});
      DrawArrow(painter, QColor(160, 160, 160), QColor(128, 128, 128), {0, 0});
      break;
  }
  return pixmap;
}

}  // namespace qnd::platform::qt
