// Particle system descriptions: the sparkle burst of the dance lane and the trail of the pitch
// marker. 128 bytes each, little-endian, field by field.
#include "pictures.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace sonavera::artwork {
namespace {

struct Preset {
  std::uint32_t sprite;  // frame | blend << 16; the loader ignores it
  std::int32_t emission;
  float lifetime, lifeMin, lifeMax, direction, spread;
  bool relative;
  float speedMin, speedMax, gravityMin, gravityMax, radialMin, radialMax, tangentialMin,
      tangentialMax;
  float sizeStart, sizeEnd, sizeVar, spinStart, spinEnd, spinVar;
  float colourStart[4], colourEnd[4];
  float colourVar, alphaVar;
};

class Writer {
 public:
  void U32(std::uint32_t v) { Put(&v, 4); }
  void I32(std::int32_t v) { Put(&v, 4); }
  void F32(float v) { Put(&v, 4); }
  void Byte(std::uint8_t v) { Put(&v, 1); }
  const std::array<std::uint8_t, 128>& Bytes() const { return bytes; }
  size_t Size() const { return pos; }

 private:
  void Put(const void* v, size_t n) {  // x86-64 and ARM64 are little-endian, as the file is
    std::memcpy(bytes.data() + pos, v, n);
    pos += n;
  }
  std::array<std::uint8_t, 128> bytes{};
  size_t pos = 0;
};

bool WritePreset(const Output& out, const std::string& name, const Preset& p) {
  Writer w;
  w.U32(p.sprite);
  w.I32(p.emission);
  for (float f : {p.lifetime, p.lifeMin, p.lifeMax, p.direction, p.spread}) w.F32(f);
  w.Byte(p.relative ? 1 : 0);
  w.Byte(0), w.Byte(0), w.Byte(0);
  for (float f : {p.speedMin, p.speedMax, p.gravityMin, p.gravityMax, p.radialMin, p.radialMax,
                  p.tangentialMin, p.tangentialMax, p.sizeStart, p.sizeEnd, p.sizeVar,
                  p.spinStart, p.spinEnd, p.spinVar})
    w.F32(f);
  for (float f : p.colourStart) w.F32(f);
  for (float f : p.colourEnd) w.F32(f);
  w.F32(p.colourVar);
  w.F32(p.alphaVar);
  if (w.Size() != 128) return false;
  std::ofstream file(out.programFolder + name, std::ios::binary);
  file.write(reinterpret_cast<const char*>(w.Bytes().data()), 128);
  return static_cast<bool>(file);
}

}  // namespace

bool WriteParticleFiles(const Output& out) {
  // Golden sparks bursting in every direction and falling a little.
  const Preset sparkle{5, 90, -1.0f, 0.4f, 0.9f, 0.0f, 6.2831853f, false,
                       40, 130, 60, 140, -15, 15, -20, 20,
                       0.7f, 0.1f, 0.3f, 2.0f, 5.0f, 0.5f,
                       {1.0f, 0.9f, 0.4f, 1.0f}, {1.0f, 0.35f, 0.75f, 0.0f}, 0.3f, 0.1f};
  // Blue sparks blown to the left, behind the pitch marker as the notes move.
  const Preset trail{5, 120, -1.0f, 0.3f, 0.7f, 4.712389f, 0.7f, false,
                     60, 150, 10, 40, 0, 0, -10, 10,
                     0.55f, 0.05f, 0.2f, 1.0f, 3.0f, 0.5f,
                     {0.55f, 0.9f, 1.0f, 0.9f}, {0.2f, 0.35f, 1.0f, 0.0f}, 0.25f, 0.1f};
  return WritePreset(out, "particle1.psi", sparkle) && WritePreset(out, "trail.psi", trail);
}

}  // namespace sonavera::artwork
