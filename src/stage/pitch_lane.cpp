// The pitch lane of the performance screen: note rows, the singer's marker, the score bar, line
// ratings, the progress bar and the elapsed time. The line model underneath is the judge's.
#include <algorithm>

#include "platform/text_utf16.h"
#include "stage/avi.h"
#include "stage/font_sprite.h"
#include "stage/hge_font.h"
#include "stage/hge_particle.h"
#include "stage/hge_sprite.h"
#include "stage/stage.h"

namespace sonavera::stage {
namespace {

constexpr float kLaneZ = 0.5f;
constexpr std::uint32_t kBarEdge = 0xFF76C5D6;
constexpr std::uint32_t kBarCore = 0xFF3F7ECD;
constexpr float kSyllableY = 124.8f;
constexpr int kGradeFrames = 65;

// Draws the bars, stars and syllables of the notes the row loop finds on screen.
class RowPainter : public judge::NoteVisitor {
 public:
  RowPainter(HGE* engine, hgeSprite* star, FontSprite* font, const std::vector<std::u16string>& lyrics,
             const content::SongTables& song)
      : hge(engine), noteStar(star), lyricFont(font), noteLyrics(lyrics), song(song) {}

  void VisibleNote(const judge::NoteSpan& note) override {
    const int pitch = note.note < static_cast<int>(song.notePitch.size()) ? song.notePitch[note.note] : 0;
    if (pitch == 0) return;  // a rest moves the notes after it but shows nothing
    const float y = note.y;
    noteStar->RenderEx(note.startX, y, 0, 0.7f);
    if (lyricFont != nullptr && note.note < static_cast<int>(noteLyrics.size()) &&
        !noteLyrics[note.note].empty()) {
      lyricFont->Render(note.startX, kSyllableY, noteLyrics[note.note].c_str());
    }
    const float x1 = note.startX + 3, x2 = note.endX + 3;
    hge->Gfx_RenderLine(x1, y - 2, x2, y - 2, kBarEdge, kLaneZ);
    hge->Gfx_RenderLine(x1, y - 1, x2, y - 1, kBarCore, kLaneZ);
    hge->Gfx_RenderLine(x1, y, x2, y, kBarCore, kLaneZ);
    hge->Gfx_RenderLine(x1, y + 1, x2, y + 1, kBarCore, kLaneZ);
    hge->Gfx_RenderLine(x1, y + 2, x2, y + 2, kBarEdge, kLaneZ);
  }

 private:
  HGE* hge;
  hgeSprite* noteStar;
  FontSprite* lyricFont;
  const std::vector<std::u16string>& noteLyrics;
  const content::SongTables& song;
};

}  // namespace

void Stage::RenderPerformance() {
  hge->Gfx_BeginScene();
  hge->Gfx_Clear(0);
  if (danceOn && song != nullptr && tracker.running) DancePass();
  if ((!video || videoClosed) && background->GetTexture() != 0) background->RenderStretch(0, 162, 800, 600);
  DrawProgress();
  DrawLaneFrame();
  DrawRows();
  if (singOn) {
    DrawMarker();
    TrackBestAndWorst();
    DrawScoreBar();
    DrawLineRating();
  }
  if (ktvMode) DrawKtv();
  DrawBanner();
  if (danceOn && song != nullptr) DrawDance();
  DrawMarquee();
  if (video && !videoClosed) video->Draw();
  if (app.performanceActive == 0) DrawClosingWipe();
  hge->Gfx_EndScene();
}

void Stage::DrawLaneFrame() {
  const float bottom = static_cast<float>(laneHeight + 57);
  hge->Gfx_RenderLine(79, 56, 79, bottom, 0xFF5D7AA2, kLaneZ);
  hge->Gfx_RenderLine(80, 56, 80, bottom, 0xFF6F8DD6, kLaneZ);
  hge->Gfx_RenderLine(81, 56, 81, bottom, 0xFF5D7AA2, kLaneZ);
  for (float y : {161.0f, 162.0f, 163.0f}) hge->Gfx_RenderLine(0, y, 800, y, 0xFFFFFFFF, kLaneZ);
  if (danceOn) {
    for (float y : {217.2f, 218.2f, 219.2f}) hge->Gfx_RenderLine(0, y, 800, y, 0xFFFFFFFF, kLaneZ);
  }
}

void Stage::DrawProgress() {
  topPanel->Render(0, 0);
  if (app.songLengthSec < 1) {
    app.songLengthSec = 1;
    app.elapsedSeconds = 0;
  }
  pitch.maxSongPosSec = std::max(pitch.maxSongPosSec, app.elapsedSeconds);
  const int barEnd = (800 / app.songLengthSec) * app.elapsedSeconds;
  if (barEnd > 0) {
    const std::uint32_t colours[6] = {0xFF9BD119, 0xFF98D410, 0xFF98D410, 0xFF9BD119, 0xFF98D410, 0xFF98D410};
    for (int i = 0; i < 6; ++i) {
      hge->Gfx_RenderLine(0, static_cast<float>(48 + i), static_cast<float>(barEnd),
                          static_cast<float>(48 + i), colours[i], kLaneZ);
    }
  }
  const int minutes = app.elapsedSeconds / 60;
  const int seconds = app.elapsedSeconds % 60;
  timeFont->printf(8, danceOn ? 221.2f : 167.0f, HGETEXT_LEFT, seconds < 10 ? "%d:0%d" : "%d:%d", minutes,
                   seconds);
}

void Stage::DrawRows() {
  if (song == nullptr) return;
  if (!singOn) {
    tracker.RowLoop(nullptr);
    return;
  }
  RowPainter painter(hge, noteStar.get(), lyricFont, noteLyrics16, *song);
  tracker.RowLoop(&painter);
}

void Stage::DrawMarker() {
  static constexpr std::uint32_t kColours[4] = {0xFF4F481E, 0xFFFF0000, 0xFFFFF000, 0xFF00FF00};
  const int kind = pitch.markerKind >= 0 && pitch.markerKind <= 3 ? pitch.markerKind : 0;
  pitchMarker->SetColor(kColours[kind]);
  if ((kind == 2 || kind == 3) && pitch.goodLineStreak >= 2 && pitch.markerY > 55 &&
      pitch.markerY <= laneHeight + 41 && trail) {
    trail->Render();
  }
  if (pitch.markerY > 55 && pitch.markerY <= laneHeight + 56) {
    pitchMarker->Render(64, static_cast<float>(pitch.markerY));
  }
}

void Stage::TrackBestAndWorst() {
  const float s = LastLineScore();
  const int i = pitch.lastLineIndex;
  if (pitch.worstLineScore > s && s > 0) {
    pitch.worstLineScore = s;
    pitch.worstLine = i + 1;
  }
  if (pitch.bestLineScore < s && s < 100) {
    pitch.bestLineScore = s;
    pitch.bestLine = i + 1;
  }
}

void Stage::DrawScoreBar() {
  const float width = std::min(app.lineScore * 2.64f, 264.0f);
  if (width <= 0) return;
  scoreBar->SetTextureRect(0, 0, width, 17);
  scoreBar->Render(56, 10);
}

void Stage::DrawLineRating() {
  if (pitch.lineGradeTimer == 0 && app.lineGrade >= 1) {
    pitch.lineGradeTimer = kGradeFrames;
    ++pitch.lastLineIndex;
    if (app.lineGrade <= 2) {
      if (++pitch.goodLineStreak > 30) pitch.goodLineStreak = 0;
      pitch.bestGoodLineStreak = std::max(pitch.bestGoodLineStreak, pitch.goodLineStreak);
    } else {
      pitch.goodLineStreak = 0;
    }
    if (danceOn) UpdateDanceLineMarks(pitch.lastLineIndex, LastLineScore());
  }
  if (pitch.lineGradeTimer <= 0) return;
  const int grade = app.lineGrade;  // a newer rating replaces the picture for the remaining frames
  if (--pitch.lineGradeTimer == 0) app.lineGrade = 0;
  if (grade >= 1 && grade <= 5) {
    lineGradeSprite->SetTextureRect(0, 46.0f * static_cast<float>(grade - 1), 170, 46);
    lineGradeSprite->Render(335, -1);
  }
}

void Stage::DrawMarquee() {
  if (marqueeText.empty() || marqueeFont == nullptr) return;
  if (marqueeText16Source != marqueeText) {
    marqueeText16Source = marqueeText;
    marqueeText16 = platform::GbkToUtf16(marqueeText);
  }
  marqueeFont->Render(marqueeX, 53, marqueeText16.c_str());
}

}  // namespace sonavera::stage
