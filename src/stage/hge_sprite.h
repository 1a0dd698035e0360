#pragma once

#include <cstdint>

#include "stage/hge.h"

namespace sonavera::stage {

/// Axis-aligned rectangle (x1, y1) - (x2, y2); `clean` while nothing has been added.
struct hgeRect {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  bool clean = true;

  void Clear() { clean = true; }
  void Set(float ax1, float ay1, float ax2, float ay2) {
    x1 = ax1, y1 = ay1, x2 = ax2, y2 = ay2, clean = false;
  }
  /// Grows the rectangle to hold the point.
  void Encapsulate(float x, float y);
  bool TestPoint(float x, float y) const { return x >= x1 && x < x2 && y >= y1 && y < y2; }
};

/// One textured quad over a rectangle of a texture, drawn about its hot spot. Holds its own engine
/// reference. A null texture gives a sprite that draws its vertex colour only.
class hgeSprite {
 public:
  /// Rectangle (x, y, w, h) in texels of `tex`.
  hgeSprite(HTEXTURE tex, float x, float y, float w, float h);
  hgeSprite(const hgeSprite& other);
  hgeSprite& operator=(const hgeSprite& other);
  virtual ~hgeSprite();

  /// Draws with the hot spot at (x, y).
  void Render(float x, float y);
  /// Rotation in radians (clockwise on screen) and scale about the hot spot; vscale 0 means hscale.
  void RenderEx(float x, float y, float rot, float hscale = 1.0f, float vscale = 0.0f);
  /// Fills the rectangle (x1, y1) - (x2, y2); the hot spot is ignored.
  void RenderStretch(float x1, float y1, float x2, float y2);
  /// Four corner positions in vertex order (top-left, top-right, bottom-right, bottom-left).
  void Render4V(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3);

  /// Re-textures the sprite, keeping the texture rectangle.
  void SetTexture(HTEXTURE tex);
  /// New source rectangle; with adjSize the drawn size becomes w x h too.
  void SetTextureRect(float x, float y, float w, float h, bool adjSize = true);
  /// Colour of one vertex, or of all four with i = -1.
  void SetColor(std::uint32_t col, int i = -1);
  void SetZ(float z, int i = -1);
  void SetBlendMode(int blend) { quad.blend = blend; }
  void SetHotSpot(float x, float y) { hotX = x, hotY = y; }
  /// Mirrors the texture on each axis; with hotSpot the hot spot mirrors too.
  void SetFlip(bool bX, bool bY, bool bHotSpot = false);

  HTEXTURE GetTexture() const { return quad.tex; }
  void GetTextureRect(float* x, float* y, float* w, float* h) const;
  std::uint32_t GetColor(int i = 0) const { return quad.v[i].col; }
  float GetZ(int i = 0) const { return quad.v[i].z; }
  int GetBlendMode() const { return quad.blend; }
  void GetHotSpot(float* x, float* y) const { *x = hotX, *y = hotY; }
  void GetFlip(bool* bX, bool* bY) const { *bX = xFlip, *bY = yFlip; }
  float GetWidth() const { return width; }
  float GetHeight() const { return height; }
  /// The drawn rectangle for Render(x, y).
  hgeRect* GetBoundingBox(float x, float y, hgeRect* rect) const;

 protected:
  /// Sets the texture coordinates from the texture rectangle and applies the flip.
  void UpdateTexCoords();

  HGE* hge = nullptr;
  hgeQuad quad;
  float tx = 0, ty = 0, width = 0, height = 0;  // texture cut origin; drawn size
  float cutWidth = 0, cutHeight = 0;            // texture cut size
  float texWidth = 1, texHeight = 1;
  float hotX = 0, hotY = 0;
  bool xFlip = false, yFlip = false, hsFlip = false;
};

}  // namespace sonavera::stage
