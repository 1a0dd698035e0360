#pragma once

// A headless engine for tests: a real EngineBackend with no window, depth ordering on, a fixed
// frame time and a seeded random generator, and a scratch folder for the files a test writes.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>

#include <QImage>

#include "platform/engine/hge.h"

namespace sonavera::testing {

/// A folder of its own under the system's temporary folder, removed again with the object.
class ScratchFolder {
 public:
  ScratchFolder() {
    static std::atomic<int> counter{0};
    path = std::filesystem::temp_directory_path() /
           ("sonavera-engine-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path path;
};

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hge = platform::hgeCreate(platform::HGE_VERSION);
    ASSERT_NE(hge, nullptr);
    hge->System_SetStateString(platform::HGE_LOGFILE, logPath().c_str());
    hge->System_SetStateBool(platform::HGE_ZBUFFER, true);
    ASSERT_TRUE(hge->System_Initiate());
    hge->Timer_SetFixedDelta(0.016f);
    hge->Random_Seed(12345);
  }
  void TearDown() override { hge->Release(); }

  std::string logPath() const { return scratch.File("temp.log"); }
  std::string Log() const { return scratch.Read("temp.log"); }

  /// Renders one frame: clears to `background`, runs `draw` inside the scene.
  const QImage& Frame(const std::function<void()>& draw, std::uint32_t background = 0xFF000000) {
    hge->System_SetStateFunc(platform::HGE_RENDERFUNC, [&] {
      hge->Gfx_BeginScene();
      hge->Gfx_Clear(background);
      draw();
      hge->Gfx_EndScene();
      return false;
    });
    hge->System_Start();
    return hge->Gfx_GetFrame();
  }

  /// A texture of one colour.
  platform::HTEXTURE SolidTexture(int w, int h, std::uint32_t argb) {
    const platform::HTEXTURE tex = hge->Texture_Create(w, h);
    std::uint32_t* pixels = hge->Texture_Lock(tex, false);
    std::fill(pixels, pixels + static_cast<std::size_t>(hge->Texture_GetWidth(tex)) * h, argb);
    hge->Texture_Unlock(tex);
    return tex;
  }

  /// The frame's pixel as 0xAARRGGBB (the frame is opaque after a clear).
  static std::uint32_t Pixel(const QImage& frame, int x, int y) { return frame.pixel(x, y); }

  ScratchFolder scratch;
  platform::HGE* hge = nullptr;
};

}  // namespace sonavera::testing
