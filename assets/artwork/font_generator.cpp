// The bitmap font of the elapsed-time text: printable ASCII rendered with FreeType into one
// sheet, described by a "[HGEFONT]" file.
#include "pictures.h"

#include "platform/font_locator.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <fstream>
#include <sstream>

namespace sonavera::artwork {
namespace {

constexpr int kPixelSize = 20;
constexpr int kSheetWidth = 256;
constexpr int kPadding = 1;  // empty texels between cells so filtering never bleeds

struct FreeTypeFace {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~FreeTypeFace() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

}  // namespace

bool WriteBitmapFont(const Output& out) {
  std::string path = platform::LatinSansFontFile();
  if (path.empty()) path = platform::CjkSansFontFile();
  FreeTypeFace ft;
  if (path.empty() || FT_Init_FreeType(&ft.library) ||
      FT_New_Face(ft.library, path.c_str(), 0, &ft.face) ||
      FT_Set_Pixel_Sizes(ft.face, 0, kPixelSize)) {
    std::fprintf(stderr, "artwork: no usable font for font1 (%s)\n", path.c_str());
    return false;
  }
  const int ascender = static_cast<int>(ft.face->size->metrics.ascender >> 6);
  const int descender = static_cast<int>(-(ft.face->size->metrics.descender >> 6));
  const int cellHeight = ascender + descender;

  QImage sheet = NewPicture(kSheetWidth, 128);
  std::ostringstream fnt;
  fnt << "[HGEFONT]\r\n\r\nBitmap=font1.png\r\n\r\n";
  int penX = kPadding;
  int penY = kPadding;
  for (int code = 32; code < 127; ++code) {
    if (FT_Load_Char(ft.face, code, FT_LOAD_RENDER)) continue;
    const FT_GlyphSlot g = ft.face->glyph;
    const int bw = static_cast<int>(g->bitmap.width);
    const int advance = static_cast<int>(g->advance.x >> 6);
    const int cellWidth = bw > 0 ? bw : 1;
    if (penX + cellWidth + kPadding > kSheetWidth) {
      penX = kPadding;
      penY += cellHeight + kPadding;
    }
    if (penY + cellHeight > sheet.height()) return false;
    const int top = ascender - g->bitmap_top;
    for (int row = 0; row < static_cast<int>(g->bitmap.rows); ++row) {
      const int y = penY + top + row;
      if (y < penY || y >= penY + cellHeight) continue;
      const unsigned char* src = g->bitmap.buffer + row * g->bitmap.pitch;
      for (int col = 0; col < bw; ++col) {
        if (src[col] == 0) continue;
        sheet.setPixel(penX + col, y, qPremultiply(qRgba(255, 255, 255, src[col])));
      }
    }
    const int pre = bw > 0 ? g->bitmap_left : 0;
    const int post = advance - pre - cellWidth;
    char line[96];
    std::snprintf(line, sizeof line, "Char=%02X,%d,%d,%d,%d,%d,%d\r\n", code, penX, penY, cellWidth,
                  cellHeight, pre, post);
    fnt << line;
    penX += cellWidth + kPadding;
  }
  if (!out.SaveAt(sheet, "font1.png")) return false;
  std::ofstream file(out.programFolder + "font1.fnt", std::ios::binary);
  file << fnt.str();
  return static_cast<bool>(file);
}

}  // namespace sonavera::artwork
