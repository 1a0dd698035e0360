#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include <QPointer>

#include "platform/engine/hge.h"
#include "platform/engine/scene_painter.h"
#include "platform/engine/sound_mixer.h"
#include "platform/engine/texture_store.h"

namespace sonavera::platform {

class EngineView;

/// The engine: a QPainter surface of the stage size (800 x 600 unless set otherwise), shown by an
/// EngineView inside the host widget, or headless when no host is given; sound through SoundMixer.
/// Made by hgeCreate(); one per process. User-interface thread only.
class EngineBackend final : public HGE {
 public:
  EngineBackend();
  ~EngineBackend() override;

  void AddRef() { ++references; }
  void Release() override;

  bool System_Initiate() override;
  void System_Shutdown() override;
  bool System_Start() override;
  void System_SetStateBool(hgeBoolState state, bool value) override;
  void System_SetStateFunc(hgeFuncState state, hgeCallback value) override;
  void System_SetStateHwnd(hgeHwndState state, HWND value) override;
  void System_SetStateInt(hgeIntState state, int value) override;
  void System_SetStateString(hgeStringState state, const char* value) override;
  bool System_GetStateBool(hgeBoolState state) override;
  HWND System_GetStateHwnd(hgeHwndState state) override;
  int System_GetStateInt(hgeIntState state) override;
  const char* System_GetStateString(hgeStringState state) override;
  [[gnu::format(printf, 2, 3)]] void System_Log(const char* format, ...) override;

  void* Resource_Load(const char* filename, std::uint32_t* size) override;
  void Resource_Free(void* data) override;
  const char* Resource_MakePath(const char* filename) override;

  float Timer_GetTime() override;
  float Timer_GetDelta() override { return delta; }
  int Timer_GetFPS() override { return fps; }
  void Timer_SetFixedDelta(float seconds) override { fixedDelta = seconds > 0 ? seconds : 0; }

  void Random_Seed(int seed) override;
  int Random_Int(int min, int max) override;
  float Random_Float(float min, float max) override;

  HTEXTURE Texture_Load(const char* filename, std::uint32_t size, bool mipmap) override;
  HTEXTURE Texture_Create(int width, int height) override;
  void Texture_Free(HTEXTURE tex) override;
  int Texture_GetWidth(HTEXTURE tex, bool original) override;
  int Texture_GetHeight(HTEXTURE tex, bool original) override;
  std::uint32_t* Texture_Lock(HTEXTURE tex, bool readOnly, int left, int top, int width, int height) override;
  void Texture_Unlock(HTEXTURE tex) override;

  bool Gfx_BeginScene() override;
  void Gfx_Clear(std::uint32_t color) override;
  void Gfx_EndScene() override;
  void Gfx_RenderLine(float x1, float y1, float x2, float y2, std::uint32_t color, float z) override;
  void Gfx_RenderQuad(const hgeQuad* quad) override;
  const QImage& Gfx_GetFrame() override { return scene.Frame(); }
  bool Gfx_SaveFrame(const char* filename) override;

  HEFFECT Effect_Load(const char* filename, std::uint32_t size) override;
  void Effect_Free(HEFFECT eff) override;
  HCHANNEL Effect_Play(HEFFECT eff) override { return Effect_PlayEx(eff, 100, 0, 1.0f, false); }
  HCHANNEL Effect_PlayEx(HEFFECT eff, int volume, int pan, float pitch, bool loop) override;
  void Channel_SetPanning(HCHANNEL chn, int pan) override { mixer.SetPan(chn, pan); }
  void Channel_SetVolume(HCHANNEL chn, int volume) override { mixer.SetVolume(chn, volume); }
  void Channel_SetPitch(HCHANNEL, float) override {}
  void Channel_Pause(HCHANNEL chn) override { mixer.SetPaused(chn, true); }
  void Channel_Resume(HCHANNEL chn) override { mixer.SetPaused(chn, false); }
  void Channel_Stop(HCHANNEL chn) override { mixer.Stop(chn); }
  void Channel_StopAll() override { mixer.StopAll(); }
  bool Channel_IsPlaying(HCHANNEL chn) override { return mixer.IsPlaying(chn); }
  float Channel_GetLength(HCHANNEL chn) override;
  float Channel_GetPos(HCHANNEL chn) override;
  void Channel_SetPos(HCHANNEL chn, float seconds) override;

  void Input_GetMousePos(float* x, float* y) override;
  void Input_SetMousePos(float x, float y) override { mouseX = x, mouseY = y; }
  bool Input_KeyDown(int key) override;
  bool Input_KeyUp(int key) override;
  bool Input_GetKeyState(int key) override;
  void Input_Feed(int key, bool down) override;

  /// The sound mixer (for offline mixing while no output is open).
  SoundMixer& Mixer() { return mixer; }

 private:
  static bool ValidKey(int key) { return key > 0 && key < 256; }

  int references = 1;
  bool initiated = false;

  // States.
  bool windowed = true, zBuffer = false, textureFilter = true, useSound = true, showSplash = false;
  hgeCallback frameFunc, renderFunc;
  QWidget* host = nullptr;
  int screenWidth = 800, screenHeight = 600;
  std::string title = "HGE", logFile, madePath;

  // Timer.
  std::chrono::steady_clock::time_point startTime, lastFrame, fpsStart;
  double manualTime = 0;
  float delta = 0, fixedDelta = 0;
  int fps = 0, framesThisSecond = 0;

  std::mt19937 random;

  TextureStore textures;
  ScenePainter scene{textures};
  SoundMixer mixer;
  QPointer<EngineView> view;

  // Input: level and the edges of the current frame.
  std::array<bool, 256> keyHeld{}, keyPressed{}, keyReleased{};
  float mouseX = 0, mouseY = 0;
};

}  // namespace sonavera::platform
