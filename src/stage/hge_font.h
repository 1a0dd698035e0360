#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "stage/hge_sprite.h"

namespace sonavera::stage {

// Text alignment: horizontal bits (mask 0x03) and vertical bits (mask 0x0C, printfb only).
inline constexpr int HGETEXT_LEFT = 0;
inline constexpr int HGETEXT_RIGHT = 1;
inline constexpr int HGETEXT_CENTER = 2;
inline constexpr int HGETEXT_HORZMASK = 0x03;
inline constexpr int HGETEXT_TOP = 0;
inline constexpr int HGETEXT_BOTTOM = 4;
inline constexpr int HGETEXT_MIDDLE = 8;
inline constexpr int HGETEXT_VERTMASK = 0x0C;

/// A bitmap font read from a "[HGEFONT]" description and its bitmap: one sprite per byte value.
/// A missing or malformed file leaves the font empty (it draws nothing); the reason goes to the
/// engine log. Text is 8-bit bytes; a byte with no glyph is drawn as '?'.
class hgeFont {
 public:
  explicit hgeFont(const char* filename, bool mipmap = false);
  ~hgeFont();
  hgeFont(const hgeFont&) = delete;
  hgeFont& operator=(const hgeFont&) = delete;

  /// True when the description and its bitmap were read.
  bool IsLoaded() const { return texture != 0; }

  /// Draws the text with (x, y) as the top of the first line; '\n' starts a new line.
  void Render(float x, float y, int align, const char* text);
  /// Formats (at most 1023 bytes) and draws.
  [[gnu::format(printf, 5, 6)]] void printf(float x, float y, int align, const char* format, ...);
  /// Formats, wraps the words to width w and places the block in the box (x, y, w, h).
  [[gnu::format(printf, 7, 8)]] void printfb(float x, float y, float w, float h, int align, const char* format,
                                             ...);

  void SetColor(std::uint32_t col);
  void SetZ(float z);
  void SetBlendMode(int blend);
  void SetScale(float s) { scale = s; }
  void SetProportion(float p) { proportion = p; }
  void SetRotation(float r) { rotation = r; }
  void SetTracking(float t) { tracking = t; }
  void SetSpacing(float s) { spacing = s; }

  std::uint32_t GetColor() const { return color; }
  float GetZ() const { return z; }
  int GetBlendMode() const { return blend; }
  float GetScale() const { return scale; }
  float GetProportion() const { return proportion; }
  float GetRotation() const { return rotation; }
  float GetTracking() const { return tracking; }
  float GetSpacing() const { return spacing; }
  /// Height of the tallest glyph cell, unscaled.
  float GetHeight() const { return height; }

  hgeSprite* GetSprite(unsigned char chr) const { return letters[chr].get(); }
  float GetPreWidth(unsigned char chr) const { return pre[chr]; }
  float GetPostWidth(unsigned char chr) const { return post[chr]; }
  /// Width of the first line, or of the widest line when multiline.
  float GetStringWidth(const char* text, bool multiline = true) const;

 private:
  bool Parse(const std::string& description, const std::string& folder, const char* filename);
  bool ParseChar(const std::string& line, int lineNumber, const char* filename);
  /// The glyph drawn for a byte: its own, else '?', else -1.
  int GlyphOf(unsigned char chr) const;
  float LineWidth(const char* text) const;

  HGE* hge;
  HTEXTURE texture = 0;
  std::array<std::unique_ptr<hgeSprite>, 256> letters;
  std::array<float, 256> pre{}, post{};
  float height = 0;
  float scale = 1, proportion = 1, rotation = 0, tracking = 0, spacing = 1;
  std::uint32_t color = 0xFFFFFFFF;
  float z = 0.5f;
  int blend = platform::BLEND_DEFAULT;
  char buffer[1024] = {};
};

}  // namespace sonavera::stage
