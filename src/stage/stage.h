#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "content/song_tables.h"
#include "judge/judge_state.h"
#include "judge/line_tracker.h"
#include "judge/shared_state.h"
#include "stage/hge.h"
#include "stage/results_text.h"
#include "stage/share_config.h"
#include "stage/stage_links.h"

class QWidget;

namespace sonavera::stage {

class AVI;
class FontSprite;
class hgeAnimation;
class hgeFont;
class hgeParticleSystem;
class hgeSprite;

enum StageMode { kOpening = 0, kPerforming = 1, kResults = 2 };

/// The pitch lane's own counters (the line model itself is the judge's LineTracker).
struct PitchLaneState {
  int markerY = 80;
  int markerKind = 0;  // 0 none, 1 miss, 2 near, 3 hit
  int lineGradeTimer = 0;
  int lastLineIndex = -1;
  int goodLineStreak = 0;
  int bestGoodLineStreak = 0;
  float worstLineScore = 100.0f;
  int worstLine = -1;
  float bestLineScore = 0.0f;
  int bestLine = -1;
  int maxSongPosSec = 0;
  int bannerStep = 100;
  float bannerX = 217.0f;
  float bannerY = 261.0f;
  bool goShown = false;
};

/// The dance lane's counters and per-event positions.
struct DanceLaneState {
  std::vector<float> arrowX;  // x of each event on the arrow row
  std::vector<float> stepY;   // y of each event in the step section
  int arrowFirst = 0, arrowEnd = 0;
  int stepFirst = 0, stepEnd = 0;
  int releasePos = 0;
  bool releaseInSection = false;
  int judgePos = 0;
  bool inSection = false;
  bool judged = false;
  int judgement = 0;
  int judgementTimer = 0;
  std::array<std::array<bool, 4>, 2> pressLatch{};  // [0] arrow row, [1] step row; by DanceDirection
  int arrowPulse = 0;
  std::array<int, 4> stepPulse{};
  int arrowGlowTimer = 0;
  int stepGlowTimer = 0;
  std::array<int, 4> stepNeed{};  // directions asked by the current step event (left, down, up, right)
  float danceHits = 0.0f;
  int danceEvents = 0;
  int combo = 0;
  int bestDanceCombo = 0;
  float lineHitSum = 0.0f;
  int lineHitCount = 0;
  int bestAllRoundLine = -1;
  int breathLine = -1;
  int bestDanceLine = -1;
  float bestAllRound = 0.0f;
  float bestDanceRatio = 0.0f;
};

/// The results screen's animation and requests.
struct ResultsState {
  int fadeAlpha = 255;
  float panelX = -749.0f;
  float titleRowY = 610.0f, singRowY = 610.0f, danceRowY = 610.0f, summaryRowY = 610.0f;
  int bigScoreStep = 48;
  int shareRequest = 0;  // 1 Weibo, 2 Tencent Weibo, 4 toggle the recording
  bool clickLatch = false;
  std::string reportHtml;   // UTF-8
  std::string summaryText;  // UTF-8, rebuilt every frame
  bool setUpDone = false;
};

/// The game screen of a performance: the engine, its resources, the 16 ms frame, the three modes
/// (opening wipe, performance with the pitch and dance lanes, results). Everything runs on the
/// user-interface thread.
class Stage {
 public:
  /// `app` and `shared` are the performance state shared with the judge; `shell` is the main window.
  Stage(judge::AppState& app, judge::StageShared& shared, StageShell& shell);
  ~Stage();
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;

  /// Creates the engine inside `host` (headless when null) and loads every resource. False when the
  /// engine could not start or the particles picture is missing (the message box has been shown).
  bool initStage(QWidget* host);
  /// Resets every counter before a performance.
  void resetStage();
  /// Hands over the song (not copied: it must outlive the performance) and its folder.
  void startSong(const content::SongTables& song, const std::string& songFolder, bool videoEnabled);
  /// The judge places the singer's marker.
  void SetSingerMarker(int y, int nearFlag, int hitFlag, int missFlag);
  /// One 16 ms tick: one engine frame, then the line tracker.
  void onStageTick();
  /// The performance ended or was cancelled.
  void stopStage();
  void closeVideo();
  void stopMusic();

  // --- Wiring and switches of the main window -------------------------------------------------
  /// The judge's state (KTV counters and the last line's score); may be null.
  void SetJudgeState(judge::JudgeState* judgeState) { judge = judgeState; }
  void SetStickInput(StickInput* input) { stick = input; }
  /// The first line of "AD.txt" (GBK); copied into the marquee before each song.
  void SetMarqueeLine(const std::string& gbk) { marqueeSource = gbk; }
  void SetShareConfig(const ShareConfig& config) { share = config; }
  /// What resetStage calls to start the 16 ms tick (the host window's timer); may be empty.
  void SetTickStarter(std::function<void()> starter) { tickStarter = std::move(starter); }
  /// The song clock is set from outside (the offline tools): the accompaniment channel is not read.
  void SetExternalClock(bool external) { externalClock = external; }
  /// Skips the opening wipe: the accompaniment is loaded and BeginPerformance called at once.
  void SkipOpening();

  /// Shows an error to the user (text, caption); a message box by default, stderr when headless.
  std::function<void(const std::string&, const std::string&)> showMessage;

  bool singOn = true;
  bool danceOn = false;
  bool ktvMode = false;
  int withVocals = 0;  // play "music1.mp3" (the accompaniment with the original voice)

  // --- State (read by the main window, the report window and tests) ------------------------------
  HGE* hge = nullptr;
  int screenWidth = 800, screenHeight = 600, laneHeight = 106;
  int stageMode = kOpening;
  float wipePos = 0.0f, wipePosRight = 800.0f;
  HEFFECT musicEffect = 0;
  HCHANNEL musicChannel = 0;
  int musicVolume = 95;
  bool videoEnabled = false;
  bool videoClosed = true;
  bool firstSongDone = false;
  std::string marqueeText;  // GBK
  float marqueeX = 800.0f;

  judge::LineTracker tracker;
  PitchLaneState pitch;
  DanceLaneState dance;
  ResultsState results;
  const content::SongTables* song = nullptr;        // forgotten by stopStage
  const content::SongTables* reportSong = nullptr;  // the song the results describe
  std::string songFolder;

  judge::AppState& app;
  judge::StageShared& shared;

  // Derived scores of the results screen.
  float DanceScore() const;
  float OverallScore() const;
  float Kcal() const;
  /// The score of the last line shown (the judge's lastLineScore).
  float LastLineScore() const;
  /// Everything the results texts are made from.
  ResultsFacts Facts() const;

  /// The sprite of the replay button (its texture shows the replay state).
  hgeSprite* PlaybackButton() { return playbackButton.get(); }
  hgeSprite* LineGradeSprite() { return lineGradeSprite.get(); }
  hgeSprite* DanceJudgementSprite() { return danceJudgement.get(); }
  hgeSprite* BannerSprite() { return banner.get(); }

 private:
  friend class StageTestAccess;

  bool FrameFunc();
  bool RenderFunc();
  void LoadResources();
  void MakeSongFonts();
  void ReleaseSongFonts();
  void LoadBackground();
  HTEXTURE LoadTexture(const std::string& name);

  // Opening and closing
  void RenderOpening();
  void DrawOpeningWipe();
  void FinishOpening();
  void DrawClosingWipe();
  void EnterResults();

  // Performance
  void PerformanceFrame();
  void PerformanceClicks();
  void RenderPerformance();
  void DrawLaneFrame();
  void DrawProgress();
  void DrawRows();
  void DrawMarker();
  void TrackBestAndWorst();
  void DrawScoreBar();
  void DrawLineRating();
  void DrawBanner();
  void DrawBannerPair(float s, int alpha);
  void DrawKtv();
  void DrawMarquee();
  void LineTick();

  // Dance lane
  void DanceRelease();
  void DanceFrame();
  void DancePass();
  void DrawDance();
  void DrawArrowTarget(DanceDirection direction, bool pressed, bool inWindow);
  void DrawStepSection(bool inWindow);
  void DrawDanceRating();
  void UpdateDanceLineMarks(int line, float lineScore);
  bool Pressed(DanceDirection direction, int row);
  int rateArrow();
  int rateStep();
  void AddRating(int rating);

  // Results
  void ResultsClicks();
  void RenderResults();
  void ResultsSetUp();
  void DrawBigScore();
  void DrawSmallScore(float value, float y);
  void HandleShareRequest();

  void DrawText(FontSprite* font, float x, float y, const std::u16string& text);

  StageShell& shell;
  judge::JudgeState* judge = nullptr;
  StickInput* stick = nullptr;
  ShareConfig share;
  std::string marqueeSource;
  std::function<void()> tickStarter;
  bool externalClock = false;
  bool initiated = false;
  std::vector<std::u16string> noteLyrics16;  // the note syllables, converted once per song
  std::vector<std::u16string> ktvLines16;    // the KTV cue texts, converted once per song
  std::u16string marqueeText16;              // the marquee as drawn, converted when it changes
  std::string marqueeText16Source;

  // Resources
  std::vector<HTEXTURE> textures;  // every texture loaded, freed with the stage
  std::unique_ptr<hgeSprite> noteStar, countDot, particleSprite, pitchMarker, trailSprite, scoreBar, topPanel,
      finalScoreSprite, noteSprite, danceJudgement, arrowGlow, background, wipeStripRight, wipeStripLeft,
      banner, comboLabel, comboDigits, bangSprite, lineGradeSprite, playbackButton;
  std::unique_ptr<hgeAnimation> hudArrow, stepArrow;
  std::array<std::unique_ptr<hgeAnimation>, 4> noteArrows;  // by DanceDirection
  std::unique_ptr<hgeFont> timeFont;
  std::unique_ptr<hgeParticleSystem> sparkles, trail;
  FontSprite* lyricFont = nullptr;
  FontSprite* lyricHighlightFont = nullptr;
  FontSprite* titleFont = nullptr;  // size 30
  FontSprite* marqueeFont = nullptr;
  FontSprite* summaryFont = nullptr;  // size 24
  std::unique_ptr<AVI> video;
  HTEXTURE playbackTexture = 0, backstopTexture = 0;  // the replay button's two pictures
};

}  // namespace sonavera::stage
