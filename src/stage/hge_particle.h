#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "stage/hge_sprite.h"

namespace sonavera::stage {

/// A colour with channels 0..1.
struct hgeColor {
  float r = 0, g = 0, b = 0, a = 0;
};

/// The particle-system description: 128 bytes in a ".psi" file. In a file, the sprite slot holds
/// the editor's frame number and blend mode (`spriteField`); the system draws with the caller's
/// sprite instead.
struct hgeParticleSystemInfo {
  hgeSprite* sprite = nullptr;
  std::uint32_t spriteField = 0;
  int emission = 0;           ///< particles per second
  float lifetime = 0;         ///< emitter life in seconds; -1 = continuous
  float lifeMin = 0, lifeMax = 0;
  float direction = 0;        ///< radians; 0 = up, clockwise positive
  float spread = 0;           ///< full cone width in radians
  bool relative = false;      ///< direction relative to the emitter's motion
  float speedMin = 0, speedMax = 0;
  float gravityMin = 0, gravityMax = 0;        ///< px/s^2 downwards
  float radialMin = 0, radialMax = 0;          ///< px/s^2 away from the emitter
  float tangentialMin = 0, tangentialMax = 0;  ///< px/s^2
  float sizeStart = 0, sizeEnd = 0, sizeVar = 0;
  float spinStart = 0, spinEnd = 0, spinVar = 0;
  hgeColor colourStart, colourEnd;
  float colourVar = 0, alphaVar = 0;

  static constexpr std::size_t kFileSize = 128;
  /// Reads the description field by field; nullopt when fewer than 128 bytes are given.
  static std::optional<hgeParticleSystemInfo> Parse(const unsigned char* data, std::size_t size);
};

/// One particle.
struct hgeParticle {
  float x = 0, y = 0, vx = 0, vy = 0;
  float gravity = 0, radialAccel = 0, tangentialAccel = 0;
  float spin = 0, spinDelta = 0;
  float size = 0, sizeDelta = 0;
  hgeColor colour, colourDelta;
  float age = 0, terminalAge = 0;
};

/// An emitter of up to 500 particles drawn with one sprite. A missing or short description leaves
/// it empty: it never emits and draws nothing.
class hgeParticleSystem {
 public:
  static constexpr int kMaxParticles = 500;

  /// Reads the description from a ".psi" file; `sprite` (not owned) draws the particles.
  hgeParticleSystem(const char* filename, hgeSprite* sprite);
  hgeParticleSystem(const hgeParticleSystemInfo& info);
  ~hgeParticleSystem();
  hgeParticleSystem(const hgeParticleSystem&) = delete;
  hgeParticleSystem& operator=(const hgeParticleSystem&) = delete;

  /// True when a description was read.
  bool IsLoaded() const { return loaded; }

  /// Draws every particle at its position (times the scale) plus the transposition.
  void Render();
  /// Restarts the emitter: age 0, or -1 for a continuous one.
  void Fire();
  void FireAt(float x, float y);
  /// Ends emission; with kill the live particles vanish too.
  void Stop(bool killParticles = false);
  void Update(float dt);
  /// Moves the emitter; with moveParticles the live particles move along.
  void MoveTo(float x, float y, bool moveParticles = false);
  void Transpose(float x, float y) { tx = x, ty = y; }
  void SetScale(float s) { scale = s; }
  void TrackBoundingBox(bool track) { trackBox = track; }

  int GetParticlesAlive() const { return particlesAlive; }
  const hgeParticle& GetParticle(int i) const { return particles[static_cast<std::size_t>(i)]; }
  float GetAge() const { return age; }
  void GetPosition(float* x, float* y) const { *x = location.x, *y = location.y; }
  void GetTransposition(float* x, float* y) const { *x = tx, *y = ty; }
  float GetScale() const { return scale; }
  /// The box of the particle centres (times the scale), while tracking.
  hgeRect* GetBoundingBox(hgeRect* rect) const;

  hgeParticleSystemInfo info;

 private:
  struct Point {
    float x = 0, y = 0;
  };
  void Emit(int count);

  HGE* hge;
  bool loaded = false;
  float age = -2.0f;  // -2 stopped, -1 running forever, else seconds since Fire
  float emissionResidue = 0;
  Point location, previousLocation;
  float tx = 0, ty = 0, scale = 1;
  int particlesAlive = 0;
  bool trackBox = false;
  hgeRect boundingBox;
  std::array<hgeParticle, kMaxParticles> particles;
};

}  // namespace sonavera::stage
