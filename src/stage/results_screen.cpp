// The results screen: fades in from black, slides the score panel in, raises the title, score and
// summary rows one after another, zooms the overall score into place, and handles its buttons.
#include <algorithm>

#include "platform/program_folder.h"
#include "platform/text_encoding.h"
#include "platform/text_utf16.h"
#include "stage/font_sprite.h"
#include "stage/hge_sprite.h"
#include "stage/results_text.h"
#include "stage/stage.h"

namespace sonavera::stage {
namespace {

constexpr float kPanelSpeed = 24.09375f;

void SetDigit(hgeSprite& sprite, int d) {
  if (d <= 4) {
    sprite.SetTextureRect(62.0f * static_cast<float>(d), 0, 62, 54);
  } else {
    sprite.SetTextureRect(62.0f * static_cast<float>(d) - 310.0f, 54, 62, 54);
  }
}

void SetPoint(hgeSprite& sprite) {
  sprite.SetTextureRect(62, 108, 62, 54);
}

}  // namespace

float Stage::DanceScore() const {
  if (dance.danceEvents == 0) return 0.0f;  // nothing has passed yet: no share of hits
  return 100.0f / static_cast<float>(dance.danceEvents) * dance.danceHits;
}

float Stage::OverallScore() const {
  return danceOn ? (app.finalScore + DanceScore()) * 0.5f : app.finalScore;
}

float Stage::Kcal() const {
  return DanceScore() * (static_cast<float>(pitch.maxSongPosSec) * 0.207f) / 100.0f +
         static_cast<float>(pitch.maxSongPosSec) * 0.08f * app.finalScore / 100.0f;
}

ResultsFacts Stage::Facts() const {
  ResultsFacts facts;
  facts.singOn = singOn;
  facts.danceOn = danceOn;
  facts.ktvMode = ktvMode;
  facts.finalScore = app.finalScore;
  facts.danceScore = DanceScore();
  facts.overallScore = OverallScore();
  facts.kcal = Kcal();
  facts.bestLine = pitch.bestLine;
  facts.bestLineScore = pitch.bestLineScore;
  facts.worstLine = pitch.worstLine;
  facts.worstLineScore = pitch.worstLineScore;
  facts.bestAllRoundLine = dance.bestAllRoundLine;
  facts.breathLine = dance.breathLine;
  facts.bestGoodLineStreak = pitch.bestGoodLineStreak;
  facts.bestDanceCombo = dance.bestDanceCombo;
  facts.songTitle = platform::GbkToUtf8(app.songTitle);
  facts.song = reportSong;
  return facts;
}

void Stage::ResultsClicks() {
  if (!hge->Input_KeyDown(HGEK_LBUTTON)) {
    results.clickLatch = false;
    return;
  }
  float x = 0, y = 0;
  hge->Input_GetMousePos(&x, &y);
  if (x > 20 && x < 75 && y > 530 && y < 585) {
    if (videoEnabled) closeVideo();
    shell.ReturnToList();
    return;
  }
  if (results.clickLatch) return;
  int request = 0;
  if (x > 128 && x < 175 && y > 475 && y < 520) request = 1;
  if (x > 180 && x < 225 && y > 475 && y < 520) request = 2;
  if (x > 680 && x < 730 && y > 535 && y < 600) request = 4;
  if (request != 0) {
    results.shareRequest = request;
    results.clickLatch = true;
  }
}

void Stage::ResultsSetUp() {
  topPanel->SetTexture(LoadTexture("Images\\leibie.png"));
  topPanel->SetTextureRect(0, 0, 749, 589);
  scoreBar->SetTexture(LoadTexture("Images\\bignum.png"));
  scoreBar->SetHotSpot(31, 27);
  noteStar->SetTexture(LoadTexture("Images\\smallscore.png"));
  noteStar->SetHotSpot(31, 27);
  noteStar->SetColor(0xFFFFFFFF);
  if (ktvMode) results.reportHtml = "KTV版本歌曲作为娱乐性质歌曲，不做详细评价<br>";
  if (singOn) {
    const std::string report = ReportHtml(Facts());
    if (!report.empty()) results.reportHtml = report;
  }
  // The report window shows reportHtml, so it opens once the text is there.
  shell.OpenReportWindow();
  results.setUpDone = true;
}

void Stage::RenderResults() {
  hge->Gfx_BeginScene();
  hge->Gfx_Clear(0);
  if (background->GetTexture() != 0) background->RenderStretch(0, 0, 800, 600);
  if (results.fadeAlpha >= 1) {
    const std::uint32_t cover = ARGB(static_cast<std::uint32_t>(results.fadeAlpha), 0, 0, 0);
    for (int y = 0; y < 600; ++y)
      hge->Gfx_RenderLine(0, static_cast<float>(y), 800, static_cast<float>(y), cover, 0.1f);
    const int old = results.fadeAlpha;
    results.fadeAlpha -= 2;
    if (old < 3) ResultsSetUp();
    hge->Gfx_EndScene();
    return;
  }

  const bool panelMoving = results.panelX < 22;
  if (panelMoving) results.panelX += kPanelSpeed;
  if (!panelMoving) {
    ResultsState& r = results;
    if (r.titleRowY > 119) r.titleRowY -= 19.68f;
    if (r.titleRowY < 257 && r.singRowY > 286) r.singRowY -= 17.1579f;
    if (r.singRowY < 393 && r.danceRowY > 345) r.danceRowY -= 14.0526f;
    if (r.danceRowY < 428 && r.summaryRowY > 384) r.summaryRowY -= 12;
    if (r.titleRowY > 569 && r.titleRowY < 571) {
      background->SetTexture(LoadTexture("Images\\overbg2.png"));
      background->SetTextureRect(0, 0, 800, 600);
      if (titleFont != nullptr) titleFont->SetColor(0xFFFFFFFF);
    }
    DrawBigScore();
    DrawText(titleFont, 285, r.titleRowY, platform::GbkToUtf16(app.songTitle));
    const bool singShown = singOn || ktvMode;
    if (singShown && (!ktvMode || app.finalScore > 73)) DrawSmallScore(app.finalScore, r.singRowY);
    if (danceOn) DrawSmallScore(DanceScore(), r.danceRowY);
    r.summaryText = SummaryText(Facts());
    DrawText(summaryFont, 285, r.summaryRowY, platform::Utf8ToUtf16(r.summaryText));
  }
  if (results.titleRowY >= 570.0f) topPanel->Render(results.panelX, 11);
  if (!panelMoving) playbackButton->Render(680, 540);
  shell.StartRecordingIfReady();
  if (!panelMoving) HandleShareRequest();
  hge->Gfx_EndScene();
}

void Stage::DrawBigScore() {
  if (results.summaryRowY >= 490) return;
  bool shown;
  if (danceOn) {
    shown = !ktvMode || app.finalScore > 73;
  } else {
    shown = (singOn || ktvMode) && (!ktvMode || app.finalScore > 73);
  }
  float scale = 1.1f;
  if (results.bigScoreStep > 18) {
    --results.bigScoreStep;
    return;
  }
  if (results.bigScoreStep >= 0) {
    scale = static_cast<float>(results.bigScoreStep) * 0.1f + 1.1f;
    --results.bigScoreStep;
  }
  if (!shown) return;
  const ScoreDigits score = DigitsOf(OverallScore());
  SetDigit(*scoreBar, score.digits[0]);
  scoreBar->RenderEx(315, 212, 0, scale);
  SetDigit(*scoreBar, score.digits[1]);
  scoreBar->RenderEx(366, 212, 0, scale);
  if (score.hundred) {
    SetDigit(*scoreBar, score.digits[2]);
    scoreBar->RenderEx(417, 212, 0, scale);
    return;
  }
  SetPoint(*scoreBar);
  scoreBar->Render(405, 214);
  SetDigit(*scoreBar, score.digits[2]);
  scoreBar->RenderEx(439, 212, 0, scale);
}

void Stage::DrawSmallScore(float value, float y) {
  const ScoreDigits score = DigitsOf(value);
  SetDigit(*noteStar, score.digits[0]);
  noteStar->RenderEx(305, y, 0, 0.7f);
  SetDigit(*noteStar, score.digits[1]);
  noteStar->RenderEx(339, y, 0, 0.7f);
  if (score.hundred) {
    SetDigit(*noteStar, score.digits[2]);
    noteStar->RenderEx(373, y, 0, 0.7f);
    return;
  }
  SetPoint(*noteStar);
  noteStar->RenderEx(367, y, 0, 0.7f);
  SetDigit(*noteStar, score.digits[2]);
  noteStar->RenderEx(388, y, 0, 0.7f);
}

void Stage::HandleShareRequest() {
  const int request = results.shareRequest;
  results.shareRequest = 0;
  if (request == 1) {
    shell.OpenUrl(WeiboShareUrl(share, Facts()));
  } else if (request == 2) {
    const ResultsFacts facts = Facts();
    shell.OpenUrl(TencentShareUrl(share, facts));
    if (pitch.worstLine >= 0 && reportSong != nullptr) {
      AppendTestLine(platform::ProgramFolder(), LineLyric(*reportSong, pitch.worstLine) + "\n");
    }
  } else if (request == 4) {
    shell.ToggleRecording();
    const int state = shell.RecordingState();
    HTEXTURE& picture = state == 2 ? playbackTexture : backstopTexture;
    if (picture == 0) picture = LoadTexture(state == 2 ? "Images\\playback.png" : "Images\\backstop.png");
    playbackButton->SetTexture(picture);
    playbackButton->SetTextureRect(0, 0, 50, 65);
  }
}

}  // namespace sonavera::stage
