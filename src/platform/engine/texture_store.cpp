#include "platform/engine/texture_store.h"

#include <algorithm>

namespace sonavera::platform {

namespace {

// Larger textures are refused rather than risking a huge allocation from a bad size.
constexpr int kMaxTextureSide = 8192;

}  // namespace

std::size_t TextureStore::TintKeyHash::operator()(const TintKey& k) const {
  std::size_t h = std::hash<std::uint32_t>()(k.rgb);
  for (int v : {k.x, k.y, k.w, k.h, k.add ? 1 : 0}) h = h * 1000003u ^ std::hash<int>()(v);
  return h;
}

std::uint32_t TextureStore::Add(QImage pixels) {
  auto texture = std::make_unique<Texture>();
  texture->pixels = std::move(pixels);
  const std::uint32_t handle = nextHandle++;
  textures.emplace(handle, std::move(texture));
  return handle;
}

std::uint32_t TextureStore::Load(const unsigned char* data, std::size_t size) {
  if (data == nullptr || size == 0 || size > static_cast<std::size_t>(INT32_MAX)) return 0;
  QImage image;
  if (!image.loadFromData(data, static_cast<int>(size)) || image.isNull()) return 0;
  if (image.width() > kMaxTextureSide || image.height() > kMaxTextureSide) return 0;
  return Add(image.convertToFormat(QImage::Format_ARGB32));
}

std::uint32_t TextureStore::Create(int width, int height) {
  if (width <= 0 || height <= 0 || width > kMaxTextureSide || height > kMaxTextureSide) return 0;
  QImage image(width, height, QImage::Format_ARGB32);
  if (image.isNull()) return 0;
  image.fill(0);
  return Add(std::move(image));
}

void TextureStore::Free(std::uint32_t tex) { textures.erase(tex); }

void TextureStore::FreeAll() { textures.clear(); }

TextureStore::Texture* TextureStore::Find(std::uint32_t tex) {
  auto it = textures.find(tex);
  return it == textures.end() ? nullptr : it->second.get();
}

const TextureStore::Texture* TextureStore::Find(std::uint32_t tex) const {
  auto it = textures.find(tex);
  return it == textures.end() ? nullptr : it->second.get();
}

int TextureStore::Width(std::uint32_t tex) const {
  const Texture* t = Find(tex);
  return t ? t->pixels.width() : 0;
}

int TextureStore::Height(std::uint32_t tex) const {
  const Texture* t = Find(tex);
  return t ? t->pixels.height() : 0;
}

std::uint32_t* TextureStore::Lock(std::uint32_t tex) {
  Texture* t = Find(tex);
  if (t == nullptr) return nullptr;
  // ARGB32 rows are 4-byte pixels with no padding, so the pitch is the width.
  return reinterpret_cast<std::uint32_t*>(t->pixels.bits());
}

void TextureStore::Unlock(std::uint32_t tex) {
  if (Texture* t = Find(tex)) {
    t->stale = true;
    t->tints.clear();
  }
}

const QImage* TextureStore::Drawable(std::uint32_t tex) {
  Texture* t = Find(tex);
  if (t == nullptr) return nullptr;
  if (t->stale) {
    t->drawable = t->pixels.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    t->stale = false;
  }
  return &t->drawable;
}

const QImage* TextureStore::Tinted(std::uint32_t tex, const QRect& source, std::uint32_t rgb, bool add) {
  Texture* t = Find(tex);
  if (t == nullptr || !t->pixels.rect().contains(source)) return nullptr;
  const TintKey key{source.x(), source.y(), source.width(), source.height(), rgb & 0xFFFFFF, add};
  if (auto it = t->tints.find(key); it != t->tints.end()) return &it->second;
  if (t->tints.size() >= kMaxTintsPerTexture) t->tints.clear();

  const int cr = (rgb >> 16) & 0xFF, cg = (rgb >> 8) & 0xFF, cb = rgb & 0xFF;
  QImage out(source.size(), QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < source.height(); ++y) {
    const auto* in = reinterpret_cast<const std::uint32_t*>(t->pixels.constScanLine(source.y() + y)) +
                     source.x();
    auto* dst = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
    for (int x = 0; x < source.width(); ++x) {
      const std::uint32_t p = in[x];
      const int a = p >> 24;
      int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      if (add) {
        r = std::min(255, r + cr), g = std::min(255, g + cg), b = std::min(255, b + cb);
      } else {
        r = r * cr / 255, g = g * cg / 255, b = b * cb / 255;
      }
      // Premultiply for the painter.
      dst[x] = (std::uint32_t(a) << 24) | (std::uint32_t(r * a / 255) << 16) | (std::uint32_t(g * a / 255) << 8) |
               std::uint32_t(b * a / 255);
    }
  }
  return &t->tints.emplace(key, std::move(out)).first->second;
}

}  // namespace sonavera::platform
