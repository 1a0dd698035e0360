#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

#include <QImage>
#include <QRect>

namespace sonavera::platform {

/// The engine's textures: 0xAARRGGBB surfaces that callers lock and write, plus the premultiplied
/// copies and colour-tinted cuts the painter draws from. User-interface thread only.
class TextureStore {
 public:
  /// Decodes PNG or JPEG bytes; 0 when they are not a picture.
  std::uint32_t Load(const unsigned char* data, std::size_t size);
  /// A transparent texture; 0 for a size of 0 or below, or one too large to allocate.
  std::uint32_t Create(int width, int height);
  void Free(std::uint32_t tex);
  void FreeAll();

  int Width(std::uint32_t tex) const;
  int Height(std::uint32_t tex) const;
  /// Pixels with the texture's width as row pitch; nullptr for an unknown texture.
  std::uint32_t* Lock(std::uint32_t tex);
  /// Marks the pixels changed: the drawable copy and the tints are rebuilt on next use.
  void Unlock(std::uint32_t tex);

  /// The premultiplied picture to draw from; nullptr for an unknown texture.
  const QImage* Drawable(std::uint32_t tex);
  /// The cut `source` of the texture with its colour combined with `rgb` (0x00RRGGBB): multiplied,
  /// or added when `add` is set. Cached; `source` must lie inside the texture.
  const QImage* Tinted(std::uint32_t tex, const QRect& source, std::uint32_t rgb, bool add);

 private:
  struct TintKey {
    int x, y, w, h;
    std::uint32_t rgb;
    bool add;
    bool operator==(const TintKey&) const = default;
  };
  struct TintKeyHash {
    std::size_t operator()(const TintKey& k) const;
  };
  struct Texture {
    QImage pixels;    // Format_ARGB32, what Lock hands out
    QImage drawable;  // Format_ARGB32_Premultiplied, rebuilt when stale
    bool stale = true;
    std::unordered_map<TintKey, QImage, TintKeyHash> tints;
  };

  Texture* Find(std::uint32_t tex);
  const Texture* Find(std::uint32_t tex) const;
  std::uint32_t Add(QImage pixels);

  // Bounds the memory of tints whose colour changes every frame (particles fading).
  static constexpr std::size_t kMaxTintsPerTexture = 2048;

  std::unordered_map<std::uint32_t, std::unique_ptr<Texture>> textures;
  std::uint32_t nextHandle = 1;
};

}  // namespace sonavera::platform
