#pragma once

#include <QWidget>

#include "platform/engine/hge.h"

class QImage;

namespace sonavera::platform {


/// The engine's window: a child widget that fills its host, shows the engine's last frame (scaled
/// up, aspect kept, centred, when the host is larger than the stage) and feeds keys and mouse,
/// mapped back to stage pixels, into the engine's input state.
class EngineView : public QWidget {
 public:
  EngineView(HGE& engine, QWidget* host);

  /// Where the stage lies inside the widget.
  QRectF StageRect() const;
  /// A widget position in stage pixels.
  QPointF ToStage(const QPointF& widgetPos) const;
  /// Virtual-key number of a Qt key, 0 when the engine has none for it.
  static int KeyCode(int qtKey);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FeedMouse(QMouseEvent* event, bool down);

  HGE& engine;
};

}  // namespace sonavera::platform
