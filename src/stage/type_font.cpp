#include "stage/type_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <string>

#include "platform/font_locator.h"
#include "stage/hge_sprite.h"

namespace sonavera::stage {
namespace {

constexpr size_t kPrintBufferUnits = 10240;

}  // namespace

FontSprite* createTypeFont(const char* path, float size) {
  if (!path || !*path || size <= 0) return nullptr;
  auto* font = new TypeFont;
  if (!font->Open(path, size)) {
    font->Release();
    return nullptr;
  }
  return font;
}

const char* StageFontPath() {
  static const std::string path = platform::CjkSansFontFile();
  return path.c_str();
}

TypeFont::TypeFont() : hge(hgeCreate(HGE_VERSION)) {
  sprite = std::make_unique<hgeSprite>(0, 0.0f, 0.0f, 0.0f, 0.0f);
  sprite->SetColor(0xFFFFFFFF);
}

TypeFont::~TypeFont() {
  if (hge) {
    for (Glyph& g : glyphs)
      if (g.texture) hge->Texture_Free(g.texture);
  }
  if (face) FT_Done_Face(face);
  if (library) FT_Done_FreeType(library);
  sprite.reset();
  if (hge) hge->Release();
}

void TypeFont::Release() { delete this; }

bool TypeFont::Open(const char* path, float size) {
  if (face || library) return false;
  if (FT_Init_FreeType(&library)) {
    library = nullptr;
    return false;
  }
  // The engine's loader also reads resource packs; fall back to the file itself.
  std::uint32_t bytes = 0;
  void* data = hge ? hge->Resource_Load(path, &bytes) : nullptr;
  FT_Error err;
  if (data && bytes > 0) {
    const auto* begin = static_cast<const unsigned char*>(data);
    fileImage.assign(begin, begin + bytes);
    hge->Resource_Free(data);
    err = FT_New_Memory_Face(library, fileImage.data(), static_cast<FT_Long>(fileImage.size()), 0,
                             &face);
  } else {
    if (data) hge->Resource_Free(data);
    err = FT_New_Face(library, path, 0, &face);
  }
  if (err) {
    face = nullptr;
    return false;
  }
  glyphs.assign(static_cast<size_t>(face->num_glyphs), Glyph{});
  fontSize = size;
  return true;
}

void TypeFont::Rasterise(unsigned index, Glyph& glyph) {
  glyph.rendered = true;
  ++rasterised;
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::lround(fontSize)))) return;
  if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING)) return;
  const FT_GlyphSlot slot = face->glyph;
  // Bitmap-only glyphs are not drawn.
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return;
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL)) return;
  const FT_Bitmap& bm = slot->bitmap;
  glyph.left = static_cast<float>(slot->bitmap_left);
  glyph.top = static_cast<float>(slot->bitmap_top);
  glyph.width = static_cast<float>(bm.width);
  glyph.height = static_cast<float>(bm.rows);
  if (glyph.texture) {
    hge->Texture_Free(glyph.texture);
    glyph.texture = 0;
  }
  if (bm.width == 0 || bm.rows == 0 || !hge) return;
  const HTEXTURE tex = hge->Texture_Create(static_cast<int>(bm.width), static_cast<int>(bm.rows));
  if (!tex) return;
  std::uint32_t* pixels = hge->Texture_Lock(tex, false);
  if (!pixels) {
    hge->Texture_Free(tex);
    return;
  }
  const int pitch = hge->Texture_GetWidth(tex);
  for (unsigned row = 0; row < bm.rows; ++row) {
    const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(row) * bm.pitch;
    std::uint32_t* dst = pixels + static_cast<size_t>(row) * pitch;
    for (unsigned col = 0; col < bm.width; ++col)
      dst[col] = src[col] ? (0x00FFFFFFu | (static_cast<std::uint32_t>(src[col]) << 24)) : 0u;
  }
  hge->Texture_Unlock(tex);
  glyph.texture = tex;
}

const TypeFont::Glyph* TypeFont::glyphOf(char16_t unit) {
  if (!face) return nullptr;
  const FT_UInt index = FT_Get_Char_Index(face, unit);
  if (index == 0 || index > glyphs.size()) return nullptr;
  Glyph& glyph = glyphs[index - 1];
  if (!glyph.rendered) Rasterise(index, glyph);
  return &glyph;
}

float TypeFont::AdvanceOf(char16_t unit, const Glyph* glyph) const {
  if (glyph && glyph->left + glyph->width > 0) return glyph->left + glyph->width;
  // No glyph or an empty one (space): half the size for Latin-range units, full for wide ones.
  return unit < 0x2000 ? std::round(fontSize / 2) : fontSize;
}

float TypeFont::Advance(char16_t unit) { return AdvanceOf(unit, glyphOf(unit)); }

void TypeFont::Print(float x, float y, const char16_t* format, ...) {
  if (!format) return;
  std::wstring wideFormat;
  for (const char16_t* p = format; *p; ++p) wideFormat += static_cast<wchar_t>(*p);
  wchar_t buffer[kPrintBufferUnits];
  va_list args;
  va_start(args, format);
  const int n = std::vswprintf(buffer, kPrintBufferUnits, wideFormat.c_str(), args);
  va_end(args);
  buffer[kPrintBufferUnits - 1] = 0;
  if (n < 0 && buffer[0] == 0) return;
  std::u16string text;
  for (const wchar_t* p = buffer; *p; ++p) {
    const auto cp = static_cast<char32_t>(*p);
    if (cp >= 0x10000) {
      text += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      text += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      text += static_cast<char16_t>(cp);
    }
  }
  Render(x, y, text.c_str());
}

void TypeFont::Render(float x, float y, const char16_t* text) {
  if (!text) return;
  float penX = x;
  float penY = y;
  for (const char16_t* p = text; *p; ++p) {
    if (*p == u'\n' || *p == u'\r') {
      penX = x;
      penY += fontSize + lineSpacing;
      continue;
    }
    const Glyph* glyph = glyphOf(*p);
    if (glyph && glyph->texture) {
      sprite->SetTexture(glyph->texture);
      sprite->SetTextureRect(0, 0, glyph->width, glyph->height);
      sprite->Render(penX + glyph->left, penY + fontSize - glyph->top);
    }
    penX += AdvanceOf(*p, glyph) + letterSpacing;
  }
}

void TypeFont::RenderScaled(float x, float y, const char16_t* text, float scale) {
  if (!text) return;
  float penX = x;
  float penY = y;
  for (const char16_t* p = text; *p; ++p) {
    if (*p == u'\n' || *p == u'\r') {
      penX = x;
      penY += std::round((fontSize + lineSpacing) * scale);
      continue;
    }
    const Glyph* glyph = glyphOf(*p);
    if (glyph && glyph->texture) {
      sprite->SetTexture(glyph->texture);
      sprite->SetTextureRect(0, 0, glyph->width, glyph->height);
      sprite->RenderEx(penX + glyph->left * scale, penY + (fontSize - glyph->top) * scale, 0.0f,
                       scale);
    }
    penX += std::round(scale * (letterSpacing + AdvanceOf(*p, glyph)));
  }
}

void TypeFont::SetColor(std::uint32_t color, int i) { sprite->SetColor(color, i); }

std::uint32_t TypeFont::GetColor(int i) { return sprite->GetColor(i >= 0 && i < 4 ? i : 0); }

void TypeFont::GetTextSize(const char16_t* text, int* width, int* height) {
  float lineWidth = 0;
  float widest = 0;
  float total = fontSize;
  for (const char16_t* p = text; p && *p; ++p) {
    if (*p == u'\n' || *p == u'\r') {
      widest = std::max(widest, lineWidth);
      lineWidth = 0;
      total += fontSize + lineSpacing;
      continue;
    }
    lineWidth += Advance(*p) + letterSpacing;
  }
  widest = std::max(widest, lineWidth);
  if (width) *width = static_cast<int>(widest);
  if (height) *height = static_cast<int>(total);
}

char16_t TypeFont::GetCharacterAt(const char16_t* text, float x, float y) {
  float penX = 0;
  float penY = 0;
  for (const char16_t* p = text; p && *p; ++p) {
    if (*p == u'\n' || *p == u'\r') {
      penX = 0;
      penY += fontSize + lineSpacing;
      continue;
    }
    const float cell = Advance(*p) + letterSpacing;
    if (x >= penX && x < penX + cell + 1 && y >= penY && y < penY + fontSize + 1) return *p;
    penX += cell;
  }
  return 0;
}

}  // namespace sonavera::stage
