#include "platform/engine/engine_backend.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QImage>

#include "platform/engine/engine_view.h"
#include "platform/program_folder.h"

namespace sonavera::platform {

namespace {

EngineBackend* theEngine = nullptr;

// Largest file Resource_Load reads whole (fonts, particle systems, songs).
constexpr long kMaxResourceBytes = 512L * 1024 * 1024;

}  // namespace

HGE* engine::hgeCreate(int version) {
  if (version != HGE_VERSION) return nullptr;
  if (theEngine != nullptr) {
    theEngine->AddRef();
  } else {
    theEngine = new EngineBackend();
  }
  return theEngine;
}

EngineBackend::EngineBackend() {
  startTime = lastFrame = fpsStart = std::chrono::steady_clock::now();
  random.seed(std::random_device{}());
}

EngineBackend::~EngineBackend() {
  System_Shutdown();
  theEngine = nullptr;
}

void EngineBackend::Release() {
  if (--references == 0) delete this;
}

// --- System -------------------------------------------------------------------------------------

bool EngineBackend::System_Initiate() {
  if (initiated) return true;
  System_Log("Sonavera engine: %dx%d, %s", screenWidth, screenHeight, host ? "in the host window" : "headless");
  scene.SetSize(screenWidth, screenHeight);
  scene.SetDepthOrdering(zBuffer);
  if (host != nullptr) {
    if (QApplication::instance() == nullptr) {
      System_Log("No application object: the engine window cannot be made");
      return false;
    }
    view = new EngineView(*this, host);
    view->show();
  }
  startTime = lastFrame = fpsStart = std::chrono::steady_clock::now();
  manualTime = 0;
  delta = 0;
  initiated = true;
  return true;
}

void EngineBackend::System_Shutdown() {
  mixer.CloseOutput();
  mixer.FreeAll();
  textures.FreeAll();
  delete view.data();  // null once the host has deleted it with its children
  view = nullptr;
  initiated = false;
}

bool EngineBackend::System_Start() {
  if (!initiated) return false;
  const auto now = std::chrono::steady_clock::now();
  if (fixedDelta > 0) {
    delta = fixedDelta;
    manualTime += fixedDelta;
  } else {
    delta = std::chrono::duration<float>(now - lastFrame).count();
  }
  lastFrame = now;
  ++framesThisSecond;
  if (now - fpsStart >= std::chrono::seconds(1)) {
    fps = framesThisSecond;
    framesThisSecond = 0;
    fpsStart = now;
  }
  if (frameFunc) frameFunc();
  if (renderFunc) renderFunc();
  if (scene.InScene()) scene.End();  // a render callback that forgot to end its scene
  keyPressed.fill(false);
  keyReleased.fill(false);
  if (view != nullptr) view->update();
  return false;
}

void EngineBackend::System_SetStateBool(hgeBoolState state, bool value) {
  switch (state) {
    case HGE_WINDOWED: windowed = value; break;
    case HGE_ZBUFFER:
      zBuffer = value;
      scene.SetDepthOrdering(value);
      break;
    case HGE_TEXTUREFILTER: textureFilter = value; break;
    case HGE_USESOUND: useSound = value; break;
    case HGE_SHOWSPLASH: showSplash = value; break;
    default: break;
  }
}

void EngineBackend::System_SetStateFunc(hgeFuncState state, hgeCallback value) {
  if (state == HGE_FRAMEFUNC) frameFunc = std::move(value);
  if (state == HGE_RENDERFUNC) renderFunc = std::move(value);
}

void EngineBackend::System_SetStateHwnd(hgeHwndState state, HWND value) {
  if (state == HGE_HWNDPARENT && !initiated) host = static_cast<QWidget*>(value);
}

void EngineBackend::System_SetStateInt(hgeIntState state, int value) {
  if (initiated) return;  // the surface size is fixed once started
  if (state == HGE_SCREENWIDTH && value > 0 && value <= 8192) screenWidth = value;
  if (state == HGE_SCREENHEIGHT && value > 0 && value <= 8192) screenHeight = value;
}

void EngineBackend::System_SetStateString(hgeStringState state, const char* value) {
  if (state == HGE_TITLE) title = value ? value : "";
  if (state == HGE_LOGFILE) {
    logFile = value && *value ? Resource_MakePath(value) : "";
    if (!logFile.empty()) {
      if (std::FILE* f = std::fopen(logFile.c_str(), "w")) std::fclose(f);
    }
  }
}

bool EngineBackend::System_GetStateBool(hgeBoolState state) {
  switch (state) {
    case HGE_WINDOWED: return windowed;
    case HGE_ZBUFFER: return zBuffer;
    case HGE_TEXTUREFILTER: return textureFilter;
    case HGE_USESOUND: return useSound;
    case HGE_SHOWSPLASH: return showSplash;
    default: return false;
  }
}

HWND EngineBackend::System_GetStateHwnd(hgeHwndState state) {
  if (state == HGE_HWNDPARENT) return host;
  if (!initiated) return nullptr;
  if (view != nullptr) return static_cast<QWidget*>(view.data());
  return this;  // headless: a non-null token
}

int EngineBackend::System_GetStateInt(hgeIntState state) {
  switch (state) {
    case HGE_SCREENWIDTH: return screenWidth;
    case HGE_SCREENHEIGHT: return screenHeight;
    case HGE_SCREENBPP: return 32;
    case HGE_SAMPLERATE: return kSoundRate;
    default: return 0;
  }
}

const char* EngineBackend::System_GetStateString(hgeStringState state) {
  if (state == HGE_TITLE) return title.c_str();
  if (state == HGE_LOGFILE) return logFile.empty() ? nullptr : logFile.c_str();
  return nullptr;
}

void EngineBackend::System_Log(const char* format, ...) {
  if (logFile.empty() || format == nullptr) return;
  std::FILE* f = std::fopen(logFile.c_str(), "a");
  if (f == nullptr) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(f, format, args);
  va_end(args);
  std::fputc('\n', f);
  std::fclose(f);
}

// --- Resources ----------------------------------------------------------------------------------

const char* EngineBackend::Resource_MakePath(const char* filename) {
  std::string name = filename ? filename : "";
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  madePath = (!name.empty() && name[0] == '/') ? name : ProgramFolder() + name;
  return madePath.c_str();
}

void* EngineBackend::Resource_Load(const char* filename, std::uint32_t* size) {
  if (size) *size = 0;
  if (filename == nullptr || *filename == '\0') return nullptr;
  std::FILE* f = std::fopen(Resource_MakePath(filename), "rb");
  if (f == nullptr) return nullptr;
  void* data = nullptr;
  long length = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
  if (length >= 0 && length <= kMaxResourceBytes && std::fseek(f, 0, SEEK_SET) == 0) {
    data = std::malloc(static_cast<std::size_t>(length) + 1);  // never a zero-size block
    if (data && std::fread(data, 1, static_cast<std::size_t>(length), f) != static_cast<std::size_t>(length)) {
      std::free(data);
      data = nullptr;
    }
  }
  std::fclose(f);
  if (data && size) *size = static_cast<std::uint32_t>(length);
  return data;
}

void EngineBackend::Resource_Free(void* data) { std::free(data); }

// --- Timer and random ---------------------------------------------------------------------------

float EngineBackend::Timer_GetTime() {
  if (fixedDelta > 0) return static_cast<float>(manualTime);
  return std::chrono::duration<float>(std::chrono::steady_clock::now() - startTime).count();
}

void EngineBackend::Random_Seed(int seed) {
  random.seed(seed == 0 ? std::random_device{}() : static_cast<std::uint32_t>(seed));
}

int EngineBackend::Random_Int(int min, int max) {
  if (max <= min) return min;
  const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(max) - min) + 1;
  return static_cast<int>(min + static_cast<std::int64_t>(random() % span));
}

float EngineBackend::Random_Float(float min, float max) {
  const double unit = random() / 4294967295.0;
  return static_cast<float>(min + unit * (static_cast<double>(max) - min));
}

// --- Textures -----------------------------------------------------------------------------------

HTEXTURE EngineBackend::Texture_Load(const char* filename, std::uint32_t size, bool) {
  if (size > 0) return textures.Load(reinterpret_cast<const unsigned char*>(filename), size);
  std::uint32_t length = 0;
  void* data = Resource_Load(filename, &length);
  if (data == nullptr) {
    System_Log("Can't load texture: %s", filename ? filename : "(null)");
    return 0;
  }
  const HTEXTURE tex = textures.Load(static_cast<const unsigned char*>(data), length);
  Resource_Free(data);
  if (tex == 0) System_Log("Can't create texture: %s", filename);
  return tex;
}

HTEXTURE EngineBackend::Texture_Create(int width, int height) { return textures.Create(width, height); }

void EngineBackend::Texture_Free(HTEXTURE tex) { textures.Free(tex); }

int EngineBackend::Texture_GetWidth(HTEXTURE tex, bool) { return textures.Width(tex); }

int EngineBackend::Texture_GetHeight(HTEXTURE tex, bool) { return textures.Height(tex); }

std::uint32_t* EngineBackend::Texture_Lock(HTEXTURE tex, bool, int, int, int, int) { return textures.Lock(tex); }

void EngineBackend::Texture_Unlock(HTEXTURE tex) { textures.Unlock(tex); }

// --- Graphics -----------------------------------------------------------------------------------

bool EngineBackend::Gfx_BeginScene() {
  if (scene.InScene()) return false;
  scene.Begin();
  return true;
}

void EngineBackend::Gfx_Clear(std::uint32_t color) { scene.Clear(color); }

void EngineBackend::Gfx_EndScene() { scene.End(); }

void EngineBackend::Gfx_RenderLine(float x1, float y1, float x2, float y2, std::uint32_t color, float z) {
  scene.Line(x1, y1, x2, y2, color, z);
}

void EngineBackend::Gfx_RenderQuad(const hgeQuad* quad) {
  if (quad != nullptr) scene.Quad(*quad);
}

bool EngineBackend::Gfx_SaveFrame(const char* filename) {
  return filename != nullptr && scene.Frame().save(QString::fromUtf8(Resource_MakePath(filename)), "PNG");
}

// --- Sound --------------------------------------------------------------------------------------

HEFFECT EngineBackend::Effect_Load(const char* filename, std::uint32_t size) {
  std::unique_ptr<Sound> sound;
  if (size > 0) {
    sound = DecodeSound(reinterpret_cast<const unsigned char*>(filename), size);
  } else {
    std::uint32_t length = 0;
    void* data = Resource_Load(filename, &length);
    if (data == nullptr) {
      System_Log("Can't load sound: %s", filename ? filename : "(null)");
      return 0;
    }
    sound = DecodeSound(static_cast<const unsigned char*>(data), length);
    Resource_Free(data);
  }
  if (!sound) {
    System_Log("Can't decode sound: %s", size > 0 ? "(memory)" : filename);
    return 0;
  }
  return mixer.AddEffect(std::move(sound));
}

void EngineBackend::Effect_Free(HEFFECT eff) { mixer.FreeEffect(eff); }

HCHANNEL EngineBackend::Effect_PlayEx(HEFFECT eff, int volume, int pan, float, bool loop) {
  if (eff == 0) return 0;
  if (useSound && !mixer.OutputOpen() && !mixer.OpenOutput()) {
    System_Log("No audio output: sounds stay silent");
    useSound = false;  // asked once; channels still run through Mix() for offline use
  }
  return mixer.Play(eff, volume, pan, loop);
}

float EngineBackend::Channel_GetLength(HCHANNEL chn) {
  const std::int64_t frames = mixer.LengthFrames(chn);
  return frames < 0 ? 0.0f : static_cast<float>(static_cast<double>(frames) / kSoundRate);
}

float EngineBackend::Channel_GetPos(HCHANNEL chn) {
  const std::int64_t frames = mixer.PositionFrames(chn);
  return frames < 0 ? 0.0f : static_cast<float>(static_cast<double>(frames) / kSoundRate);
}

void EngineBackend::Channel_SetPos(HCHANNEL chn, float seconds) {
  if (!(seconds >= 0)) seconds = 0;  // NaN too
  mixer.SetPositionFrames(chn, static_cast<std::int64_t>(static_cast<double>(seconds) * kSoundRate + 0.5));
}

// --- Input --------------------------------------------------------------------------------------

void EngineBackend::Input_GetMousePos(float* x, float* y) {
  if (x) *x = mouseX;
  if (y) *y = mouseY;
}

bool EngineBackend::Input_KeyDown(int key) { return ValidKey(key) && keyPressed[static_cast<std::size_t>(key)]; }

bool EngineBackend::Input_KeyUp(int key) { return ValidKey(key) && keyReleased[static_cast<std::size_t>(key)]; }

bool EngineBackend::Input_GetKeyState(int key) { return ValidKey(key) && keyHeld[static_cast<std::size_t>(key)]; }

void EngineBackend::Input_Feed(int key, bool down) {
  if (!ValidKey(key)) return;
  const auto k = static_cast<std::size_t>(key);
  if (down) {
    keyPressed[k] = true;  // a double-click presses again while held
  } else if (keyHeld[k]) {
    keyReleased[k] = true;
  }
  keyHeld[k] = down;
}

}  // namespace sonavera::platform
