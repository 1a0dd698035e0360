#include "stage/stage.h"

#include <algorithm>

#include "platform/text_utf16.h"
#include "stage/avi.h"
#include "stage/font_sprite.h"
#include "stage/hge_animation.h"
#include "stage/hge_font.h"
#include "stage/hge_particle.h"
#include "stage/hge_sprite.h"

namespace sonavera::stage {

Stage::Stage(judge::AppState& appState, judge::StageShared& sharedState, StageShell& mainWindow)
    : tracker(sharedState), app(appState), shared(sharedState), shell(mainWindow) {}

Stage::~Stage() {
  ReleaseSongFonts();
  video.reset();
  // Sprites and systems hold their own engine references; drop them before the engine goes.
  sparkles.reset();
  trail.reset();
  timeFont.reset();
  hudArrow.reset();
  stepArrow.reset();
  for (auto& arrow : noteArrows) arrow.reset();
  for (auto* sprite : {&noteStar,   &countDot,    &particleSprite,   &pitchMarker,     &trailSprite,
                       &scoreBar,   &topPanel,    &finalScoreSprite, &noteSprite,      &danceJudgement,
                       &arrowGlow,  &background,  &wipeStripRight,   &wipeStripLeft,   &banner,
                       &comboLabel, &comboDigits, &bangSprite,       &lineGradeSprite, &playbackButton}) {
    sprite->reset();
  }
  if (hge != nullptr) {
    if (musicEffect != 0) hge->Effect_Free(musicEffect);
    for (HTEXTURE texture : textures) hge->Texture_Free(texture);
    if (initiated) hge->System_Shutdown();
    hge->Release();
  }
}

void Stage::resetStage() {
  stageMode = kOpening;
  wipePos = 0.0f;
  wipePosRight = 800.0f;
  tracker.Reset();
  pitch = PitchLaneState{};
  dance = DanceLaneState{};
  results = ResultsState{};
  if (judge != nullptr) {
    judge->loudBlocks = 0;
    judge->totalBlocks = 1;
  }
  shared.playbackTime = 0.0f;
  if (tickStarter) tickStarter();
}

void Stage::startSong(const content::SongTables& songTables, const std::string& folder, bool withVideo) {
  song = &songTables;
  reportSong = &songTables;
  ktvLines16.clear();
  songFolder = folder;
  if (!songFolder.empty() && songFolder.back() != '/') songFolder += '/';
  videoEnabled = withVideo;
  tracker.StartSong(songTables, ktvMode);
  const size_t events = std::min(songTables.danceTimes.size(), songTables.danceCodes.size());
  dance.arrowX.assign(events, 800.0f);
  dance.stepY.assign(events, 656.6f);
  noteLyrics16.clear();
  noteLyrics16.reserve(songTables.noteLyrics.size());
  for (const std::string& syllable : songTables.noteLyrics)
    noteLyrics16.push_back(platform::GbkToUtf16(syllable));
  marqueeText = marqueeSource;
  marqueeX = 800.0f;
  if (hge == nullptr || !initiated) return;

  if (!firstSongDone) {
    if (videoEnabled && !songTables.videoPath.empty()) {
      video = std::make_unique<AVI>(songTables.videoPath, 1, hge);
      video->SetDisplayRect(0, 162, 793, 432);
      videoClosed = false;
    }
    trailSprite = std::make_unique<hgeSprite>(textures.size() > 1 ? textures[1] : 0, 0, 0, 32, 32);
    trailSprite->SetBlendMode(BLEND_COLORMUL | BLEND_ALPHAADD | BLEND_NOZWRITE);
    trailSprite->SetZ(0.5f);
    trail = std::make_unique<hgeParticleSystem>("trail.psi", trailSprite.get());
    trail->Fire();
  } else {
    ReleaseSongFonts();
    banner->SetTexture(LoadTexture("Images\\ready.png"));
    banner->SetTextureRect(0, 0, 391, 71);
    scoreBar->SetTexture(LoadTexture("Images\\process.png"));
    scoreBar->SetTextureRect(0, 0, 264, 17);
    scoreBar->SetHotSpot(0, 0);
    noteStar->SetTexture(LoadTexture("Images\\particles.png"));
    noteStar->SetTextureRect(64, 64, 32, 32);
    noteStar->SetColor(0xFFFFFFFF);
    noteStar->SetHotSpot(16, 16);
    if (videoEnabled && !songTables.videoPath.empty()) {
      video = std::make_unique<AVI>(songTables.videoPath, 1, hge);
      video->SetDisplayRect(0, 162, 793, 432);
      videoClosed = false;
    }
    if (trail) trail->Fire();
  }
  topPanel->SetTexture(LoadTexture(ktvMode ? "Images\\stop1.png" : "Images\\stop.png"));
  topPanel->SetTextureRect(0, 0, 800, 162);
  firstSongDone = true;
  MakeSongFonts();
  if (danceOn) {
    hudArrow->Play();
    stepArrow->Play();
    for (auto& arrow : noteArrows) arrow->Play();
    sparkles->Fire();
  }
  LoadBackground();
}

void Stage::SetSingerMarker(int y, int nearFlag, int hitFlag, int missFlag) {
  pitch.markerY = y;
  pitch.markerKind = judge::MarkerKind(nearFlag, hitFlag, missFlag);
}

void Stage::onStageTick() {
  if (hge == nullptr) return;
  if (hge->System_GetStateHwnd(HGE_HWND) != nullptr) hge->System_Start();
  if (stageMode == kPerforming) LineTick();
}

void Stage::LineTick() {
  if (danceOn) DanceRelease();
  tracker.Tick();
}

void Stage::stopStage() {
  if (danceOn && hudArrow) {
    hudArrow->Stop();
    stepArrow->Stop();
    for (auto& arrow : noteArrows) arrow->Stop();
  }
  tracker.Stop();
  shared.firstActiveLine = 0;
  shared.activeLineEnd = 0;
  tracker.lineCursor = 0;
  tracker.lineX.clear();
  dance.arrowX.clear();
  dance.stepY.clear();
  song = nullptr;
}

void Stage::closeVideo() {
  video.reset();
  videoClosed = true;
}

void Stage::stopMusic() {
  if (hge != nullptr && musicChannel != 0) hge->Channel_Stop(musicChannel);
}

void Stage::SkipOpening() {
  wipePos = 928.0f + 576.0f;
  FinishOpening();
}

void Stage::FinishOpening() {
  stageMode = kPerforming;
  if (hge == nullptr) {  // no engine: the performance still runs, silently
    shell.BeginPerformance();
    return;
  }
  if (musicEffect != 0) hge->Effect_Free(musicEffect);
  musicEffect = 0;
  musicChannel = 0;
  shell.BeginPerformance();
  musicEffect = hge->Effect_Load((songFolder + (withVocals == 1 ? "music1.mp3" : "music.mp3")).c_str());
  musicVolume = 95;
  musicChannel = hge->Effect_PlayEx(musicEffect, 95, 0, 1.0f, false);
  app.songLengthSec = static_cast<int>(hge->Channel_GetLength(musicChannel));
  // The offline tools keep the clock themselves; the channel only tells the song's length.
  if (externalClock && musicChannel != 0) hge->Channel_Pause(musicChannel);
  wipePos = 0.0f;
  wipePosRight = 800.0f;
}

bool Stage::FrameFunc() {
  switch (stageMode) {
    case kOpening:
      if (wipePos - 576 < 928) {
        wipePos += 10;
        wipePosRight -= 10;
      }
      break;
    case kPerforming:
      PerformanceFrame();
      PerformanceClicks();
      break;
    case kResults:
      ResultsClicks();
      break;
    default:
      break;
  }
  return false;
}

bool Stage::RenderFunc() {
  switch (stageMode) {
    case kOpening:
      RenderOpening();
      break;
    case kPerforming:
      RenderPerformance();
      break;
    case kResults:
      RenderResults();
      break;
    default:
      break;
  }
  return false;
}

void Stage::PerformanceFrame() {
  if (!externalClock) shared.playbackTime = musicChannel != 0 ? hge->Channel_GetPos(musicChannel) : 0.0f;
  if (app.performanceActive != 0) app.elapsedSeconds = static_cast<int>(shared.playbackTime);
  if (video && !videoClosed) video->Update();
  const float dt = hge->Timer_GetDelta();
  if (singOn && trail) {
    trail->MoveTo(80, static_cast<float>(pitch.markerY) - 7);
    trail->Update(dt);
  }
  // Rows scroll in every mode: the judge closes the last line by them.
  tracker.FrameUpdate();
  if (!marqueeText.empty()) {
    if (static_cast<float>(marqueeText.size()) * 10 + marqueeX > 0) {
      marqueeX -= 1;
    } else {
      marqueeText.clear();
      marqueeX = 800.0f;
    }
  }
  if (danceOn) DanceFrame();
}

void Stage::PerformanceClicks() {
  if (!hge->Input_KeyDown(HGEK_LBUTTON)) return;
  float x = 0, y = 0;
  hge->Input_GetMousePos(&x, &y);
  if (x > 775 && x < 800 && y > 0 && y < 25) {
    if (musicVolume > 99) return;
    musicVolume += 5;
    hge->Channel_SetVolume(musicChannel, musicVolume);
  } else if (x > 775 && x < 800 && y > 25 && y < 50) {
    if (musicVolume < 1) return;
    musicVolume -= 5;
    hge->Channel_SetVolume(musicChannel, musicVolume);
  } else if (x > 3 && x < 48 && y > 3 && y < 48) {
    if (videoEnabled) closeVideo();
    shell.ReturnToList();
  }
}

void Stage::DrawText(FontSprite* font, float x, float y, const std::u16string& text) {
  if (font != nullptr && !text.empty()) font->Render(x, y, text.c_str());
}

float Stage::LastLineScore() const {
  return judge != nullptr ? judge->lastLineScore : 0.0f;
}

}  // namespace sonavera::stage
