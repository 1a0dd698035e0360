#include "stage/hge_sprite.h"

#include <cmath>
#include <utility>

namespace sonavera::stage {

void hgeRect::Encapsulate(float x, float y) {
  if (clean) {
    x1 = x2 = x;
    y1 = y2 = y;
    clean = false;
    return;
  }
  if (x < x1) x1 = x;
  if (x > x2) x2 = x;
  if (y < y1) y1 = y;
  if (y > y2) y2 = y;
}

hgeSprite::hgeSprite(HTEXTURE tex, float x, float y, float w, float h)
    : hge(hgeCreate(HGE_VERSION)), tx(x), ty(y), width(w), height(h), cutWidth(w), cutHeight(h) {
  quad.tex = tex;
  if (tex != 0) {
    texWidth = static_cast<float>(hge->Texture_GetWidth(tex));
    texHeight = static_cast<float>(hge->Texture_GetHeight(tex));
    // A texture the engine does not know (freed, or a failed load) keeps the unit size.
    if (texWidth <= 0 || texHeight <= 0) texWidth = texHeight = 1;
  }
  for (hgeVertex& v : quad.v) {
    v.z = 0.5f;
    v.col = 0xFFFFFFFF;
  }
  quad.blend = platform::BLEND_DEFAULT;
  UpdateTexCoords();
}

hgeSprite::hgeSprite(const hgeSprite& other)
    : hge(hgeCreate(HGE_VERSION)),
      quad(other.quad),
      tx(other.tx),
      ty(other.ty),
      width(other.width),
      height(other.height),
      cutWidth(other.cutWidth),
      cutHeight(other.cutHeight),
      texWidth(other.texWidth),
      texHeight(other.texHeight),
      hotX(other.hotX),
      hotY(other.hotY),
      xFlip(other.xFlip),
      yFlip(other.yFlip),
      hsFlip(other.hsFlip) {}

hgeSprite& hgeSprite::operator=(const hgeSprite& other) {
  if (this != &other) {
    HGE* own = hge;  // keep our own reference
    *this = hgeSprite(other);
    std::swap(hge, own);
    own->Release();
  }
  return *this;
}

hgeSprite::~hgeSprite() {
  if (hge) hge->Release();
}

void hgeSprite::UpdateTexCoords() {
  const float u1 = tx / texWidth, v1 = ty / texHeight;
  const float u2 = (tx + cutWidth) / texWidth, v2 = (ty + cutHeight) / texHeight;
  quad.v[0].tx = u1, quad.v[0].ty = v1;
  quad.v[1].tx = u2, quad.v[1].ty = v1;
  quad.v[2].tx = u2, quad.v[2].ty = v2;
  quad.v[3].tx = u1, quad.v[3].ty = v2;
  if (xFlip) {
    std::swap(quad.v[0].tx, quad.v[1].tx);
    std::swap(quad.v[3].tx, quad.v[2].tx);
  }
  if (yFlip) {
    std::swap(quad.v[0].ty, quad.v[3].ty);
    std::swap(quad.v[1].ty, quad.v[2].ty);
  }
}

void hgeSprite::Render(float x, float y) {
  const float x1 = x - hotX, y1 = y - hotY;
  const float x2 = x1 + width, y2 = y1 + height;
  quad.v[0].x = x1, quad.v[0].y = y1;
  quad.v[1].x = x2, quad.v[1].y = y1;
  quad.v[2].x = x2, quad.v[2].y = y2;
  quad.v[3].x = x1, quad.v[3].y = y2;
  hge->Gfx_RenderQuad(&quad);
}

void hgeSprite::RenderEx(float x, float y, float rot, float hscale, float vscale) {
  if (vscale == 0) vscale = hscale;
  const float left = -hotX * hscale, top = -hotY * vscale;
  const float right = (width - hotX) * hscale, bottom = (height - hotY) * vscale;
  if (rot != 0.0f) {
    const float c = std::cos(rot), s = std::sin(rot);
    auto place = [&](hgeVertex& v, float px, float py) {
      v.x = px * c - py * s + x;
      v.y = px * s + py * c + y;
    };
    place(quad.v[0], left, top);
    place(quad.v[1], right, top);
    place(quad.v[2], right, bottom);
    place(quad.v[3], left, bottom);
  } else {
    quad.v[0].x = left + x, quad.v[0].y = top + y;
    quad.v[1].x = right + x, quad.v[1].y = top + y;
    quad.v[2].x = right + x, quad.v[2].y = bottom + y;
    quad.v[3].x = left + x, quad.v[3].y = bottom + y;
  }
  hge->Gfx_RenderQuad(&quad);
}

void hgeSprite::RenderStretch(float x1, float y1, float x2, float y2) {
  quad.v[0].x = x1, quad.v[0].y = y1;
  quad.v[1].x = x2, quad.v[1].y = y1;
  quad.v[2].x = x2, quad.v[2].y = y2;
  quad.v[3].x = x1, quad.v[3].y = y2;
  hge->Gfx_RenderQuad(&quad);
}

void hgeSprite::Render4V(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3) {
  quad.v[0].x = x0, quad.v[0].y = y0;
  quad.v[1].x = x1, quad.v[1].y = y1;
  quad.v[2].x = x2, quad.v[2].y = y2;
  quad.v[3].x = x3, quad.v[3].y = y3;
  hge->Gfx_RenderQuad(&quad);
}

void hgeSprite::SetTexture(HTEXTURE tex) {
  quad.tex = tex;
  float w = 1, h = 1;
  if (tex != 0) {
    w = static_cast<float>(hge->Texture_GetWidth(tex));
    h = static_cast<float>(hge->Texture_GetHeight(tex));
    if (w <= 0 || h <= 0) w = h = 1;
  }
  if (w != texWidth || h != texHeight) {
    texWidth = w, texHeight = h;
    UpdateTexCoords();
  }
}

void hgeSprite::SetTextureRect(float x, float y, float w, float h, bool adjSize) {
  tx = x, ty = y;
  cutWidth = w, cutHeight = h;
  if (adjSize) width = w, height = h;
  UpdateTexCoords();
}

void hgeSprite::SetColor(std::uint32_t col, int i) {
  if (i >= 0 && i < 4) {
    quad.v[i].col = col;
  } else if (i == -1) {
    for (hgeVertex& v : quad.v) v.col = col;
  }
}

void hgeSprite::SetZ(float z, int i) {
  if (i >= 0 && i < 4) {
    quad.v[i].z = z;
  } else if (i == -1) {
    for (hgeVertex& v : quad.v) v.z = z;
  }
}

void hgeSprite::SetFlip(bool bX, bool bY, bool bHotSpot) {
  // Undo the hot spot mirroring of the previous flip, then apply the new one.
  if (hsFlip && xFlip) hotX = width - hotX;
  if (hsFlip && yFlip) hotY = height - hotY;
  hsFlip = bHotSpot;
  if (hsFlip && bX) hotX = width - hotX;
  if (hsFlip && bY) hotY = height - hotY;
  xFlip = bX, yFlip = bY;
  UpdateTexCoords();
}

void hgeSprite::GetTextureRect(float* x, float* y, float* w, float* h) const {
  *x = tx, *y = ty, *w = cutWidth, *h = cutHeight;
}

hgeRect* hgeSprite::GetBoundingBox(float x, float y, hgeRect* rect) const {
  rect->Set(x - hotX, y - hotY, x - hotX + width, y - hotY + height);
  return rect;
}

}  // namespace sonavera::stage
