// Showing the stage full-screen: the engine's view scaling one 800 x 600 frame up to a 1920 x 1080
// screen (every frame while a song runs), against the same frame at its own size, and the main
// window painting its page picture scaled (only on page changes). Offscreen Qt platform.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/main_window_services.h"
#include "platform/engine/engine_view.h"
#include "platform/engine/hge.h"

namespace {

using namespace sonavera;

// One application object for the program, never destroyed (Qt's globals go first at exit).
void App() {
  static int argc = 1;
  static char name[] = "full_screen_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return new QApplication(argc, argv);
  }();
  (void)app;
}

// The engine's view inside a host of `size`, showing a busy frame; renders it as the screen would.
void ViewPaint(benchmark::State& state, QSize size) {
  App();
  QWidget host;
  host.resize(size);
  host.show();
  platform::HGE* hge = platform::hgeCreate(platform::HGE_VERSION);
  hge->System_SetStateHwnd(platform::HGE_HWNDPARENT, &host);
  if (!hge->System_Initiate()) {
    state.SkipWithError("engine did not start");
    return;
  }
  hge->Gfx_BeginScene();
  hge->Gfx_Clear(0xFF102040);
  for (int i = 0; i < 200; ++i)
    hge->Gfx_RenderLine(0, static_cast<float>(i * 3), 800, static_cast<float>(600 - i * 3), 0xFFFFC040, 0.5f);
  hge->Gfx_EndScene();
  auto* view =
      static_cast<platform::EngineView*>(static_cast<QWidget*>(hge->System_GetStateHwnd(platform::HGE_HWND)));
  QImage screen(size, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    view->render(&screen);
    benchmark::DoNotOptimize(screen.constBits());
  }
  hge->Release();
}

void BM_StageViewAtStageSize(benchmark::State& state) {
  ViewPaint(state, QSize(800, 600));
}
BENCHMARK(BM_StageViewAtStageSize)->Unit(benchmark::kMillisecond);

void BM_StageViewFullScreen1080p(benchmark::State& state) {
  ViewPaint(state, QSize(1920, 1080));
}
BENCHMARK(BM_StageViewFullScreen1080p)->Unit(benchmark::kMillisecond);

struct NoServices : app::MainWindowServices {
  void ShowMessage(const std::string&, const std::string&, bool) override {}
  bool OpenCaptureDevice() override { return true; }
};

void BM_PagePictureFullScreen1080p(benchmark::State& state) {
  App();
  NoServices services;
  app::CRating1Dlg window(SONAVERA_PROGRAM_DIR, services);
  window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  window.resize(1920, 1080);
  QImage screen(window.size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    window.render(&screen, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    benchmark::DoNotOptimize(screen.constBits());
  }
}
BENCHMARK(BM_PagePictureFullScreen1080p)->Unit(benchmark::kMillisecond);

}  // namespace
