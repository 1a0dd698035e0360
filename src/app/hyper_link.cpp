#include "app/hyper_link.h"

#include <QMouseEvent>

#include "app/open_url.h"

namespace sonavera::app {

CHyperLink::CHyperLink(QWidget* parent) : QLabel(parent) {
  setCursor(Qt::PointingHandCursor);
  setAttribute(Qt::WA_TranslucentBackground);
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  // The hover state is polled, as the pointer may leave without an event reaching a hidden parent.
  hoverTimer.setInterval(100);
  connect(&hoverTimer, &QTimer::timeout, this, [this] {
    const bool over = isVisible() && underMouse();
    if (over != hover) {
      hover = over;
      UpdateColour();
    }
  });
  hoverTimer.start();
  UpdateColour();
}

void CHyperLink::SetLink(const QString& text, const QString& address) {
  this->address = address.isEmpty() ? text : address;
  setText(text.isEmpty() ? this->address : text);
  setToolTip(this->address);
  adjustSize();
}

void CHyperLink::UpdateColour() {
  const QColor colour = hover ? QColor(255, 0, 0) : visited ? QColor(85, 26, 139) : QColor(0, 0, 255);
  QPalette palette = this->palette();
  palette.setColor(QPalette::WindowText, colour);
  setPalette(palette);
}

void CHyperLink::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QLabel::mousePressEvent(event);
  visited = true;
  UpdateColour();
  OpenUrl(address);
}

}  // namespace sonavera::app
