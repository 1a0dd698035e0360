// Per-frame cost of the stage's TrueType text and background video: a line of 60 lyric glyphs
// rendered through the engine, and one video frame decoded and copied into its texture.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <string>

#include "platform/text_utf16.h"
#include "stage/avi.h"
#include "stage/type_font.h"

using namespace sonavera;
using namespace sonavera::stage;

namespace {

HGE* Engine() {
  static HGE* hge = [] {
    static int argc = 1;
    static char name[] = "text_video_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    HGE* e = hgeCreate(HGE_VERSION);
    e->System_SetStateBool(HGE_ZBUFFER, true);
    e->Timer_SetFixedDelta(0.016f);
    e->System_Initiate();
    return e;
  }();
  return hge;
}

void BM_LyricLine60Glyphs(benchmark::State& state) {
  HGE* hge = Engine();
  FontSprite* font = createTypeFont(StageFontPath(), 32);
  if (!font) {
    state.SkipWithError("no CJK font");
    return;
  }
  // 60 units: Chinese lyrics mixed with Latin letters, digits and spaces.
  const std::u16string line = platform::Utf8ToUtf16(
      "我们一起唱这首歌 sing along 1234 让快乐飞翔在天空 la la la 月亮代表我的心 okay!! 好!");
  hge->System_SetStateFunc(HGE_FRAMEFUNC, [] { return false; });
  hge->System_SetStateFunc(HGE_RENDERFUNC, [&] {
    hge->Gfx_BeginScene();
    hge->Gfx_Clear(0);
    font->Render(10, 300, line.c_str());
    hge->Gfx_EndScene();
    return false;
  });
  for (auto _ : state) hge->System_Start();
  state.counters["glyphs"] = static_cast<double>(line.size());
  font->Release();
}
BENCHMARK(BM_LyricLine60Glyphs)->Unit(benchmark::kMillisecond);

void BM_VideoFrameStep(benchmark::State& state) {
  HGE* hge = Engine();
  AVI video(std::string(SONAVERA_PROGRAM_DIR) + "/avi/2.avi", 1, hge);
  if (!video.IsOpen()) {
    state.SkipWithError("avi/2.avi missing (build sonavera_artwork)");
    return;
  }
  // 40 ms per engine frame: every Update decodes and copies exactly one new frame.
  hge->Timer_SetFixedDelta(0.04f);
  hge->System_SetStateFunc(HGE_FRAMEFUNC, [&] {
    video.Update();
    return false;
  });
  hge->System_SetStateFunc(HGE_RENDERFUNC, [] { return false; });
  for (auto _ : state) hge->System_Start();
  hge->Timer_SetFixedDelta(0.016f);
}
BENCHMARK(BM_VideoFrameStep)->Unit(benchmark::kMillisecond);

}  // namespace
