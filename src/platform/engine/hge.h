#pragma once

// The 2D engine interface every drawing and sound user of the stage talks to.
//
// Where it lives: the abstract class is declared here, in the platform layer, next to its only
// backend (a QPainter surface with an SDL2 mixer, engine_backend.*). The platform layer depends on
// nothing of ours, so the backend can implement it; the stage includes it through "stage/hge.h",
// which brings the names into sonavera::stage. Nothing here names a stage type.
//
// References: every user (the stage, each font, sprite, animation and particle system) takes its own
// reference with hgeCreate(HGE_VERSION) and gives it back with Release(). The first hgeCreate makes
// the engine object; it lives until the last reference is released. All operations run on the
// user-interface thread unless a comment says otherwise.
//
// Handles (textures, effects, channels) are opaque non-zero integers; 0 means failure or none.
// Colours are 0xAARRGGBB. Positions are stage pixels, origin top-left, y down. Depth z runs 0..1,
// smaller in front. File names are UTF-8; '\' is accepted as a folder separator and relative names
// are taken from the program folder.

#include <cstdint>
#include <functional>

class QImage;

// The engine's names sit in an inline namespace so the stage can import them alone.
namespace sonavera::platform {
inline namespace engine {

inline constexpr int HGE_VERSION = 0x180;

using HTEXTURE = std::uint32_t;
using HEFFECT = std::uint32_t;
using HCHANNEL = std::uint32_t;
/// Opaque window handle: a QWidget* when given as HGE_HWNDPARENT; see HGE_HWND for what comes back.
using HWND = void*;

/// Frame and render callbacks. The engine ignores the result of the frame callback in child-window
/// mode (one frame per System_Start).
using hgeCallback = std::function<bool()>;

// Blend mode bits of quads and sprites.
inline constexpr int BLEND_COLORADD = 1;    ///< rgb = texel + vertex colour
inline constexpr int BLEND_COLORMUL = 0;    ///< rgb = texel * vertex colour
inline constexpr int BLEND_ALPHABLEND = 2;  ///< dst = src*a + dst*(1-a)
inline constexpr int BLEND_ALPHAADD = 0;    ///< dst = src*a + dst (additive)
inline constexpr int BLEND_ZWRITE = 4;      ///< writes depth
inline constexpr int BLEND_NOZWRITE = 0;
inline constexpr int BLEND_DEFAULT = BLEND_COLORMUL | BLEND_ALPHABLEND | BLEND_NOZWRITE;
inline constexpr int BLEND_DEFAULT_Z = BLEND_COLORMUL | BLEND_ALPHABLEND | BLEND_ZWRITE;

// Engine states (the numbers are the ones callers pass).
enum hgeBoolState {
  HGE_WINDOWED = 1,
  HGE_ZBUFFER = 2,
  HGE_TEXTUREFILTER = 3,
  HGE_USESOUND = 4,
  HGE_DONTSUSPEND = 5,
  HGE_HIDEMOUSE = 6,
  HGE_SHOWSPLASH = 7,
};
enum hgeFuncState {
  HGE_FRAMEFUNC = 8,
  HGE_RENDERFUNC = 9,
  HGE_FOCUSLOSTFUNC = 10,
  HGE_FOCUSGAINFUNC = 11,
  HGE_GFXRESTOREFUNC = 12,
  HGE_EXITFUNC = 13,
};
enum hgeHwndState {
  HGE_HWND = 15,        ///< the engine's own window (read only)
  HGE_HWNDPARENT = 16,  ///< the host widget (QWidget*) the engine's view is placed into
};
enum hgeIntState {
  HGE_SCREENWIDTH = 17,
  HGE_SCREENHEIGHT = 18,
  HGE_SCREENBPP = 19,
  HGE_SAMPLERATE = 20,
  HGE_FXVOLUME = 21,
  HGE_MUSVOLUME = 22,
  HGE_STREAMVOLUME = 23,
  HGE_FPS = 24,
  HGE_POWERSTATUS = 25,
};
enum hgeStringState {
  HGE_ICON = 26,
  HGE_TITLE = 27,
  HGE_INIFILE = 28,
  HGE_LOGFILE = 29,
};

// Key codes (virtual-key numbers). Mouse buttons are keys too.
inline constexpr int HGEK_LBUTTON = 0x01;
inline constexpr int HGEK_RBUTTON = 0x02;
inline constexpr int HGEK_MBUTTON = 0x04;
inline constexpr int HGEK_BACKSPACE = 0x08;
inline constexpr int HGEK_TAB = 0x09;
inline constexpr int HGEK_ENTER = 0x0D;
inline constexpr int HGEK_SHIFT = 0x10;
inline constexpr int HGEK_CTRL = 0x11;
inline constexpr int HGEK_ALT = 0x12;
inline constexpr int HGEK_ESCAPE = 0x1B;
inline constexpr int HGEK_SPACE = 0x20;
inline constexpr int HGEK_PGUP = 0x21;
inline constexpr int HGEK_PGDN = 0x22;
inline constexpr int HGEK_END = 0x23;
inline constexpr int HGEK_HOME = 0x24;
inline constexpr int HGEK_LEFT = 0x25;
inline constexpr int HGEK_UP = 0x26;
inline constexpr int HGEK_RIGHT = 0x27;
inline constexpr int HGEK_DOWN = 0x28;
inline constexpr int HGEK_INSERT = 0x2D;
inline constexpr int HGEK_DELETE = 0x2E;
inline constexpr int HGEK_0 = 0x30;  ///< digits 0x30..0x39
inline constexpr int HGEK_A = 0x41;  ///< letters 0x41..0x5A
inline constexpr int HGEK_F1 = 0x70; ///< F1..F12 = 0x70..0x7B

/// One corner of a quad: position, depth, colour and texture coordinates (0..1 of the texture).
struct hgeVertex {
  float x = 0, y = 0;
  float z = 0.5f;
  std::uint32_t col = 0xFFFFFFFF;
  float tx = 0, ty = 0;
};

/// A textured quad; corners clockwise from top-left (0 top-left, 1 top-right, 2 bottom-right,
/// 3 bottom-left). tex 0 draws the vertex colour only.
struct hgeQuad {
  hgeVertex v[4];
  HTEXTURE tex = 0;
  int blend = BLEND_DEFAULT;
};

/// The engine. Pure interface; get one with hgeCreate().
class HGE {
 public:
  /// Gives back this reference; the engine is destroyed with the last one.
  virtual void Release() = 0;

  // --- System ---------------------------------------------------------------------------------
  /// Starts the engine with the states set so far: a view widget inside HGE_HWNDPARENT when one was
  /// given, headless otherwise. False on failure.
  virtual bool System_Initiate() = 0;
  virtual void System_Shutdown() = 0;
  /// Runs one frame: frame callback, then render callback, then presents the frame and clears the
  /// key edges. Returns false (the caller keeps ticking).
  virtual bool System_Start() = 0;
  virtual void System_SetStateBool(hgeBoolState state, bool value) = 0;
  virtual void System_SetStateFunc(hgeFuncState state, hgeCallback value) = 0;
  virtual void System_SetStateHwnd(hgeHwndState state, HWND value) = 0;
  virtual void System_SetStateInt(hgeIntState state, int value) = 0;
  /// HGE_LOGFILE names the log (relative names from the program folder) and empties it.
  virtual void System_SetStateString(hgeStringState state, const char* value) = 0;
  virtual bool System_GetStateBool(hgeBoolState state) = 0;
  /// HGE_HWND: the view widget (a QWidget*), or while initiated headless a non-null token, so
  /// callers that tick "while the engine window exists" keep working without a window.
  virtual HWND System_GetStateHwnd(hgeHwndState state) = 0;
  virtual int System_GetStateInt(hgeIntState state) = 0;
  virtual const char* System_GetStateString(hgeStringState state) = 0;
  /// Appends one formatted line to the log file (nothing when no log file is set).
  virtual void System_Log(const char* format, ...) __attribute__((format(printf, 2, 3))) = 0;

  // --- Resources ------------------------------------------------------------------------------
  /// Reads a whole file into memory (free it with Resource_Free); nullptr and *size 0 on failure.
  virtual void* Resource_Load(const char* filename, std::uint32_t* size = nullptr) = 0;
  virtual void Resource_Free(void* data) = 0;
  /// The full path a resource name resolves to ('\' to '/', relative names from the program folder).
  virtual const char* Resource_MakePath(const char* filename) = 0;

  // --- Timer and random -----------------------------------------------------------------------
  /// Seconds since System_Initiate.
  virtual float Timer_GetTime() = 0;
  /// Seconds between the start of the previous frame and the start of this one.
  virtual float Timer_GetDelta() = 0;
  virtual int Timer_GetFPS() = 0;
  /// 0 (default): the timer follows the real clock. > 0: each System_Start advances the timer by
  /// exactly that many seconds (headless tests and tools that need repeatable frames).
  virtual void Timer_SetFixedDelta(float seconds) = 0;

  virtual void Random_Seed(int seed = 0) = 0;
  /// Uniform integer in [min, max].
  virtual int Random_Int(int min, int max) = 0;
  /// Uniform value in [min, max].
  virtual float Random_Float(float min, float max) = 0;

  // --- Textures -------------------------------------------------------------------------------
  /// Loads a PNG or JPEG file (size 0), or decodes `size` bytes at `filename` when size > 0.
  virtual HTEXTURE Texture_Load(const char* filename, std::uint32_t size = 0, bool mipmap = false) = 0;
  /// A blank (transparent black) 32-bit texture.
  virtual HTEXTURE Texture_Create(int width, int height) = 0;
  virtual void Texture_Free(HTEXTURE tex) = 0;
  /// Width of the texture; `original` asks for the size the texture was made with rather than the
  /// size of its surface (both are equal in this engine, and both are the lock pitch).
  virtual int Texture_GetWidth(HTEXTURE tex, bool original = false) = 0;
  virtual int Texture_GetHeight(HTEXTURE tex, bool original = false) = 0;
  /// Writable 0xAARRGGBB pixels (not premultiplied), row pitch = Texture_GetWidth(tex); nullptr on
  /// failure. The region arguments are accepted for compatibility; the whole surface is returned.
  virtual std::uint32_t* Texture_Lock(HTEXTURE tex, bool readOnly = true, int left = 0, int top = 0,
                                      int width = 0, int height = 0) = 0;
  virtual void Texture_Unlock(HTEXTURE tex) = 0;

  // --- Graphics -------------------------------------------------------------------------------
  /// Starts the scene of this frame. Primitives are depth-ordered when the scene ends.
  virtual bool Gfx_BeginScene() = 0;
  /// Fills the frame with `color` and forgets the primitives queued so far (colour and depth clear).
  virtual void Gfx_Clear(std::uint32_t color) = 0;
  /// Draws the queued primitives, farthest first (larger z first; equal z in call order).
  virtual void Gfx_EndScene() = 0;
  /// A one-pixel line in an 0xAARRGGBB colour at depth z (alpha-blended).
  virtual void Gfx_RenderLine(float x1, float y1, float x2, float y2, std::uint32_t color = 0xFFFFFFFF,
                              float z = 0.5f) = 0;
  virtual void Gfx_RenderQuad(const hgeQuad* quad) = 0;
  /// The last finished frame (screen width x height, premultiplied ARGB32).
  virtual const QImage& Gfx_GetFrame() = 0;
  /// Writes the last finished frame as a PNG; false on failure.
  virtual bool Gfx_SaveFrame(const char* filename) = 0;

  // --- Sound ----------------------------------------------------------------------------------
  /// Decodes an MP3 or WAV file (size 0), or `size` bytes at `filename`, into memory (16-bit stereo
  /// 44100 Hz). 0 when the file is missing or cannot be decoded.
  virtual HEFFECT Effect_Load(const char* filename, std::uint32_t size = 0) = 0;
  /// Stops every channel of the effect and frees it.
  virtual void Effect_Free(HEFFECT eff) = 0;
  virtual HCHANNEL Effect_Play(HEFFECT eff) = 0;
  /// volume 0..100, pan -100 (left)..100 (right); pitch other than 1 is played at 1. 0 for a null
  /// effect or when no audio output can be opened.
  virtual HCHANNEL Effect_PlayEx(HEFFECT eff, int volume = 100, int pan = 0, float pitch = 1.0f,
                                 bool loop = false) = 0;
  virtual void Channel_SetPanning(HCHANNEL chn, int pan) = 0;
  virtual void Channel_SetVolume(HCHANNEL chn, int volume) = 0;
  virtual void Channel_SetPitch(HCHANNEL chn, float pitch) = 0;
  virtual void Channel_Pause(HCHANNEL chn) = 0;
  virtual void Channel_Resume(HCHANNEL chn) = 0;
  virtual void Channel_Stop(HCHANNEL chn) = 0;
  virtual void Channel_StopAll() = 0;
  virtual bool Channel_IsPlaying(HCHANNEL chn) = 0;
  /// Length of the channel's sound in seconds; 0 for a null or stale channel.
  virtual float Channel_GetLength(HCHANNEL chn) = 0;
  /// Position in seconds, counted from the samples handed to the audio device: the song clock.
  /// Steady and monotonic while playing (a looping channel wraps); stays at the end when finished.
  virtual float Channel_GetPos(HCHANNEL chn) = 0;
  virtual void Channel_SetPos(HCHANNEL chn, float seconds) = 0;

  // --- Input ----------------------------------------------------------------------------------
  /// Mouse position in stage pixels.
  virtual void Input_GetMousePos(float* x, float* y) = 0;
  virtual void Input_SetMousePos(float x, float y) = 0;
  /// True during the frame after `key` went down (mouse buttons included; no auto-repeat).
  virtual bool Input_KeyDown(int key) = 0;
  /// True during the frame after `key` went up.
  virtual bool Input_KeyUp(int key) = 0;
  /// True while `key` is held.
  virtual bool Input_GetKeyState(int key) = 0;
  /// Feeds a key or mouse-button change into the input state (the view calls this; tests may too).
  virtual void Input_Feed(int key, bool down) = 0;

 protected:
  virtual ~HGE() = default;
};

/// Takes a reference to the process's engine, creating it first when there is none. Returns
/// nullptr when `version` is not HGE_VERSION.
HGE* hgeCreate(int version);

}  // namespace engine
}  // namespace sonavera::platform
