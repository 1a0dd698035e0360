// hgeParticleSystem: ".psi" descriptions, emission counts, motion, life, the 500 limit, moving the
// emitter, and particles drawn additively into a real frame.

#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/engine_test_support.h"
#include "stage/hge_particle.h"

namespace sonavera::stage {
namespace {

// A description in the file layout: 128 little-endian bytes.
std::string PsiBytes(const hgeParticleSystemInfo& i, std::uint32_t spriteField = 0) {
  std::string bytes(128, '\0');
  auto put = [&](std::size_t at, const void* value) { std::memcpy(&bytes[at], value, 4); };
  put(0, &spriteField);
  put(4, &i.emission);
  const float* floats[] = {&i.lifetime, &i.lifeMin, &i.lifeMax, &i.direction, &i.spread};
  for (std::size_t k = 0; k < 5; ++k) put(8 + 4 * k, floats[k]);
  bytes[28] = i.relative ? 1 : 0;
  const float* rest[] = {&i.speedMin,      &i.speedMax,      &i.gravityMin,    &i.gravityMax,   &i.radialMin,
                         &i.radialMax,     &i.tangentialMin, &i.tangentialMax, &i.sizeStart,    &i.sizeEnd,
                         &i.sizeVar,       &i.spinStart,     &i.spinEnd,       &i.spinVar,      &i.colourStart.r,
                         &i.colourStart.g, &i.colourStart.b, &i.colourStart.a, &i.colourEnd.r,  &i.colourEnd.g,
                         &i.colourEnd.b,   &i.colourEnd.a,   &i.colourVar,     &i.alphaVar};
  for (std::size_t k = 0; k < 24; ++k) put(32 + 4 * k, rest[k]);
  return bytes;
}

// Particles flying right at exactly 100 px/s, living exactly 0.5 s, full white.
hgeParticleSystemInfo Straight() {
  hgeParticleSystemInfo i;
  i.emission = 50;
  i.lifetime = -1;
  i.lifeMin = i.lifeMax = 0.5f;
  i.direction = std::numbers::pi_v<float> / 2;  // 0 is up, clockwise: a quarter turn is right
  i.speedMin = i.speedMax = 100;
  i.sizeStart = i.sizeEnd = 1;
  i.colourStart = i.colourEnd = {1, 1, 1, 1};
  return i;
}

class ParticleTest : public testing::EngineTest {
 protected:
  std::string WritePsi(const hgeParticleSystemInfo& info, const std::string& name = "p.psi") {
    scratch.Write(name, PsiBytes(info, 0x00040003));
    return scratch.File(name);
  }
};

TEST_F(ParticleTest, DescriptionIsReadFieldByField) {
  hgeParticleSystemInfo in = Straight();
  in.relative = true;
  in.gravityMax = 9.5f;
  in.colourEnd.a = 0.25f;
  in.alphaVar = 0.75f;
  const std::string bytes = PsiBytes(in, 0x00B80007);
  const auto out = hgeParticleSystemInfo::Parse(reinterpret_cast<const unsigned char*>(bytes.data()), 128);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->spriteField, 0x00B80007u);
  EXPECT_EQ(out->emission, 50);
  EXPECT_FLOAT_EQ(out->lifetime, -1);
  EXPECT_TRUE(out->relative);
  EXPECT_FLOAT_EQ(out->gravityMax, 9.5f);
  EXPECT_FLOAT_EQ(out->colourEnd.a, 0.25f);
  EXPECT_FLOAT_EQ(out->alphaVar, 0.75f);
  EXPECT_FALSE(hgeParticleSystemInfo::Parse(reinterpret_cast<const unsigned char*>(bytes.data()), 127));
}

TEST_F(ParticleTest, EmitsByRateCarryingTheFractionAndMovesNewParticlesOnlyLater) {
  hgeSprite sprite(SolidTexture(4, 4, 0xFFFFFFFF), 0, 0, 4, 4);
  hgeParticleSystem ps(WritePsi(Straight()).c_str(), &sprite);
  ASSERT_TRUE(ps.IsLoaded());
  EXPECT_EQ(ps.info.sprite, &sprite) << "the file's sprite slot is replaced";
  ps.MoveTo(100, 100);
  ps.Update(0.1f);
  EXPECT_EQ(ps.GetParticlesAlive(), 0) << "a new system is stopped";
  ps.Fire();
  EXPECT_FLOAT_EQ(ps.GetAge(), -1) << "a continuous emitter";
  ps.Update(0.03f);  // 1.5 particles: one, half carried over
  EXPECT_EQ(ps.GetParticlesAlive(), 1);
  const float startX = ps.GetParticle(0).x;
  EXPECT_NEAR(startX, 100, 2.0f) << "born within 2 px of the emitter";
  ps.Update(0.03f);  // 1.5 + 0.5: two more
  EXPECT_EQ(ps.GetParticlesAlive(), 3);
  EXPECT_NEAR(ps.GetParticle(0).x, startX + 3, 1e-3f) << "100 px/s for 0.03 s";
  EXPECT_NEAR(ps.GetParticle(0).vy, 0, 1e-3f);
  EXPECT_NEAR(ps.GetParticle(0).age, 0.03f, 1e-6f);
}

TEST_F(ParticleTest, GravityLifeAndTheLimitOf500) {
  hgeParticleSystemInfo info = Straight();
  info.speedMin = info.speedMax = 0;
  info.gravityMin = info.gravityMax = 200;
  hgeParticleSystem falling(info);
  falling.Fire();
  falling.Update(0.01f);
  ASSERT_EQ(falling.GetParticlesAlive(), 0);
  falling.Update(0.02f);  // 0.5 + 1.0 carried: one particle
  ASSERT_EQ(falling.GetParticlesAlive(), 1);
  const float y0 = falling.GetParticle(0).y;
  falling.Update(0.1f);
  EXPECT_NEAR(falling.GetParticle(0).vy, 20, 1e-3f);
  EXPECT_NEAR(falling.GetParticle(0).y, y0 + 2, 1e-3f) << "velocity first, then position";
  falling.Stop();
  for (int i = 0; i < 5; ++i) falling.Update(0.1f);
  EXPECT_EQ(falling.GetParticlesAlive(), 0) << "particles die after their life of 0.5 s";

  info.emission = 100000;
  hgeParticleSystem flood(info);
  flood.Fire();
  flood.Update(0.1f);
  EXPECT_EQ(flood.GetParticlesAlive(), hgeParticleSystem::kMaxParticles);
  flood.Update(0.1f);
  EXPECT_EQ(flood.GetParticlesAlive(), hgeParticleSystem::kMaxParticles);
  flood.Stop(true);
  EXPECT_EQ(flood.GetParticlesAlive(), 0);
}

TEST_F(ParticleTest, EmitterLifetimeEndsEmission) {
  hgeParticleSystemInfo info = Straight();
  info.lifetime = 0.1f;
  info.emission = 100;
  hgeParticleSystem burst(info);
  burst.Fire();
  EXPECT_FLOAT_EQ(burst.GetAge(), 0);
  burst.Update(0.05f);
  EXPECT_EQ(burst.GetParticlesAlive(), 5);
  burst.Update(0.06f);  // the emitter is over: no more particles
  EXPECT_FLOAT_EQ(burst.GetAge(), -2);
  EXPECT_EQ(burst.GetParticlesAlive(), 5);
}

TEST_F(ParticleTest, MoveToShiftsParticlesOnlyWhenAsked) {
  hgeParticleSystem ps(Straight());
  ps.FireAt(50, 50);
  ps.Update(0.1f);
  ASSERT_EQ(ps.GetParticlesAlive(), 5);
  const float x = ps.GetParticle(0).x, y = ps.GetParticle(0).y;
  ps.MoveTo(150, 80, true);
  EXPECT_FLOAT_EQ(ps.GetParticle(0).x, x + 100);
  EXPECT_FLOAT_EQ(ps.GetParticle(0).y, y + 30);
  ps.MoveTo(250, 80);
  EXPECT_FLOAT_EQ(ps.GetParticle(0).x, x + 100);
  // The next particles spread along the way from the old to the new position.
  ps.Update(0.1f);
  for (int i = 5; i < ps.GetParticlesAlive(); ++i) {
    EXPECT_GE(ps.GetParticle(i).x, 148);
    EXPECT_LE(ps.GetParticle(i).x, 252);
  }
  ps.TrackBoundingBox(true);
  ps.Update(0.01f);
  hgeRect box;
  ps.GetBoundingBox(&box);
  EXPECT_FALSE(box.clean);
  EXPECT_LE(box.x1, box.x2);
}

TEST_F(ParticleTest, RenderDrawsEachParticleAdditivelyAtItsPositionPlusTheTransposition) {
  hgeSprite sprite(SolidTexture(4, 4, 0xFFFFFFFF), 0, 0, 4, 4);
  sprite.SetHotSpot(2, 2);
  sprite.SetBlendMode(platform::BLEND_COLORMUL | platform::BLEND_ALPHAADD | platform::BLEND_NOZWRITE);
  sprite.SetColor(0xFF123456);
  hgeParticleSystemInfo info = Straight();
  info.colourStart = info.colourEnd = {0.25f, 0.5f, 0, 1};
  info.speedMin = info.speedMax = 0;
  hgeParticleSystem ps(WritePsi(info).c_str(), &sprite);
  ps.FireAt(100, 100);
  ps.Update(0.1f);  // five particles, all within 2 px of (100, 100)
  ps.Transpose(300, 0);
  const QImage& frame = Frame([&] { ps.Render(); }, 0xFF000010);
  const std::uint32_t centre = Pixel(frame, 400, 100);
  EXPECT_GE((centre >> 16) & 0xFF, 0x3Fu * 2) << std::hex << centre << ": overlapping particles add up";
  EXPECT_EQ(centre & 0xFF, 0x10u) << "blue stays the background's";
  EXPECT_EQ(Pixel(frame, 100, 100), 0xFF000010u) << "nothing at the untransposed place";
  EXPECT_EQ(sprite.GetColor(), 0xFF123456u) << "the sprite's colour is given back";
}

TEST_F(ParticleTest, ShortMissingOrOddDescriptionsAreHandled) {
  hgeSprite sprite(SolidTexture(4, 4, 0xFFFFFFFF), 0, 0, 4, 4);
  scratch.Write("short.psi", PsiBytes(Straight()).substr(0, 100));
  hgeParticleSystem shortOne(scratch.File("short.psi").c_str(), &sprite);
  EXPECT_FALSE(shortOne.IsLoaded());
  EXPECT_NE(Log().find("short.psi"), std::string::npos);
  hgeParticleSystem missing(scratch.File("absent.psi").c_str(), &sprite);
  EXPECT_FALSE(missing.IsLoaded());
  for (hgeParticleSystem* empty : {&shortOne, &missing}) {
    empty->Fire();
    empty->Update(1);
    EXPECT_EQ(empty->GetParticlesAlive(), 0);
    Frame([&] { empty->Render(); });
  }

  // Extra bytes are ignored; values that make no sense neither crash nor draw garbage.
  hgeParticleSystemInfo odd = Straight();
  odd.lifeMin = odd.lifeMax = 0;
  odd.colourStart = {NAN, 5, -3, INFINITY};
  odd.sizeStart = NAN;
  hgeParticleSystem strange((WritePsi(odd, "odd.psi"), scratch.File("odd.psi")).c_str(), &sprite);
  scratch.Write("long.psi", PsiBytes(Straight()) + "trailing bytes");
  hgeParticleSystem longer(scratch.File("long.psi").c_str(), &sprite);
  EXPECT_TRUE(longer.IsLoaded());
  strange.Fire();
  strange.Update(0.1f);
  EXPECT_EQ(strange.GetParticlesAlive(), 5);
  Frame([&] { strange.Render(); });
  strange.Update(0.1f);
  EXPECT_EQ(strange.GetParticlesAlive(), 5) << "the old ones died at once, five new ones";
  odd.emission = 0x7FFFFFFF;
  hgeParticleSystem huge(odd);
  huge.Fire();
  huge.Update(1e30f);
  EXPECT_LE(huge.GetParticlesAlive(), hgeParticleSystem::kMaxParticles);
}

}  // namespace
}  // namespace sonavera::stage
