// The opening wipe that uncovers the stage and the closing wipe that covers it before the results.
#include "stage/avi.h"
#include "stage/hge_particle.h"
#include "stage/hge_sprite.h"
#include "stage/stage.h"

namespace sonavera::stage {
namespace {

constexpr std::uint32_t kWipeColour = 0xFF181700;
constexpr float kWipeZ = 0.1f;
constexpr int kWipeRows = 19;
constexpr float kWipeEnd = 928.0f;  // the wipe runs while wipePos - 576 stays below this

}  // namespace

void Stage::RenderOpening() {
  hge->Gfx_BeginScene();
  hge->Gfx_Clear(0);
  if (background->GetTexture() != 0) background->RenderStretch(0, 162, 800, 600);
  DrawLaneFrame();
  topPanel->Render(0, 0);
  if (wipePos - 576 < kWipeEnd) {
    DrawOpeningWipe();
  } else {
    FinishOpening();
  }
  hge->Gfx_EndScene();
}

void Stage::DrawOpeningWipe() {
  // Even rows uncover from the top, odd rows from the bottom; each row starts 32 px later.
  for (int k = 0; k < kWipeRows; ++k) {
    const float step = 32.0f * static_cast<float>(k);
    if (k % 2 == 0) {
      wipeStripRight->Render(wipePos - step, step);
      for (int y = 1; y <= 32; ++y) {
        hge->Gfx_RenderLine(wipePos - step + 32, step + static_cast<float>(y), 930,
                            step + static_cast<float>(y), kWipeColour, kWipeZ);
      }
    } else {
      const float x = step - 32 + wipePosRight;
      wipeStripLeft->Render(x, 576 - step);
      for (int y = 0; y < 32; ++y) {
        hge->Gfx_RenderLine(-128, 577 - step + static_cast<float>(y), x, 577 - step + static_cast<float>(y),
                            kWipeColour, kWipeZ);
      }
    }
  }
}

void Stage::DrawClosingWipe() {
  if (video && !videoClosed) video->Stop();
  if (trail) trail->Stop();
  if (wipePos - 576 < kWipeEnd) {
    wipePos += 10;
    wipePosRight -= 10;
    for (int k = 0; k < kWipeRows; ++k) {
      const float step = 32.0f * static_cast<float>(k);
      if (k % 2 == 0) {
        wipeStripLeft->Render(wipePos - step, step);
        for (int y = 1; y <= 32; ++y) {
          hge->Gfx_RenderLine(0, step + static_cast<float>(y), wipePos - step + 32,
                              step + static_cast<float>(y), kWipeColour, kWipeZ);
        }
      } else {
        const float x = step - 32 + wipePosRight;
        wipeStripRight->Render(x, 576 - step);
        for (int y = 0; y < 32; ++y) {
          hge->Gfx_RenderLine(x, 577 - step + static_cast<float>(y), 800, 577 - step + static_cast<float>(y),
                              kWipeColour, kWipeZ);
        }
      }
    }
    return;
  }
  EnterResults();
}

void Stage::EnterResults() {
  for (int y = 0; y < 600; ++y) {
    hge->Gfx_RenderLine(0, static_cast<float>(y), 800, static_cast<float>(y), 0xFF000000, kWipeZ);
  }
  stageMode = kResults;
  background->SetTexture(LoadTexture("Images\\overbg.png"));
  background->SetTextureRect(0, 0, 800, 600);
}

}  // namespace sonavera::stage
