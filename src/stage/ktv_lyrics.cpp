// KTV songs: no melody to show, so the lane shows a countdown and two rows of lyrics, and the song
// is scored by loudness once its last cue has passed.
#include <algorithm>

#include "judge/final_score.h"
#include "platform/text_utf16.h"
#include "stage/font_sprite.h"
#include "stage/hge_sprite.h"
#include "stage/stage.h"

namespace sonavera::stage {
namespace {

constexpr std::uint32_t kLit = 0xFF37BAFB;

}  // namespace

void Stage::DrawKtv() {
  if (song == nullptr) return;
  const float t = shared.playbackTime;
  if (app.performanceActive != 0 && t > song->lyricEndTime) {
    const int loud = judge != nullptr ? judge->loudBlocks : 0;
    const int total = judge != nullptr ? judge->totalBlocks : 1;
    app.finalScore = judge::KtvFinalScore(loud, total, song->ktvReferenceRatio);
    app.songLengthSec = 1;
    app.elapsedSeconds = 0;
    shell.EndPerformance();
  }
  const int count = std::min(song->lyricCueCount, static_cast<int>(song->lyricCues.size()));
  if (count < 1) return;
  if (ktvLines16.size() != static_cast<size_t>(count)) {
    ktvLines16.clear();
    for (int c = 0; c < count; ++c) ktvLines16.push_back(platform::GbkToUtf16(song->lyricCues[c].text));
  }

  const float first = song->lyricCues[0].time;
  if (t < first) {
    // Three dots light up one by one in the last three seconds before the first line.
    for (int k = 0; k < 3; ++k) {
      const bool lit = t > first - 3.0f + static_cast<float>(k);
      countDot->SetColor(lit ? kLit : 0xFFFFFFFF);
      countDot->RenderEx(34.0f + 28.0f * static_cast<float>(k), 70, 0, 1.5f);
    }
    return;
  }

  int& i = shared.lyricCueIndex;
  if (i < 1 || i > count) return;
  const auto place = [&](int line, bool upper, FontSprite* font) {
    if (line < 1 || line > count || font == nullptr) return;
    const std::string& bytes = song->lyricCues[line - 1].text;
    if (upper) {
      font->Render(34, 75, ktvLines16[line - 1].c_str());
    } else {
      const float x = std::max(0.0f, 754.0f - static_cast<float>(bytes.size() / 2) * 32.0f);
      font->Render(x, 110, ktvLines16[line - 1].c_str());
    }
  };
  const bool currentUpper = i % 2 == 1;
  const bool currentWaits = i == 1 && !(t > song->lyricCues[0].time);
  place(i, currentUpper, currentWaits ? lyricFont : lyricHighlightFont);
  if (i < count) {
    const bool reached = t > song->lyricCues[i].time;
    place(i + 1, !currentUpper, reached ? lyricHighlightFont : lyricFont);
    if (reached && i < count - 1) ++i;
  }
}

}  // namespace sonavera::stage
