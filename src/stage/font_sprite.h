#pragma once

#include <cstdint>

namespace sonavera::stage {

/// Text drawn glyph by glyph into the stage. Text is UTF-16 code units (the stage converts its GBK
/// strings with platform::GbkToUtf16); y is the top of the first line's box.
class FontSprite {
 public:
  /// Destroys the object (the only way to free it).
  virtual void Release() = 0;
  /// Formats like swprintf into a buffer of 10240 units (string arguments are wchar_t* with %ls)
  /// and draws the result. Longer output is cut off.
  virtual void Print(float x, float y, const char16_t* format, ...) = 0;
  virtual void Render(float x, float y, const char16_t* text) = 0;
  virtual void RenderScaled(float x, float y, const char16_t* text, float scale) = 0;
  /// Colour multiplied into the white glyphs; i is one corner (0..3) or -1 for all four.
  virtual void SetColor(std::uint32_t color, int i = -1) = 0;
  virtual std::uint32_t GetColor(int i = 0) = 0;
  /// Size of the drawn text's box in pixels.
  virtual void GetTextSize(const char16_t* text, int* width, int* height) = 0;
  /// The character whose cell holds the point (x, y), relative to where the text is drawn; 0 if none.
  virtual char16_t GetCharacterAt(const char16_t* text, float x, float y) = 0;
  /// Extra pixels after every character.
  virtual void SetLetterSpacing(float spacing) = 0;
  /// Extra pixels between lines.
  virtual void SetLineSpacing(float spacing) = 0;
  virtual float GetLetterSpacing() = 0;
  virtual float GetLineSpacing() = 0;
  /// Pixel size of the font.
  virtual float GetFontSize() = 0;

 protected:
  virtual ~FontSprite() = default;
};

/// Opens the TrueType (or TrueType collection) file at `path` at `size` pixels. Null when the file
/// is missing or FreeType cannot open it.
FontSprite* createTypeFont(const char* path, float size);

/// The system font the stage draws its texts with: a sans-serif font with Chinese glyphs, found
/// with fontconfig. "" when none is installed (createTypeFont then returns null).
const char* StageFontPath();

}  // namespace sonavera::stage
