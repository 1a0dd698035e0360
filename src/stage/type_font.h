#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "stage/font_sprite.h"
#include "stage/hge.h"

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace sonavera::stage {

class hgeSprite;

/// FreeType implementation of FontSprite. Each glyph is rasterised once, on first use, into its own
/// engine texture (white, coverage as alpha) and kept until the font is released; drawing is one
/// sprite per character.
class TypeFont final : public FontSprite {
 public:
  TypeFont();

  /// Opens the face from the file (read through the engine's resource loader, else from disk) and
  /// sizes the glyph table. False when a face is already open or the file cannot be read as a font.
  bool Open(const char* path, float size);

  void Release() override;
  void Print(float x, float y, const char16_t* format, ...) override;
  void Render(float x, float y, const char16_t* text) override;
  void RenderScaled(float x, float y, const char16_t* text, float scale) override;
  void SetColor(std::uint32_t color, int i = -1) override;
  std::uint32_t GetColor(int i = 0) override;
  void GetTextSize(const char16_t* text, int* width, int* height) override;
  char16_t GetCharacterAt(const char16_t* text, float x, float y) override;
  void SetLetterSpacing(float spacing) override { letterSpacing = spacing; }
  void SetLineSpacing(float spacing) override { lineSpacing = spacing; }
  float GetLetterSpacing() override { return letterSpacing; }
  float GetLineSpacing() override { return lineSpacing; }
  float GetFontSize() override { return fontSize; }

  /// Horizontal step of one character (its advance, without letter spacing).
  float Advance(char16_t unit);
  /// Number of glyphs rasterised so far (each glyph is rasterised at most once).
  int RasterisedGlyphCount() const { return rasterised; }

 private:
  struct Glyph {
    float left = 0, top = 0, width = 0, height = 0;
    HTEXTURE texture = 0;
    bool rendered = false;  // rasterised (a blank glyph such as space has no texture)
  };

  ~TypeFont() override;
  /// The glyph of one UTF-16 unit, rasterised on first use; null when the face has none.
  const Glyph* glyphOf(char16_t unit);
  void Rasterise(unsigned index, Glyph& glyph);
  float AdvanceOf(char16_t unit, const Glyph* glyph) const;

  FT_Library library = nullptr;
  FT_Face face = nullptr;
  std::vector<unsigned char> fileImage;  // the face reads from this when loaded into memory
  HGE* hge = nullptr;
  std::unique_ptr<hgeSprite> sprite;
  std::vector<Glyph> glyphs;  // one per glyph index - 1
  float letterSpacing = 0;
  float lineSpacing = 0;
  float fontSize = 0;
  int rasterised = 0;
};

}  // namespace sonavera::stage
