// The dance lane: single arrows scroll along a row to a target at the left; inside a step section
// events rise to a row of four targets and may ask for several directions at once. Answers come
// from the arrow keys or the dance stick and are rated by their distance to the target.
#include <algorithm>
#include <cmath>

#include "stage/hge_animation.h"
#include "stage/hge_particle.h"
#include "stage/hge_sprite.h"
#include "stage/stage.h"

namespace sonavera::stage {
namespace {

constexpr int kSectionMarker = 1111;
constexpr float kReleaseLead = 3.77f;
constexpr float kAnswerWindow = 0.32f;
constexpr float kArrowRowY = 190.0f;
constexpr float kArrowTargetX = 80.0f;
constexpr float kArrowStep = 3.06f;
constexpr float kArrowRatingStep = 12.44f;
constexpr float kStepTargetY = 264.4f;
constexpr float kStepRise = 1.665f;
constexpr float kStepRatingStep = 6.86f;
constexpr float kStepTop = 238.8f;
constexpr float kHidden = -64.0f;
constexpr int kRatingFrames = 45;

constexpr int kKeys[4] = {HGEK_LEFT, HGEK_DOWN, HGEK_UP, HGEK_RIGHT};
constexpr float kRotation[4] = {1.5707963f, 0.0f, 3.1415925f, 4.712389f};
constexpr float kColumnX[4] = {302.0f, 366.0f, 430.0f, 494.0f};

// The single direction of an arrow-row code, or -1.
int DirectionOf(int code) {
  switch (code) {
    case 1000:
      return kLeft;
    case 100:
      return kDown;
    case 10:
      return kUp;
    case 1:
      return kRight;
    default:
      return -1;
  }
}

// The directions asked by a step code: thousands left, hundreds down, tens up, units right.
std::array<int, 4> StepDirections(int code) {
  if (code == 0 || code == kSectionMarker || code < 0) return {0, 0, 0, 0};
  return {(code / 1000) % 10 != 0 ? 1 : 0, (code / 100) % 10 != 0 ? 1 : 0, (code / 10) % 10 != 0 ? 1 : 0,
          code % 10 != 0 ? 1 : 0};
}

float RatingValue(int rating) {
  switch (rating) {
    case 1:
      return 1.0f;
    case 2:
      return 0.9f;
    case 3:
      return 0.8f;
    case 4:
      return 0.65f;
    default:
      return 0.0f;
  }
}

}  // namespace

void Stage::DanceRelease() {
  if (song == nullptr) return;
  const int count = static_cast<int>(dance.arrowX.size());
  if (dance.releasePos >= count) return;
  if (song->danceTimes[dance.releasePos] - kReleaseLead > shared.playbackTime) return;
  if (song->danceCodes[dance.releasePos] == kSectionMarker) {
    dance.releaseInSection = !dance.releaseInSection;
    (dance.releaseInSection ? dance.stepFirst : dance.arrowFirst) = dance.releasePos + 1;
    ++dance.releasePos;
    return;
  }
  ++dance.releasePos;
  (dance.releaseInSection ? dance.stepEnd : dance.arrowEnd) = dance.releasePos;
}

void Stage::DanceFrame() {
  const float dt = hge->Timer_GetDelta();
  sparkles->Update(dt);
  hudArrow->Update(dt);
  stepArrow->Update(dt);
  for (auto& arrow : noteArrows) arrow->Update(dt);
  const int count = static_cast<int>(dance.arrowX.size());
  for (int i = dance.arrowFirst; i < dance.arrowEnd && i < count && tracker.running; ++i) {
    dance.arrowX[i] -= kArrowStep;
    if (dance.arrowX[i] < 0) dance.arrowFirst = i;
  }
  for (int i = dance.stepFirst; i < dance.stepEnd && i < count && tracker.running; ++i) {
    dance.stepY[i] -= kStepRise;
    if (dance.stepY[i] < kStepTop) {
      dance.stepY[i] = kHidden;
      dance.stepFirst = i;
    }
  }
  // A latch holds until the direction is let go on the keyboard and on the stick: a held key or
  // button is one press.
  for (int d = 0; d < 4; ++d) {
    const bool held =
        hge->Input_GetKeyState(kKeys[d]) || (stick != nullptr && stick->DirectionHeld(DanceDirection(d)));
    if (!held) dance.pressLatch[0][d] = dance.pressLatch[1][d] = false;
  }
}

void Stage::DancePass() {
  const int count = static_cast<int>(dance.arrowX.size());
  while (dance.judgePos < count && song->danceCodes[dance.judgePos] == 0) ++dance.judgePos;
  if (dance.judgePos >= count) return;
  if (!(song->danceTimes[dance.judgePos] + kAnswerWindow < shared.playbackTime)) return;
  if (song->danceCodes[dance.judgePos] == kSectionMarker) {
    dance.inSection = !dance.inSection;
  } else {
    if (dance.judged) {
      dance.judged = false;
    } else {
      dance.judgement = 5;  // shown as a miss
      dance.judgementTimer = kRatingFrames;
    }
    ++dance.danceEvents;
  }
  ++dance.judgePos;
  while (dance.judgePos < count && song->danceCodes[dance.judgePos] == 0) ++dance.judgePos;
}

bool Stage::Pressed(DanceDirection direction, int row) {
  if (dance.pressLatch[row][direction]) return false;
  return hge->Input_GetKeyState(kKeys[direction]) || (stick != nullptr && stick->DirectionHeld(direction));
}

void Stage::AddRating(int rating) {
  const float value = RatingValue(rating);
  dance.danceHits += value;
  dance.lineHitSum += value;
  if (rating >= 1 && rating <= 4) ++dance.lineHitCount;
  dance.combo = rating == 1 ? dance.combo + 1 : 0;
  dance.bestDanceCombo = std::max(dance.bestDanceCombo, dance.combo);
}

int Stage::rateArrow() {
  if (dance.judgePos < 0 || dance.judgePos >= static_cast<int>(dance.arrowX.size())) return 6;
  const float x = dance.arrowX[dance.judgePos];
  int rating = 6;
  for (int r = 1; r <= 5; ++r) {
    if (kArrowTargetX - kArrowRatingStep * r < x && x < kArrowTargetX + kArrowRatingStep * r) {
      rating = r;
      break;
    }
  }
  if (rating == 1) {
    dance.arrowX[dance.judgePos] = kHidden;
    dance.arrowGlowTimer = 4;
  }
  AddRating(rating);
  return rating;
}

int Stage::rateStep() {
  if (dance.judgePos < 0 || dance.judgePos >= static_cast<int>(dance.stepY.size())) return 6;
  const float distance = std::fabs(dance.stepY[dance.judgePos] - kStepTargetY);
  int rating = 6;
  for (int r = 1; r <= 5; ++r) {
    if (distance < kStepRatingStep * r) {
      rating = r;
      break;
    }
  }
  if (rating == 1) {
    dance.stepY[dance.judgePos] = kHidden;
    dance.stepGlowTimer = 4;
  }
  AddRating(rating);
  return rating;
}

void Stage::DrawDance() {
  const int count = static_cast<int>(dance.arrowX.size());
  const bool haveEvent = dance.judgePos < count;
  const int code = haveEvent ? song->danceCodes[dance.judgePos] : 0;
  const bool inWindow =
      haveEvent && std::fabs(shared.playbackTime - song->danceTimes[dance.judgePos]) < kAnswerWindow;

  if (!dance.inSection) {
    const int direction = DirectionOf(code);
    if (direction >= 0) {
      DrawArrowTarget(DanceDirection(direction), Pressed(DanceDirection(direction), 0), inWindow);
      if (dance.combo > 4) sparkles->Render();
    } else {
      hudArrow->RenderEx(kArrowTargetX, kArrowRowY, kRotation[kRight], 0.8f);
    }
  } else {
    hudArrow->RenderEx(kArrowTargetX, kArrowRowY, kRotation[kRight], 0.8f);
  }
  DrawStepSection(inWindow);

  // Single arrows on their way to the target.
  for (int i = dance.arrowFirst; i < dance.arrowEnd && i < count && tracker.running; ++i) {
    const int direction = DirectionOf(song->danceCodes[i]);
    if (direction < 0) continue;
    noteArrows[direction]->RenderEx(dance.arrowX[i], kArrowRowY, kRotation[direction], 0.8f);
  }
  DrawDanceRating();
}

void Stage::DrawArrowTarget(DanceDirection direction, bool pressed, bool inWindow) {
  if (pressed) {
    dance.pressLatch[0][direction] = true;
    dance.arrowPulse = 8;
    if (inWindow && !dance.judged) {
      dance.judgement = rateArrow();
      dance.judged = true;
      dance.judgementTimer = kRatingFrames;
    }
  }
  const int pulseFloor = direction == kUp ? 2 : 1;
  if (dance.arrowPulse > pulseFloor || (pressed && !inWindow)) {
    if (dance.judgement == 1 && dance.arrowGlowTimer > 0) {
      arrowGlow->RenderEx(kArrowTargetX, kArrowRowY, kRotation[direction], 0.8f);
      if (dance.combo > 4) sparkles->FireAt(50, 195);
      --dance.arrowGlowTimer;
    }
    hudArrow->RenderEx(kArrowTargetX, kArrowRowY, kRotation[direction],
                       static_cast<float>(dance.arrowPulse) * 0.1f);
    --dance.arrowPulse;
  } else {
    hudArrow->RenderEx(kArrowTargetX, kArrowRowY, kRotation[direction], 0.8f);
  }
}

void Stage::DrawStepSection(bool inWindow) {
  for (int k = 0; k < 4; ++k) {
    if (Pressed(DanceDirection(k), 1)) {
      dance.pressLatch[1][k] = true;
      dance.stepPulse[k] = 10;
    }
    float scale = 1.0f;
    if (dance.stepPulse[k] >= 3) {
      scale = static_cast<float>(dance.stepPulse[k]) * 0.1f;
      --dance.stepPulse[k];
    }
    hudArrow->RenderEx(kColumnX[k], kStepTargetY, kRotation[k], scale);
  }
  const int count = static_cast<int>(dance.stepY.size());
  if (dance.inSection && dance.judgePos < count) {
    const int code = song->danceCodes[dance.judgePos];
    if (inWindow && !dance.judged) {
      dance.stepNeed = StepDirections(code);
      bool all = true;
      for (int k = 0; k < 4; ++k) {
        if (dance.stepNeed[k] != 0 && !dance.pressLatch[1][k]) all = false;
      }
      if (all) {
        dance.judgement = rateStep();
        dance.judged = true;
        dance.judgementTimer = kRatingFrames;
      }
    }
    if (dance.stepGlowTimer > 0) {
      for (int k = 0; k < 4; ++k) {
        if (dance.stepNeed[k] == 0) continue;
        arrowGlow->RenderEx(kColumnX[k], kStepTargetY, kRotation[k]);
        if (dance.combo > 4) sparkles->FireAt(kColumnX[k], kStepTargetY);
      }
      --dance.stepGlowTimer;
    }
    const std::array<int, 4> asked = StepDirections(code);
    if (dance.combo > 4 && (asked[0] | asked[1] | asked[2] | asked[3]) != 0) sparkles->Render();
  }
  // Events rising to the step targets.
  for (int i = dance.stepFirst; i < dance.stepEnd && i < count && tracker.running; ++i) {
    const std::array<int, 4> asked = StepDirections(song->danceCodes[i]);
    for (int k = 0; k < 4; ++k) {
      if (asked[k] != 0) stepArrow->RenderEx(kColumnX[k], dance.stepY[i], kRotation[k]);
    }
  }
}

void Stage::DrawDanceRating() {
  const int j = dance.judgement;
  if (j >= 1 && j <= 5) danceJudgement->SetTextureRect(0, 37.0f * static_cast<float>(j - 1), 145, 37);
  if (j >= 2 && j <= 5) dance.combo = 0;
  float zoom = 1.0f;
  if (dance.judgementTimer > 0) {
    if (dance.judgementTimer > 41) zoom = static_cast<float>(dance.judgementTimer - 41) * 0.1f + 1.0f;
    if (j >= 1 && j <= 5) danceJudgement->RenderEx(398, dance.inSection ? 396.0f : 188.0f, 0, zoom);
    --dance.judgementTimer;
  }
  if (dance.combo <= 4) return;
  comboLabel->Render(398, dance.inSection ? 426.0f : 211.0f);
  const float y = dance.inSection ? 438.0f : 223.0f;
  const int combo = std::min(dance.combo, 999);
  const int digits[3] = {combo / 100, (combo / 10) % 10, combo % 10};
  const float xs[3] = {346, 368, 390};
  const int firstDigit = combo >= 100 ? 0 : (combo >= 10 ? 1 : 2);
  for (int k = firstDigit; k < 3; ++k) {
    const int d = digits[k];
    comboDigits->SetTextureRect(d <= 4 ? 44.0f * static_cast<float>(d) : 44.0f * static_cast<float>(d - 5),
                                d <= 4 ? 0.0f : 66.0f, 44, 66);
    comboDigits->RenderEx(xs[k], y, 0, 0.5f * zoom);
  }
}

void Stage::UpdateDanceLineMarks(int line, float lineScore) {
  if (dance.lineHitCount > 0) {
    const float ratio = dance.lineHitSum / static_cast<float>(dance.lineHitCount);
    if (ratio > 0.9f) {
      if (lineScore > 75 && dance.bestAllRound < lineScore + dance.lineHitSum) {
        dance.bestAllRoundLine = line;
        dance.bestAllRound = lineScore + dance.lineHitSum;
      }
      if (dance.breathLine == -1 && lineScore < 60) dance.breathLine = line;
      if (ratio > dance.bestDanceRatio) {
        dance.bestDanceRatio = ratio;
        dance.bestDanceLine = line;
      }
    }
  }
  dance.lineHitSum = 0.0f;
  dance.lineHitCount = 0;
}

}  // namespace sonavera::stage
