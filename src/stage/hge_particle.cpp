#include "stage/hge_particle.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace sonavera::stage {

namespace {

float F32(const unsigned char* p) {
  std::uint32_t bits = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                       static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::uint32_t U32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// A colour channel 0..1 as a byte. Values outside the range are clamped rather than spilling into
// the neighbouring channel.
std::uint32_t ChannelByte(float v) {
  if (!(v > 0)) return 0;
  if (v >= 1) return 255;
  return static_cast<std::uint32_t>(v * 255);
}

}  // namespace

std::optional<hgeParticleSystemInfo> hgeParticleSystemInfo::Parse(const unsigned char* data, std::size_t size) {
  if (data == nullptr || size < kFileSize) return std::nullopt;
  hgeParticleSystemInfo info;
  info.spriteField = U32(data);
  info.emission = static_cast<std::int32_t>(U32(data + 4));
  info.lifetime = F32(data + 8);
  info.lifeMin = F32(data + 12), info.lifeMax = F32(data + 16);
  info.direction = F32(data + 20), info.spread = F32(data + 24);
  info.relative = data[28] != 0;
  info.speedMin = F32(data + 32), info.speedMax = F32(data + 36);
  info.gravityMin = F32(data + 40), info.gravityMax = F32(data + 44);
  info.radialMin = F32(data + 48), info.radialMax = F32(data + 52);
  info.tangentialMin = F32(data + 56), info.tangentialMax = F32(data + 60);
  info.sizeStart = F32(data + 64), info.sizeEnd = F32(data + 68), info.sizeVar = F32(data + 72);
  info.spinStart = F32(data + 76), info.spinEnd = F32(data + 80), info.spinVar = F32(data + 84);
  info.colourStart = {F32(data + 88), F32(data + 92), F32(data + 96), F32(data + 100)};
  info.colourEnd = {F32(data + 104), F32(data + 108), F32(data + 112), F32(data + 116)};
  info.colourVar = F32(data + 120), info.alphaVar = F32(data + 124);
  return info;
}

hgeParticleSystem::hgeParticleSystem(const char* filename, hgeSprite* sprite) : hge(hgeCreate(HGE_VERSION)) {
  std::uint32_t size = 0;
  void* data = filename ? hge->Resource_Load(filename, &size) : nullptr;
  if (data == nullptr) {
    hge->System_Log("Particle system %s can't be loaded.", filename ? filename : "(null)");
    return;
  }
  const auto parsed = hgeParticleSystemInfo::Parse(static_cast<const unsigned char*>(data), size);
  hge->Resource_Free(data);
  if (!parsed) {
    hge->System_Log("Particle system %s has incorrect format (%u bytes, 128 expected).", filename, size);
    return;
  }
  info = *parsed;
  info.sprite = sprite;
  loaded = true;
}

hgeParticleSystem::hgeParticleSystem(const hgeParticleSystemInfo& description)
    : info(description), hge(hgeCreate(HGE_VERSION)), loaded(true) {}

hgeParticleSystem::~hgeParticleSystem() { hge->Release(); }

void hgeParticleSystem::Fire() {
  if (!loaded) return;
  age = info.lifetime == -1.0f ? -1.0f : 0.0f;
}

void hgeParticleSystem::FireAt(float x, float y) {
  Stop();
  MoveTo(x, y);
  Fire();
}

void hgeParticleSystem::Stop(bool killParticles) {
  age = -2.0f;
  if (killParticles) {
    particlesAlive = 0;
    boundingBox.Clear();
  }
}

void hgeParticleSystem::MoveTo(float x, float y, bool moveParticles) {
  if (moveParticles) {
    const float dx = x - location.x, dy = y - location.y;
    for (int i = 0; i < particlesAlive; ++i) {
      particles[static_cast<std::size_t>(i)].x += dx;
      particles[static_cast<std::size_t>(i)].y += dy;
    }
    previousLocation.x += dx;
    previousLocation.y += dy;
  } else if (age == -2.0f) {
    previousLocation = {x, y};
  } else {
    previousLocation = location;  // the next Update spreads new particles along the way
  }
  location = {x, y};
}

void hgeParticleSystem::Update(float dt) {
  if (age >= 0) {
    age += dt;
    if (age >= info.lifetime) age = -2.0f;
  }
  if (trackBox) boundingBox.Clear();

  for (int i = 0; i < particlesAlive;) {
    hgeParticle& p = particles[static_cast<std::size_t>(i)];
    p.age += dt;
    if (p.age >= p.terminalAge) {
      // The last particle takes this slot and is handled next.
      p = particles[static_cast<std::size_t>(particlesAlive - 1)];
      --particlesAlive;
      continue;
    }
    float dx = p.x - location.x, dy = p.y - location.y;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length > 0) {
      dx /= length, dy /= length;
    } else {
      dx = dy = 0;
    }
    const float px = -dy, py = dx;
    p.vx += (dx * p.radialAccel + px * p.tangentialAccel) * dt;
    p.vy += (dy * p.radialAccel + py * p.tangentialAccel) * dt;
    p.vy += p.gravity * dt;
    p.x += p.vx * dt;
    p.y += p.vy * dt;
    p.spin += p.spinDelta * dt;
    p.size += p.sizeDelta * dt;
    p.colour.r += p.colourDelta.r * dt;
    p.colour.g += p.colourDelta.g * dt;
    p.colour.b += p.colourDelta.b * dt;
    p.colour.a += p.colourDelta.a * dt;
    if (trackBox) boundingBox.Encapsulate(p.x, p.y);
    ++i;
  }

  if (age != -2.0f) {
    const float need = static_cast<float>(info.emission) * dt + emissionResidue;
    if (std::isfinite(need)) {
      const float whole = std::trunc(need);
      emissionResidue = need - whole;
      // What does not fit under the limit is lost, not carried over.
      if (whole > 0) Emit(whole >= kMaxParticles ? kMaxParticles : static_cast<int>(whole));
    } else {
      emissionResidue = 0;
    }
  }
  previousLocation = location;
}

void hgeParticleSystem::Emit(int count) {
  const float pi = std::numbers::pi_v<float>;
  for (int n = 0; n < count && particlesAlive < kMaxParticles; ++n) {
    hgeParticle& p = particles[static_cast<std::size_t>(particlesAlive)];
    p = hgeParticle{};
    p.terminalAge = hge->Random_Float(info.lifeMin, info.lifeMax);
    const float along = hge->Random_Float(0, 1);
    p.x = previousLocation.x + (location.x - previousLocation.x) * along + hge->Random_Float(-2.0f, 2.0f);
    p.y = previousLocation.y + (location.y - previousLocation.y) * along + hge->Random_Float(-2.0f, 2.0f);

    float angle = info.direction - pi / 2 + hge->Random_Float(0, info.spread) - info.spread / 2.0f;
    if (info.relative) {
      angle += std::atan2(previousLocation.y - location.y, previousLocation.x - location.x) + pi / 2;
    }
    const float speed = hge->Random_Float(info.speedMin, info.speedMax);
    p.vx = std::cos(angle) * speed;
    p.vy = std::sin(angle) * speed;

    p.gravity = hge->Random_Float(info.gravityMin, info.gravityMax);
    p.radialAccel = hge->Random_Float(info.radialMin, info.radialMax);
    p.tangentialAccel = hge->Random_Float(info.tangentialMin, info.tangentialMax);

    // A particle that lives no time vanishes at its first update; it gets no rates.
    const float life = p.terminalAge > 0 ? p.terminalAge : 0;
    auto rate = [life](float target, float value) { return life > 0 ? (target - value) / life : 0.0f; };

    p.size = hge->Random_Float(info.sizeStart, info.sizeStart + (info.sizeEnd - info.sizeStart) * info.sizeVar);
    p.sizeDelta = rate(info.sizeEnd, p.size);
    p.spin = hge->Random_Float(info.spinStart, info.spinStart + (info.spinEnd - info.spinStart) * info.spinVar);
    p.spinDelta = rate(info.spinEnd, p.spin);

    const hgeColor& s = info.colourStart;
    const hgeColor& e = info.colourEnd;
    p.colour.r = hge->Random_Float(s.r, s.r + (e.r - s.r) * info.colourVar);
    p.colour.g = hge->Random_Float(s.g, s.g + (e.g - s.g) * info.colourVar);
    p.colour.b = hge->Random_Float(s.b, s.b + (e.b - s.b) * info.colourVar);
    p.colour.a = hge->Random_Float(s.a, s.a + (e.a - s.a) * info.alphaVar);
    p.colourDelta = {rate(e.r, p.colour.r), rate(e.g, p.colour.g), rate(e.b, p.colour.b), rate(e.a, p.colour.a)};

    if (trackBox) boundingBox.Encapsulate(p.x, p.y);
    ++particlesAlive;
  }
}

void hgeParticleSystem::Render() {
  hgeSprite* sprite = info.sprite;
  if (sprite == nullptr || !loaded) return;
  const std::uint32_t saved = sprite->GetColor();
  for (int i = 0; i < particlesAlive; ++i) {
    const hgeParticle& p = particles[static_cast<std::size_t>(i)];
    sprite->SetColor(ARGB(ChannelByte(p.colour.a), ChannelByte(p.colour.r), ChannelByte(p.colour.g),
                          ChannelByte(p.colour.b)));
    sprite->RenderEx(p.x * scale + tx, p.y * scale + ty, p.spin * p.age, p.size * scale);
  }
  sprite->SetColor(saved);
}

hgeRect* hgeParticleSystem::GetBoundingBox(hgeRect* rect) const {
  *rect = boundingBox;
  rect->x1 *= scale, rect->y1 *= scale, rect->x2 *= scale, rect->y2 *= scale;
  return rect;
}

}  // namespace sonavera::stage
