#include "platform/engine/engine_view.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/engine/hge.h"

namespace sonavera::platform {

EngineView::EngineView(HGE& engine, QWidget* host) : QWidget(host), engine(engine) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  if (host != nullptr) {
    setGeometry(host->rect());
    host->installEventFilter(this);
  }
}

bool EngineView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QWidget::eventFilter(watched, event);
}

QRectF EngineView::StageRect() const {
  const QImage& frame = engine.Gfx_GetFrame();
  const double w = frame.width(), h = frame.height();
  // Scaled only when the widget is larger than the stage; then centred with the aspect kept.
  const double scale = std::max(1.0, std::min(width() / w, height() / h));
  const double x = width() > w * scale ? (width() - w * scale) / 2 : 0;
  const double y = height() > h * scale ? (height() - h * scale) / 2 : 0;
  return QRectF(x, y, w * scale, h * scale);
}

QPointF EngineView::ToStage(const QPointF& widgetPos) const {
  const QRectF stage = StageRect();
  const QImage& frame = engine.Gfx_GetFrame();
  return QPointF((widgetPos.x() - stage.x()) * frame.width() / stage.width(),
                 (widgetPos.y() - stage.y()) * frame.height() / stage.height());
}

void EngineView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRectF stage = StageRect();
  if (stage.width() < width() || stage.height() < height()) painter.fillRect(rect(), Qt::black);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, stage.width() != engine.Gfx_GetFrame().width());
  painter.drawImage(stage, engine.Gfx_GetFrame());
}

int EngineView::KeyCode(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return HGEK_A + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return HGEK_0 + (qtKey - Qt::Key_0);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return HGEK_F1 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Left: return HGEK_LEFT;
    case Qt::Key_Up: return HGEK_UP;
    case Qt::Key_Right: return HGEK_RIGHT;
    case Qt::Key_Down: return HGEK_DOWN;
    case Qt::Key_Escape: return HGEK_ESCAPE;
    case Qt::Key_Return:
    case Qt::Key_Enter: return HGEK_ENTER;
    case Qt::Key_Space: return HGEK_SPACE;
    case Qt::Key_Backspace: return HGEK_BACKSPACE;
    case Qt::Key_Tab: return HGEK_TAB;
    case Qt::Key_Shift: return HGEK_SHIFT;
    case Qt::Key_Control: return HGEK_CTRL;
    case Qt::Key_Alt: return HGEK_ALT;
    case Qt::Key_PageUp: return HGEK_PGUP;
    case Qt::Key_PageDown: return HGEK_PGDN;
    case Qt::Key_Home: return HGEK_HOME;
    case Qt::Key_End: return HGEK_END;
    case Qt::Key_Insert: return HGEK_INSERT;
    case Qt::Key_Delete: return HGEK_DELETE;
    default: return 0;
  }
}

void EngineView::keyPressEvent(QKeyEvent* event) {
  const int key = KeyCode(event->key());
  if (key == 0) return QWidget::keyPressEvent(event);
  if (!event->isAutoRepeat()) engine.Input_Feed(key, true);
}

void EngineView::keyReleaseEvent(QKeyEvent* event) {
  const int key = KeyCode(event->key());
  if (key == 0) return QWidget::keyReleaseEvent(event);
  if (!event->isAutoRepeat()) engine.Input_Feed(key, false);
}

void EngineView::FeedMouse(QMouseEvent* event, bool down) {
  const QPointF stage = ToStage(event->position());
  engine.Input_SetMousePos(static_cast<float>(stage.x()), static_cast<float>(stage.y()));
  switch (event->button()) {
    case Qt::LeftButton: engine.Input_Feed(HGEK_LBUTTON, down); break;
    case Qt::RightButton: engine.Input_Feed(HGEK_RBUTTON, down); break;
    case Qt::MiddleButton: engine.Input_Feed(HGEK_MBUTTON, down); break;
    default: break;
  }
}

void EngineView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  FeedMouse(event, true);
}

// A double-click counts as a second press.
void EngineView::mouseDoubleClickEvent(QMouseEvent* event) { FeedMouse(event, true); }

void EngineView::mouseReleaseEvent(QMouseEvent* event) { FeedMouse(event, false); }

void EngineView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF stage = ToStage(event->position());
  engine.Input_SetMousePos(static_cast<float>(stage.x()), static_cast<float>(stage.y()));
}

void EngineView::focusOutEvent(QFocusEvent* event) {
  // Keys released while another window has the focus would otherwise stay held.
  for (int key = 1; key < 256; ++key) {
    if (engine.Input_GetKeyState(key)) engine.Input_Feed(key, false);
  }
  QWidget::focusOutEvent(event);
}

}  // namespace sonavera::platform
