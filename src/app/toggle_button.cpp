#include "app/toggle_button.h"

#include <QPainter>

namespace sonavera::app {

ToggleButton::ToggleButton(const QString& caption, const QPixmap* onFace, const QPixmap* offFace,
                           QWidget* parent)
    : QPushButton(caption, parent), onFace(onFace), offFace(offFace) {
  setCheckable(true);
  if (onFace != nullptr && offFace != nullptr) {
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
  }
}

void ToggleButton::paintEvent(QPaintEvent* event) {
  const QPixmap* face = isChecked() ? onFace : offFace;
  // One picture alone would leave one of the states unreadable: both or the plain button.
  if (onFace == nullptr || offFace == nullptr) return QPushButton::paintEvent(event);
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, face->size() != size());
  painter.drawPixmap(rect(), *face, face->rect());
  if (isDown()) painter.fillRect(rect(), QColor(0, 0, 0, 60));  // pressed feedback
}

}  // namespace sonavera::app
