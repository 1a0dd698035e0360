#pragma once

// A real engine running headless for stage tests: 800 x 600, fixed 16 ms frames, no window.

#include <QApplication>
#include <QImage>
#include <QRect>

#include <functional>
#include <memory>

#include "stage/hge.h"

namespace sonavera::testing {

class HeadlessEngine {
 public:
  HeadlessEngine() {
    if (!QCoreApplication::instance()) {
      static int argc = 1;
      static char name[] = "stage_tests";
      static char* argv[] = {name, nullptr};
      static QApplication app(argc, argv);
    }
    hge = stage::hgeCreate(stage::HGE_VERSION);
    hge->System_SetStateBool(stage::HGE_SHOWSPLASH, false);
    hge->System_SetStateInt(stage::HGE_SCREENWIDTH, 800);
    hge->System_SetStateInt(stage::HGE_SCREENHEIGHT, 600);
    hge->System_SetStateBool(stage::HGE_ZBUFFER, true);
    hge->System_SetStateFunc(stage::HGE_FRAMEFUNC, [this] {
      if (frame) frame();
      return false;
    });
    hge->System_SetStateFunc(stage::HGE_RENDERFUNC, [this] {
      hge->Gfx_BeginScene();
      hge->Gfx_Clear(background);
      if (render) render();
      hge->Gfx_EndScene();
      return false;
    });
    hge->Timer_SetFixedDelta(0.016f);
    initiated = hge->System_Initiate();
  }
  ~HeadlessEngine() {
    if (initiated) hge->System_Shutdown();
    hge->Release();
  }
  HeadlessEngine(const HeadlessEngine&) = delete;
  HeadlessEngine& operator=(const HeadlessEngine&) = delete;

  /// Runs one engine frame and returns it as non-premultiplied ARGB.
  QImage Frame() {
    hge->System_Start();
    return hge->Gfx_GetFrame().convertToFormat(QImage::Format_ARGB32);
  }

  stage::HGE* hge = nullptr;
  bool initiated = false;
  std::uint32_t background = 0xFF000000;
  std::function<void()> frame;
  std::function<void()> render;
};

/// Smallest rectangle holding the pixels brighter than `threshold` (any channel); null if none.
inline QRect LitBox(const QImage& image, int threshold = 60, QRect within = QRect()) {
  if (within.isNull()) within = image.rect();
  int x1 = INT_MAX, y1 = INT_MAX, x2 = -1, y2 = -1;
  for (int y = within.top(); y <= within.bottom(); ++y) {
    for (int x = within.left(); x <= within.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (qRed(p) > threshold || qGreen(p) > threshold || qBlue(p) > threshold) {
        x1 = std::min(x1, x), y1 = std::min(y1, y), x2 = std::max(x2, x), y2 = std::max(y2, y);
      }
    }
  }
  return x2 < 0 ? QRect() : QRect(QPoint(x1, y1), QPoint(x2, y2));
}

}  // namespace sonavera::testing
