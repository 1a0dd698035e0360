// One busy stage frame through the real engine, headless: a full background, 300 sprites (a third
// turned and scaled, most tinted), 500 additive particles, 60 glyphs of a bitmap font and 100 lines.
// Reports the median frame time (budget: under 4 ms at 800 x 600).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <time.h>
#include <vector>

#include <QImage>

#include "stage/hge.h"
#include "stage/hge_font.h"
#include "stage/hge_particle.h"
#include "stage/hge_sprite.h"

namespace {

using namespace sonavera::stage;

HTEXTURE Gradient(HGE* hge, int w, int h, bool withAlpha) {
  const HTEXTURE tex = hge->Texture_Create(w, h);
  std::uint32_t* p = hge->Texture_Lock(tex, false);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int a = withAlpha ? std::clamp(400 - 8 * std::abs(x - w / 2) - 8 * std::abs(y - h / 2), 0, 255) : 255;
      p[y * w + x] = ARGB(static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(x * 255 / w),
                          static_cast<std::uint32_t>(y * 255 / h), 128);
    }
  }
  hge->Texture_Unlock(tex);
  return tex;
}

HTEXTURE Glow(HGE* hge, int side) {
  const HTEXTURE tex = hge->Texture_Create(side, side);
  std::uint32_t* p = hge->Texture_Lock(tex, false);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const double r = std::hypot(x + 0.5 - side / 2.0, y + 0.5 - side / 2.0) / (side / 2.0);
      p[y * side + x] = r >= 1 ? 0 : ARGB(static_cast<std::uint32_t>(255 * (1 - r) * (1 - r)), 255, 255, 255);
    }
  }
  hge->Texture_Unlock(tex);
  return tex;
}

double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
  return values[values.size() / 2];
}

std::string WriteFont(const std::filesystem::path& folder) {
  QImage bitmap(256, 64, QImage::Format_ARGB32);
  bitmap.fill(0);
  for (int c = 0; c < 64; ++c) {
    for (int y = 2; y < 14; ++y) {
      for (int x = 1; x < 10; ++x) bitmap.setPixel((c % 16) * 16 + x, (c / 16) * 16 + y, (x + y) % 3 ? 0xFFFFFFFF : 0);
    }
  }
  bitmap.save(QString::fromStdString((folder / "bench_font.png").string()));
  std::ofstream fnt(folder / "bench_font.fnt");
  fnt << "[HGEFONT]\nBitmap=bench_font.png\n";
  for (int c = 0; c < 64; ++c) {
    fnt << "Char=" << std::hex << (32 + c) << std::dec << "," << (c % 16) * 16 << "," << (c / 16) * 16
        << ",12,16,0,1\n";
  }
  return (folder / "bench_font.fnt").string();
}

// Parts of the frame, selected by the benchmark's argument (all of them for the busy frame).
enum Part { kBackground = 1, kSprites = 2, kParticles = 4, kGlyphs = 8, kLines = 16, kAll = 31 };

void BM_BusyStageFrame(benchmark::State& state) {
  const auto parts = state.range(0);
  HGE* hge = hgeCreate(HGE_VERSION);
  hge->System_SetStateBool(HGE_ZBUFFER, true);
  hge->System_Initiate();
  hge->Timer_SetFixedDelta(0.016f);
  hge->Random_Seed(99);
  const auto folder = std::filesystem::temp_directory_path() / "sonavera-stage-bench";
  std::filesystem::create_directories(folder);

  hgeSprite background(Gradient(hge, 800, 600, false), 0, 0, 800, 600);
  background.SetZ(0.9f);
  const HTEXTURE sheet = Gradient(hge, 64, 64, true);
  std::vector<std::unique_ptr<hgeSprite>> sprites;
  for (int i = 0; i < 300; ++i) {
    sprites.push_back(std::make_unique<hgeSprite>(sheet, 0, 0, 64, 64));
    sprites.back()->SetHotSpot(32, 32);
    sprites.back()->SetZ(0.1f + 0.002f * static_cast<float>(i));
    if (i % 4 != 0) sprites.back()->SetColor(ARGB(255, 100 + i % 150, 200, 255 - i % 100));
  }
  // Particles like the stage's sparks: a soft round glow, shrinking and fading, spinning.
  hgeSprite particleSprite(Glow(hge, 32), 0, 0, 32, 32);
  particleSprite.SetHotSpot(16, 16);
  particleSprite.SetBlendMode(BLEND_COLORMUL | BLEND_ALPHAADD | BLEND_NOZWRITE);
  hgeParticleSystemInfo info;
  info.emission = 760;
  info.lifetime = -1;
  info.lifeMin = 0.4f, info.lifeMax = 1.0f;
  info.spread = 6.28f;
  info.speedMin = 40, info.speedMax = 160;
  info.gravityMin = 60, info.gravityMax = 140;
  info.sizeStart = 0.9f, info.sizeEnd = 0.1f, info.sizeVar = 0.3f;
  info.spinStart = 2, info.spinEnd = 5, info.spinVar = 0.5f;
  info.colourStart = {1, 0.9f, 0.4f, 1}, info.colourEnd = {1, 0.35f, 0.75f, 0};
  info.colourVar = 0.3f, info.alphaVar = 0.1f;
  info.sprite = &particleSprite;
  hgeParticleSystem particles(info);
  particles.FireAt(400, 300);
  for (int i = 0; i < 100; ++i) particles.Update(0.016f);
  hgeFont font(WriteFont(folder).c_str());
  font.SetScale(1.3f);

  int frame = 0;
  hge->System_SetStateFunc(HGE_FRAMEFUNC, [&] {
    particles.Update(hge->Timer_GetDelta());
    return false;
  });
  hge->System_SetStateFunc(HGE_RENDERFUNC, [&] {
    hge->Gfx_BeginScene();
    hge->Gfx_Clear(0);
    if (parts & kBackground) background.Render(0, 0);
    for (int i = 0; i < 300 && (parts & kSprites); ++i) {
      const float x = static_cast<float>((i * 53 + frame * 3) % 800), y = static_cast<float>((i * 97) % 600);
      if (i % 3 == 0) {
        sprites[static_cast<std::size_t>(i)]->RenderEx(x, y, 0.01f * static_cast<float>(frame + i), 0.7f);
      } else {
        sprites[static_cast<std::size_t>(i)]->Render(std::floor(x), y);
      }
    }
    if (parts & kParticles) particles.Render();
    if (parts & kGlyphs) font.Render(20, 20, HGETEXT_LEFT, "00:42 SCORE 98.5 LINE 12 OF 40 COMBO 7 PERFECT GREAT GOOD !!");
    for (int i = 0; i < 100 && (parts & kLines); ++i) {
      hge->Gfx_RenderLine(0, 100.0f + static_cast<float>(i), 800, 100.0f + static_cast<float>(i), 0xFF3F7ECD, 0.5f);
    }
    hge->Gfx_EndScene();
    return false;
  });

  // Wall time and the thread's own processor time per frame: on a busy machine the second shows
  // what the frame costs without the waits for a core.
  std::vector<double> times, cpuTimes;
  for (auto _ : state) {
    const double cpuStart = ThreadCpuMs();
    const auto start = std::chrono::steady_clock::now();
    hge->System_Start();
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    cpuTimes.push_back(ThreadCpuMs() - cpuStart);
    ++frame;
  }
  state.counters["median_ms"] = Median(times);
  state.counters["median_cpu_ms"] = Median(cpuTimes);
  state.counters["particles"] = particles.GetParticlesAlive();
  if (parts == kAll) hge->Gfx_SaveFrame((folder / "busy_frame.png").c_str());
  hge->Release();
}
BENCHMARK(BM_BusyStageFrame)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->ArgName("parts")
    ->Arg(kAll)
    ->Arg(kBackground)
    ->Arg(kSprites)
    ->Arg(kParticles)
    ->Arg(kGlyphs)
    ->Arg(kLines);

}  // namespace
