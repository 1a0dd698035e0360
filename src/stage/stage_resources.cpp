// The stage's engine set-up and the pictures, fonts and particle systems of its resource table.
#include <QApplication>
#include <QMessageBox>
#include <QWidget>
#include <cstdio>

#include "stage/avi.h"
#include "stage/font_sprite.h"
#include "stage/hge_animation.h"
#include "stage/hge_font.h"
#include "stage/hge_particle.h"
#include "stage/hge_sprite.h"
#include "stage/stage.h"

namespace sonavera::stage {
namespace {

// Texture load order; the index names the texture below.
constexpr const char* kTextureFiles[] = {
    "Images\\particles.png",   "Images\\arrow.png",     "Images\\process.png",  "Images\\stop.png",
    "Images\\finalscore.png",  "Images\\note.png",      "Images\\hudarrow.png", "Images\\judgement.png",
    "Images\\arrowglow.png",   "Images\\arrowY.png",    "Images\\leftnote.png", "Images\\downnote.png",
    "Images\\upnote.png",      "Images\\rightnote.png", "Images\\bgpic.png",    "Images\\LeftToRight.png",
    "Images\\RightToLeft.png", "Images\\ready.png",     "Images\\continue.png", "Images\\continum.png",
    "Images\\bang.png",        "Images\\singjudge.png", "Images\\playback.png",
};
enum TextureIndex {
  kParticles,
  kArrow,
  kProcess,
  kStop,
  kFinalScore,
  kNote,
  kHudArrow,
  kJudgement,
  kArrowGlow,
  kArrowY,
  kLeftNote,
  kDownNote,
  kUpNote,
  kRightNote,
  kBgPic,
  kLeftToRight,
  kRightToLeft,
  kReady,
  kContinue,
  kContinum,
  kBang,
  kSingJudge,
  kPlayback,
  kTextureCount
};

constexpr int kParticleBlend = BLEND_COLORMUL | BLEND_ALPHAADD | BLEND_NOZWRITE;

std::unique_ptr<hgeSprite> MakeSprite(HTEXTURE tex, float x, float y, float w, float h) {
  return std::make_unique<hgeSprite>(tex, x, y, w, h);
}

void ShowDefaultMessage(QWidget* host, const std::string& text, const std::string& caption) {
  if (host != nullptr && qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
    QMessageBox::critical(nullptr, QString::fromUtf8(caption), QString::fromUtf8(text));
  } else {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
}

}  // namespace

bool Stage::initStage(QWidget* host) {
  screenWidth = 800;
  screenHeight = 600;
  laneHeight = 106;
  hge = hgeCreate(HGE_VERSION);
  hge->System_SetStateString(HGE_LOGFILE, "temp.log");
  hge->System_SetStateBool(HGE_SHOWSPLASH, false);
  hge->System_SetStateFunc(HGE_FRAMEFUNC, [this] { return FrameFunc(); });
  hge->System_SetStateFunc(HGE_RENDERFUNC, [this] { return RenderFunc(); });
  hge->System_SetStateString(HGE_TITLE, "HGE");
  hge->System_SetStateHwnd(HGE_HWNDPARENT, host);
  hge->System_SetStateInt(HGE_SCREENWIDTH, screenWidth);
  hge->System_SetStateInt(HGE_SCREENHEIGHT, screenHeight);
  hge->System_SetStateBool(HGE_ZBUFFER, true);
  if (!hge->System_Initiate()) return false;
  initiated = true;

  textures.clear();
  for (const char* file : kTextureFiles) textures.push_back(hge->Texture_Load(file, 0, false));
  if (textures[kParticles] == 0) {
    const std::string text =
        "Can't load one of the following files:\nMENU.WAV, PARTICLES.PNG, FONT1.FNT, FONT1.PNG, TRAIL.PSI";
    if (showMessage) {
      showMessage(text, "Error");
    } else {
      ShowDefaultMessage(host, text, "Error");
    }
    for (HTEXTURE texture : textures) hge->Texture_Free(texture);
    textures.clear();
    hge->System_Shutdown();
    initiated = false;
    hge->Release();
    hge = nullptr;
    return false;
  }
  LoadResources();
  return true;
}

void Stage::LoadResources() {
  const auto tex = [this](int index) { return textures[static_cast<size_t>(index)]; };
  noteStar = MakeSprite(tex(kParticles), 64, 64, 32, 32);
  noteStar->SetColor(0xFFFFFFFF);
  noteStar->SetHotSpot(16, 16);
  countDot = MakeSprite(tex(kParticles), 64, 96, 32, 32);
  countDot->SetColor(0xFF4F481E);
  countDot->SetHotSpot(16, 16);
  particleSprite = MakeSprite(tex(kParticles), 32, 32, 32, 32);
  particleSprite->SetBlendMode(kParticleBlend);

  pitchMarker = MakeSprite(tex(kArrow), 0, 0, 32, 32);
  pitchMarker->SetColor(0xFF4F481E);
  pitchMarker->SetHotSpot(16, 16);
  pitchMarker->SetZ(0.1f);
  scoreBar = MakeSprite(tex(kProcess), 0, 0, 264, 17);
  scoreBar->SetZ(0.6f);
  topPanel = MakeSprite(tex(kStop), 0, 0, 800, 162);
  topPanel->SetZ(0.9f);
  finalScoreSprite = MakeSprite(tex(kFinalScore), 0, 0, 140, 32);
  noteSprite = MakeSprite(tex(kNote), 0, 0, 64, 64);
  noteSprite->SetHotSpot(32, 32);

  hudArrow = std::make_unique<hgeAnimation>(tex(kHudArrow), 4, 10.0f, 0, 0, 64, 64);
  hudArrow->SetHotSpot(32, 32);
  hudArrow->SetMode(HGEANIM_FWD | HGEANIM_LOOP);
  danceJudgement = MakeSprite(tex(kJudgement), 0, 0, 145, 37);
  danceJudgement->SetHotSpot(72.5f, 18.5f);
  danceJudgement->SetZ(0.3f);
  arrowGlow = MakeSprite(tex(kArrowGlow), 0, 0, 64, 64);
  arrowGlow->SetHotSpot(32, 32);
  arrowGlow->SetZ(0.3f);
  stepArrow = std::make_unique<hgeAnimation>(tex(kArrowY), 16, 8.0f, 0, 0, 64, 64);
  stepArrow->SetHotSpot(32, 32);
  stepArrow->SetMode(HGEANIM_FWD | HGEANIM_LOOP);
  const int noteTextures[4] = {kLeftNote, kDownNote, kUpNote, kRightNote};
  for (int d = 0; d < 4; ++d) {
    noteArrows[d] = std::make_unique<hgeAnimation>(tex(noteTextures[d]), 4, 8.0f, 0, 0, 64, 64);
    noteArrows[d]->SetHotSpot(32, 32);
    noteArrows[d]->SetMode(HGEANIM_FWD | HGEANIM_LOOP);
  }

  background = MakeSprite(tex(kBgPic), 0, 0, 800, 438);
  background->SetZ(0.9f);
  wipeStripRight = MakeSprite(tex(kLeftToRight), 0, 0, 128, 32);
  wipeStripRight->SetZ(0.05f);
  wipeStripLeft = MakeSprite(tex(kRightToLeft), 0, 0, 128, 32);
  wipeStripLeft->SetZ(0.05f);
  banner = MakeSprite(tex(kReady), 0, 0, 391, 71);
  banner->SetZ(0.1f);
  comboLabel = MakeSprite(tex(kContinue), 0, 0, 96, 32);
  comboLabel->SetZ(0.3f);
  comboDigits = MakeSprite(tex(kContinum), 0, 0, 44, 66);
  comboDigits->SetHotSpot(22, 33);
  comboDigits->SetZ(0.3f);
  bangSprite = MakeSprite(tex(kBang), 0, 0, 64, 64);
  lineGradeSprite = MakeSprite(tex(kSingJudge), 0, 0, 170, 46);
  playbackButton = MakeSprite(tex(kPlayback), 0, 0, 50, 65);
  playbackButton->SetZ(0.3f);

  timeFont = std::make_unique<hgeFont>("font1.fnt", false);
  timeFont->SetColor(0xFFFFFFFF);
  timeFont->SetScale(1.3f);
  sparkles = std::make_unique<hgeParticleSystem>("particle1.psi", particleSprite.get());
  sparkles->MoveTo(55, 165);
}

HTEXTURE Stage::LoadTexture(const std::string& name) {
  const HTEXTURE texture = hge->Texture_Load(name.c_str(), 0, false);
  // Replaced textures are kept until the stage goes: a sprite may still show the old one this frame.
  if (texture != 0) textures.push_back(texture);
  return texture;
}

void Stage::MakeSongFonts() {
  const char* path = StageFontPath();
  lyricFont = createTypeFont(path, 32);
  if (lyricFont) lyricFont->SetColor(0xFFFFFFFF);
  lyricHighlightFont = createTypeFont(path, 32);
  if (lyricHighlightFont) lyricHighlightFont->SetColor(0xFF37BAFB);
  titleFont = createTypeFont(path, 30);
  marqueeFont = createTypeFont(path, 18);
  summaryFont = createTypeFont(path, 24);
}

void Stage::ReleaseSongFonts() {
  for (FontSprite** font : {&lyricFont, &lyricHighlightFont, &titleFont, &marqueeFont, &summaryFont}) {
    if (*font != nullptr) (*font)->Release();
    *font = nullptr;
  }
}

void Stage::LoadBackground() {
  // The data folder is the deepest folder of the song, so a package that keeps its pictures beside
  // the data (song/Images, song/data) has them one level up: look there before the program's picture.
  std::string songRoot = songFolder;
  while (!songRoot.empty() && songRoot.back() == '/') songRoot.pop_back();
  const auto slash = songRoot.rfind('/');
  songRoot = slash == std::string::npos ? std::string() : songRoot.substr(0, slash + 1);
  HTEXTURE texture = 0;
  for (const std::string& folder : {songFolder, songRoot}) {
    if (folder.empty() || texture != 0) continue;
    texture = LoadTexture(folder + "Images/bgpic.png");
    if (texture == 0) texture = LoadTexture(folder + "Images/bgpic.jpg");
  }
  if (texture == 0) texture = LoadTexture("Images\\bgpic.png");
  background->SetTexture(texture);
  background->SetTextureRect(0, 0, 800, 438);
}

}  // namespace sonavera::stage
