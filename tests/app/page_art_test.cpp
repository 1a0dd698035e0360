// The main window's own pictures: the generated page backgrounds and toggle faces, the window drawing
// them (and its fallback without them), and full-screen singing behind F11 (Qt offscreen platform).

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QThread>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "app/full_screen.h"
#include "app/main_window.h"
#include "app/main_window_services.h"
#include "app/page_pictures.h"
#include "app/performance.h"
#include "app/qt_app.h"
#include "app/song_run.h"
#include "audio/test_media.h"
#include "content/package_writer.h"
#include "content/temp_folder.h"
#include "platform/engine/engine_view.h"
#include "platform/program_folder.h"
#include "platform/text_encoding.h"
#include "platform/wav_file.h"
#include "stage/stage.h"

namespace sonavera::app {
namespace {

using content::testing::TempFolder;
using testing::QuietServices;
using testing::RunUntil;
namespace fs = std::filesystem;

const std::string kBuiltFolder = std::string(SONAVERA_PROGRAM_DIR) + "/";
const int kToggleIds[] = {1120, 1121, 1122, 1123, 1129, 1130};

QImage Load(const std::string& file) {
  QImage image(QString::fromStdString(kBuiltFolder + file));
  return image.convertToFormat(QImage::Format_ARGB32);
}

int Distance(QRgb a, QRgb b) {
  return std::max(
      {std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

double MeanLightness(const QImage& image) {
  double sum = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      sum += qAlpha(pixel) / 255.0 * (qRed(pixel) + qGreen(pixel) + qBlue(pixel)) / 3.0;
    }
  return sum / (image.width() * image.height());
}

// Every opaque pixel of `picture` shows unchanged at `origin` of `shot`; returns the worst difference.
int WorstOpaqueDifference(const QImage& shot, const QImage& picture, QPoint origin = {}) {
  int worst = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb pixel = picture.pixel(x, y);
      if (qAlpha(pixel) == 255)
        worst = std::max(worst, Distance(pixel, shot.pixel(origin.x() + x, origin.y() + y)));
    }
  return worst;
}

// --- The generated files -------------------------------------------------------------------------

struct PictureCase {
  std::string file;
  QSize size;
  int minColours;
};

class GeneratedPicture : public ::testing::TestWithParam<PictureCase> {};

// Each picture has its size and real content: many colours, not one flat fill.
TEST_P(GeneratedPicture, ExistsWithItsSizeAndIsNotBlank) {
  testing::TestApplication();
  const PictureCase& c = GetParam();
  ASSERT_TRUE(fs::exists(kBuiltFolder + c.file)) << c.file;
  const QImage image = Load(c.file);
  ASSERT_FALSE(image.isNull()) << c.file;
  EXPECT_EQ(image.size(), c.size) << c.file;
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
  EXPECT_GE(static_cast<int>(colours.size()), c.minColours) << c.file;
}

std::vector<PictureCase> AllPictures() {
  std::vector<PictureCase> cases = {{PagePictures::PageFile(0), {800, 600}, 2000},
                                    {PagePictures::PageFile(1), {800, 600}, 2000}};
  for (int id : kToggleIds)
    for (bool on : {true, false}) cases.push_back({PagePictures::ToggleFile(id, on), {90, 36}, 40});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(WindowArtwork, GeneratedPicture, ::testing::ValuesIn(AllPictures()));

// The page pictures are opaque (nothing of the window shows through), and each toggle's on face is
// clearly brighter than its off face.
TEST(WindowArtwork, PagesAreOpaqueAndOnFacesAreLit) {
  testing::TestApplication();
  for (int page : {0, 1}) {
    const QImage image = Load(PagePictures::PageFile(page));
    bool opaque = true;
    for (int y = 0; y < image.height() && opaque; ++y)
      for (int x = 0; x < image.width() && opaque; ++x) opaque = qAlpha(image.pixel(x, y)) == 255;
    EXPECT_TRUE(opaque) << "page " << page;
  }
  EXPECT_NE(Load(PagePictures::PageFile(0)), Load(PagePictures::PageFile(1)));
  for (int id : kToggleIds) {
    const double on = MeanLightness(Load(PagePictures::ToggleFile(id, true)));
    const double off = MeanLightness(Load(PagePictures::ToggleFile(id, false)));
    EXPECT_GT(on, off * 1.4) << id;
  }
}

// Unknown pages and ids have no file; a corrupt file is left out, not drawn as garbage.
TEST(WindowArtwork, UnknownOrUnreadablePicturesAreLeftOut) {
  testing::TestApplication();
  EXPECT_EQ(PagePictures::PageFile(2), "");
  EXPECT_EQ(PagePictures::ToggleFile(1081, true), "");
  TempFolder program;
  fs::create_directories(program.Path("Images"));
  std::ofstream(program.Path(PagePictures::PageFile(0)), std::ios::binary) << "\x89PNG\r\n\x1a\n truncated";
  fs::copy_file(kBuiltFolder + PagePictures::PageFile(1), program.Path(PagePictures::PageFile(1)));
  fs::copy_file(kBuiltFolder + PagePictures::ToggleFile(1121, true),
                program.Path(PagePictures::ToggleFile(1121, true)));
  const PagePictures pictures(program.Path() + "/");
  EXPECT_EQ(pictures.Page(0), nullptr);
  ASSERT_NE(pictures.Page(1), nullptr);
  EXPECT_EQ(pictures.Page(1)->size(), QSize(800, 600));
  EXPECT_NE(pictures.Toggle(1121, true), nullptr);
  EXPECT_EQ(pictures.Toggle(1121, false), nullptr);
  EXPECT_EQ(pictures.Toggle(1081, true), nullptr);
}

// --- The window drawing them ---------------------------------------------------------------------

class PageWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::TestApplication();
    fs::create_directories(program.Path("Images"));
  }
  void CopyPictures() {
    for (int page : {0, 1}) Copy(PagePictures::PageFile(page));
    for (int id : kToggleIds)
      for (bool on : {true, false}) Copy(PagePictures::ToggleFile(id, on));
  }
  void Copy(const std::string& file) { fs::copy_file(kBuiltFolder + file, program.Path(file)); }
  void Open() {
    window = std::make_unique<CRating1Dlg>(program.Path(), services);
    window->show();
  }
  QImage Shot() const { return window->grab().toImage().convertToFormat(QImage::Format_ARGB32); }
  QImage Face(int id) const {
    return window->Control(id)->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  }
  void Click(int id) { window->ControlAs<QPushButton>(id)->click(); }

  TempFolder program;
  QuietServices services;
  std::unique_ptr<CRating1Dlg> window;
};

// Places on each page that no control covers.
const QPoint kStartPageSamples[] = {{10, 10}, {300, 160}, {300, 350}, {100, 560}, {780, 590}, {650, 200}};
const QPoint kListPageSamples[] = {{10, 10}, {20, 300}, {475, 300}, {780, 300}, {700, 520}, {300, 590}};

TEST_F(PageWindow, EachPageShowsItsPicture) {
  CopyPictures();
  Open();
  const QImage start = Load(PagePictures::PageFile(0));
  const QImage list = Load(PagePictures::PageFile(1));
  QImage shot = Shot();
  ASSERT_EQ(shot.size(), QSize(800, 600));
  for (QPoint at : kStartPageSamples)
    EXPECT_LE(Distance(shot.pixel(at), start.pixel(at)), 2) << at.x() << "," << at.y();

  Click(1081);  // "开始演唱": the list page
  ASSERT_EQ(window->page, 1);
  shot = Shot();
  for (QPoint at : kListPageSamples)
    EXPECT_LE(Distance(shot.pixel(at), list.pixel(at)), 2) << at.x() << "," << at.y();

  Click(1094);  // back to the start page
  shot = Shot();
  for (QPoint at : kStartPageSamples)
    EXPECT_LE(Distance(shot.pixel(at), start.pixel(at)), 2) << at.x() << "," << at.y();
}

// Without the files the window still opens and draws its gradient on both pages.
TEST_F(PageWindow, MissingPicturesFallBackToTheGradient) {
  Open();
  QImage shot = Shot();
  EXPECT_LE(Distance(shot.pixel(400, 2), qRgb(0x1B, 0x1F, 0x3A)), 4);
  EXPECT_LE(Distance(shot.pixel(400, 597), qRgb(0x05, 0x05, 0x0C)), 4);
  Click(1081);
  shot = Shot();
  EXPECT_LE(Distance(shot.pixel(400, 2), qRgb(0x2A, 0x17, 0x33)), 4);
  // The toggles are plain buttons that still show their state.
  const QImage manOn = Face(1121), womanOff = Face(1122);
  Click(1122);
  EXPECT_NE(Face(1121), manOn);
  EXPECT_NE(Face(1122), womanOff);
}

struct TogglePair {
  int first, second;  // pressing `second` turns `first` off and itself on
};

class ToggleFaces : public PageWindow, public ::testing::WithParamInterface<TogglePair> {};

// A toggle shows exactly its picture file for its state, and the faces swap with the clicks.
TEST_P(ToggleFaces, FollowTheClicks) {
  CopyPictures();
  Open();
  Click(1081);
  const auto [first, second] = GetParam();
  auto expectFace = [&](int id, bool on) {
    EXPECT_LE(WorstOpaqueDifference(Face(id), Load(PagePictures::ToggleFile(id, on))), 2)
        << id << (on ? " on" : " off");
  };
  expectFace(first, true);
  expectFace(second, false);
  const QImage before = Face(first);
  Click(second);
  expectFace(first, false);
  expectFace(second, true);
  EXPECT_NE(Face(first), before);
  Click(first);
  expectFace(first, true);
  expectFace(second, false);
}

INSTANTIATE_TEST_SUITE_P(ModeToggles, ToggleFaces,
                         ::testing::Values(TogglePair{1121, 1122}, TogglePair{1120, 1123}));

// The lane toggles: dance on lights its face; singing off (dance still on) dims the sing face.
TEST_F(PageWindow, LaneTogglesShowTheLanes) {
  CopyPictures();
  Open();
  Click(1081);
  auto matches = [&](int id, bool on) {
    return WorstOpaqueDifference(Face(id), Load(PagePictures::ToggleFile(id, on))) <= 2;
  };
  EXPECT_TRUE(matches(1129, true));
  EXPECT_TRUE(matches(1130, false));
  Click(1130);
  EXPECT_EQ(window->danceOn, 1);
  EXPECT_TRUE(matches(1130, true));
  Click(1129);
  EXPECT_EQ(window->singOn, 0);
  EXPECT_TRUE(matches(1129, false));
  EXPECT_TRUE(matches(1130, true));
}

// --- Full-screen singing -------------------------------------------------------------------------

void PressF11(QWidget* target, bool autoRepeat = false) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_F11, Qt::NoModifier, QString(), autoRepeat);
  QCoreApplication::sendEvent(target, &press);
}

void ExpectNear(const QRect& actual, const QRectF& expected) {
  EXPECT_LE(std::abs(actual.left() - expected.left()), 1.0) << "left";
  EXPECT_LE(std::abs(actual.top() - expected.top()), 1.0) << "top";
  EXPECT_LE(std::abs(actual.width() - expected.width()), 1.0) << "width";
  EXPECT_LE(std::abs(actual.height() - expected.height()), 1.0) << "height";
}

TEST(FullScreenLayout, PageRectKeepsTheAspectAndNeverShrinks) {
  EXPECT_EQ(FullScreenSinging::PageRect({800, 600}), QRectF(0, 0, 800, 600));
  EXPECT_EQ(FullScreenSinging::PageRect({1600, 1200}), QRectF(0, 0, 1600, 1200));
  EXPECT_EQ(FullScreenSinging::PageRect({1920, 1080}), QRectF(240, 0, 1440, 1080));
  EXPECT_EQ(FullScreenSinging::PageRect({1024, 1024}), QRectF(0, 128, 1024, 768));
  EXPECT_EQ(FullScreenSinging::PageRect({640, 480}), QRectF(0, 0, 800, 600));
  EXPECT_EQ(FullScreenSinging::MapFromPage(QRect(40, 100, 420, 400), {1920, 1080}),
            QRect(312, 180, 756, 720));
}

TEST_F(PageWindow, F11TogglesBox1079AndFullScreen) {
  CopyPictures();
  Open();
  QWidget* box = window->Control(1079);
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(box->isVisible());
  EXPECT_EQ(box->objectName(), "1079");
  const QRect startButton = window->Control(1081)->geometry();

  PressF11(window->Control(1081));  // from the focused button
  EXPECT_TRUE(window->ControlAs<QCheckBox>(1079)->isChecked());
  EXPECT_TRUE(window->isFullScreen());
  EXPECT_TRUE(window->FullScreen().Active());
  EXPECT_FALSE(box->isVisible());
  PressF11(window.get(), true);  // a held key does not flip it back
  EXPECT_TRUE(window->isFullScreen());
  QCoreApplication::processEvents();  // the platform's own full-screen geometry lands first

  // On a larger screen the page and its controls scale together; the picture lies under them.
  window->resize(1600, 1000);
  const QRectF page(133.333, 0, 1333.333, 1000);
  ExpectNear(window->Control(1081)->geometry(),
             QRectF(page.x() + startButton.x() * 1.66667, startButton.y() * 1.66667,
                    startButton.width() * 1.66667, startButton.height() * 1.66667));
  const QImage shot = Shot();
  EXPECT_EQ(shot.pixel(50, 500), qRgb(0, 0, 0));  // the border left of the page
  const QImage start = Load(PagePictures::PageFile(0));
  EXPECT_LE(Distance(shot.pixel(133 + 500, 250), start.pixel(300, 150)), 40);

  PressF11(window.get());
  EXPECT_FALSE(window->ControlAs<QCheckBox>(1079)->isChecked());
  EXPECT_FALSE(window->isFullScreen());
  EXPECT_EQ(window->size(), QSize(800, 600));
  EXPECT_EQ(window->Control(1081)->geometry(), startButton);
}

// "开始演唱" with 1079 checked goes full-screen even when the box was set without its switch.
TEST_F(PageWindow, StartSingingHonoursTheBox) {
  Open();
  {
    QSignalBlocker quiet(window->Control(1079));
    window->ControlAs<QCheckBox>(1079)->setChecked(true);
  }
  EXPECT_FALSE(window->isFullScreen());
  Click(1081);
  EXPECT_TRUE(window->isFullScreen());
  EXPECT_TRUE(window->FullScreen().Active());
}

// A one-line song with a silent accompaniment, in the program folder's library.
void WriteSong(const TempFolder& program) {
  content::SongPackageSpec spec;
  spec.title = platform::Utf8ToGbk("全屏").value();
  content::PackageLine line{1.0f, 0.0f, std::vector<int>(200, 600)};
  line.end = 1.0f + 0.016f * 200;
  spec.lines.push_back(line);
  spec.lyric = platform::Utf8ToGbk("啦\n").value();
  std::string message;
  ASSERT_TRUE(content::WriteSongPackage(program.Path("歌曲/单曲/全屏/data"), spec, message)) << message;
  const auto music = sonavera::testing::Mp3Bytes(44100, 2, std::vector<int16_t>(44100 * 2 * 8, 0));
  for (const char* name : {"music.mp3", "music1.mp3"})
    sonavera::testing::WriteFile(program.Path(std::string("歌曲/单曲/全屏/data/") + name), music);
  std::ofstream(program.Path("List.txt"), std::ios::binary) << platform::Utf8ToGbk("全屏 测试\r\n").value();
  const std::vector<int16_t> take(10 * 8000, 0);
  std::string error;
  ASSERT_TRUE(platform::WriteWavFile(program.Path("take.wav"), take.data(), take.size(), 1, 8000, error))
      << error;
}

// A real song in full screen: the stage's host fills the enlarged container, the engine's view
// scales the stage, a click on the scaled stop button reaches the stage as its own pixels and ends
// the song, and the end of the song leaves full screen.
TEST_F(PageWindow, StageScalesToTheScreenAndTheSongsEndLeavesIt) {
  platform::SetProgramFolder(SONAVERA_PROGRAM_DIR);  // the stage's artwork
  WriteSong(program);
  testing::TakeFedPerformance run(program.Path(), program.Path("take.wav"));
  Performance& performance = run.performance;
  const std::vector<std::string>& stageMessages = run.stageMessages;
  struct CloseFirst {  // the window lets go of the performance before it goes
    std::unique_ptr<CRating1Dlg>& window;
    ~CloseFirst() { window.reset(); }
  } closeFirst{window};
  Open();
  window->SetPerformance(&performance);
  Click(1081);
  PressF11(window.get());
  QCoreApplication::processEvents();  // the platform's own full-screen geometry lands first
  window->resize(1600, 1000);
  auto* list = window->ControlAs<QListWidget>(1072);
  ASSERT_EQ(list->count(), 1);
  list->setCurrentRow(0);
  Click(1064);
  ASSERT_TRUE(stageMessages.empty()) << stageMessages.front();
  ASSERT_TRUE(performance.Running());

  QWidget* container = window->Control(1014);
  EXPECT_EQ(container->geometry(), QRect(0, 0, 1600, 1000));
  auto* hge = performance.GetStage().hge;
  ASSERT_NE(hge, nullptr);
  auto* view = static_cast<platform::EngineView*>(
      static_cast<QWidget*>(hge->System_GetStateHwnd(platform::engine::HGE_HWND)));
  ASSERT_NE(view, nullptr);
  ASSERT_NE(view->parentWidget(), nullptr);
  EXPECT_EQ(view->parentWidget()->parentWidget(), container);
  EXPECT_EQ(view->parentWidget()->size(), QSize(1600, 1000));
  EXPECT_EQ(view->size(), QSize(1600, 1000));
  ExpectNear(view->StageRect().toRect(), QRectF(133.333, 0, 1333.333, 1000));
  const QPointF stop(133.333 + 25 * 1.66667, 25 * 1.66667);  // the stop button at stage (25, 25)
  EXPECT_NEAR(view->ToStage(stop).x(), 25.0, 0.5);
  EXPECT_NEAR(view->ToStage(stop).y(), 25.0, 0.5);

  // F11 reaches the window while the stage's view has the keyboard; the stage never sees it.
  view->setFocus();
  PressF11(view);
  EXPECT_FALSE(window->isFullScreen());
  EXPECT_EQ(view->size(), QSize(800, 600));
  PressF11(view);
  EXPECT_TRUE(window->isFullScreen());
  EXPECT_FALSE(hge->Input_GetKeyState(platform::engine::HGEK_F1 + 10));

  ASSERT_TRUE(RunUntil([&] { return performance.GetStage().stageMode == stage::kPerforming; }, 20000));
  // Meanwhile the platform has given the window its own screen's size; take the larger one again.
  window->resize(1600, 1000);
  ASSERT_EQ(view->size(), QSize(1600, 1000));
  QMouseEvent press(QEvent::MouseButtonPress, stop, view->mapToGlobal(stop), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(view, &press);
  ASSERT_TRUE(RunUntil([&] { return !performance.Running(); }, 5000))
      << "the stop click never reached the stage";
  QMouseEvent release(QEvent::MouseButtonRelease, stop, view->mapToGlobal(stop), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(view, &release);

  EXPECT_FALSE(window->isFullScreen());
  EXPECT_FALSE(window->ControlAs<QCheckBox>(1079)->isChecked());
  EXPECT_EQ(window->size(), QSize(800, 600));
  EXPECT_EQ(container->geometry(), QRect(0, 0, 800, 600));
  EXPECT_EQ(view->parentWidget()->size(), QSize(800, 600));
  EXPECT_EQ(list->geometry(), QRect(40, 100, 420, 400));
}

}  // namespace
}  // namespace sonavera::app
