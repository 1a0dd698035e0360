// The "ready" and "go" banner at the start of a performance: two copies close in and fade up,
// merge and hold, part and fade out; then the banner slides a little and "go" does the same.
#include "stage/hge_sprite.h"
#include "stage/stage.h"

namespace sonavera::stage {

void Stage::DrawBannerPair(float s, int alpha) {
  banner->SetColor(ARGB(static_cast<std::uint32_t>(alpha), 255, 255, 255));
  banner->Render(pitch.bannerX - s, pitch.bannerY - s);
  banner->Render(pitch.bannerX + s, pitch.bannerY + s);
}

void Stage::DrawBanner() {
  int& step = pitch.bannerStep;
  if (step == -101) {
    if (pitch.goShown) return;  // "go" has parted: nothing more
    pitch.bannerX -= 1;
    if (pitch.bannerX <= 193) {
      banner->SetTexture(LoadTexture("Images\\go.png"));
      banner->SetTextureRect(0, 0, 461, 70);
      pitch.goShown = true;
      pitch.bannerX = 172;
      pitch.bannerY = 267;
      step = 100;
    }
    return;
  }
  if (step == -1) {
    banner->SetColor(0xFFFFFFFF);
    banner->Render(pitch.bannerX, pitch.bannerY);
    step = -130;
    return;
  }
  if (step <= -100) {
    banner->SetColor(0xFFFFFFFF);
    banner->Render(pitch.bannerX, pitch.bannerY);
    if (++step == -102) step = -2;
    return;
  }
  const float s = static_cast<float>(step);
  if (step > 0) {
    DrawBannerPair(s, 220 - step);
  } else {
    DrawBannerPair(-s, 220 + step);
  }
  step -= 2;
  if (step % 5 == 0) --step;
}

}  // namespace sonavera::stage
