// The man and woman animation at the start of a medley: the strips the build draws, the widget that
// plays them, and the medley start in a real window.
#include "app/voice_animation.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/main_window.h"
#include "app/main_window_services.h"
#include "app/performance.h"
#include "app/qt_app.h"
#include "app/song_run.h"
#include "audio/test_media.h"
#include "content/package_writer.h"
#include "content/temp_folder.h"
#include "platform/program_folder.h"
#include "platform/text_encoding.h"
#include "platform/wav_file.h"

namespace sonavera::app {
namespace {

using content::testing::TempFolder;
using testing::Pick;
using testing::QuietServices;
using testing::RunUntil;
using Voice = VoiceAnimation::Voice;
namespace fs = std::filesystem;

const std::string kProgramDir = std::string(SONAVERA_PROGRAM_DIR) + "/";

// Pixels a frame covers (alpha above a quarter).
int CoveredPixels(const QImage& image) {
  int covered = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) covered += qAlpha(image.pixel(x, y)) > 64 ? 1 : 0;
  return covered;
}

// What the widget draws, on a transparent ground.
QImage Rendered(VoiceAnimation& animation) {
  QImage image(animation.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  animation.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  return image;
}

class Strip : public ::testing::TestWithParam<Voice> {};

// Whole frames on a transparent ground, each one a figure of its own size, and movement between them.
TEST_P(Strip, HoldsWholeDistinctFrames) {
  testing::TestApplication();
  const QImage strip(QString::fromStdString(kProgramDir + VoiceAnimation::StripFile(GetParam())));
  ASSERT_FALSE(strip.isNull()) << VoiceAnimation::StripFile(GetParam());
  EXPECT_TRUE(strip.hasAlphaChannel());
  EXPECT_EQ(strip.height(), VoiceAnimation::kFrameHeight);
  ASSERT_EQ(strip.width() % VoiceAnimation::kFrameWidth, 0);
  const int frames = strip.width() / VoiceAnimation::kFrameWidth;
  EXPECT_GE(frames, 8);
  EXPECT_LE(frames, 12);
  const int area = VoiceAnimation::kFrameWidth * VoiceAnimation::kFrameHeight;
  std::set<QByteArray> distinct;
  for (int f = 0; f < frames; ++f) {
    const QImage frame = strip.copy(f * VoiceAnimation::kFrameWidth, 0, VoiceAnimation::kFrameWidth,
                                    VoiceAnimation::kFrameHeight);
    const int covered = CoveredPixels(frame);
    EXPECT_GT(covered, area / 10) << "frame " << f << " is nearly empty";
    EXPECT_LT(covered, area / 2) << "frame " << f << " has no transparent ground";
    EXPECT_EQ(qAlpha(frame.pixel(0, 0)), 0) << "frame " << f;
    EXPECT_EQ(qAlpha(frame.pixel(VoiceAnimation::kFrameWidth - 1, 0)), 0) << "frame " << f;
    distinct.insert(QByteArray(reinterpret_cast<const char*>(frame.constBits()), frame.sizeInBytes()));
  }
  EXPECT_EQ(static_cast<int>(distinct.size()), frames) << "some frames repeat";
}

INSTANTIATE_TEST_SUITE_P(ManAndWoman, Strip, ::testing::Values(Voice::Man, Voice::Woman),
                         [](const auto& info) { return info.param == Voice::Man ? "Man" : "Woman"; });

TEST(Strips, ManAndWomanDiffer) {
  testing::TestApplication();
  const QImage man(QString::fromStdString(kProgramDir + VoiceAnimation::StripFile(Voice::Man)));
  const QImage woman(QString::fromStdString(kProgramDir + VoiceAnimation::StripFile(Voice::Woman)));
  ASSERT_FALSE(man.isNull());
  ASSERT_FALSE(woman.isNull());
  EXPECT_NE(man, woman);
}

// Played on its own: centred over its area, frames advance with the clock, the strip runs through
// and the widget hides itself; each frame drawn is a figure.
TEST(VoiceAnimationWidget, PlaysThroughAndHidesItself) {
  testing::TestApplication();
  QWidget window;
  window.resize(800, 600);
  auto* area = new QWidget(&window);
  area->setGeometry(0, 0, 800, 600);
  VoiceAnimation animation(&window, area);
  window.show();
  EXPECT_FALSE(animation.isVisible());

  ASSERT_TRUE(animation.Play(kProgramDir, Voice::Woman));
  EXPECT_TRUE(animation.isVisible());
  EXPECT_EQ(animation.PlayingVoice(), Voice::Woman);
  EXPECT_EQ(animation.FrameCount(), 10);
  EXPECT_EQ(animation.Frame(), 0);
  EXPECT_EQ(animation.geometry(), QRect(300, 180, 200, 240));
  EXPECT_GT(window.children().indexOf(&animation), window.children().indexOf(area)) << "under the stage";
  const QImage first = Rendered(animation);
  EXPECT_GT(CoveredPixels(first), 200 * 240 / 10);

  std::set<int> seen{animation.Frame()};
  QImage later;
  const bool ended = RunUntil(
      [&] {
        seen.insert(animation.Frame());
        if (later.isNull() && animation.Frame() > 0) later = Rendered(animation);
        return !animation.isVisible();
      },
      20000);
  ASSERT_TRUE(ended) << "the animation never ended";
  EXPECT_FALSE(animation.Playing());
  EXPECT_GE(seen.size(), 3u);
  EXPECT_GT(*seen.rbegin(), 0);
  ASSERT_FALSE(later.isNull());
  EXPECT_NE(later, first) << "a later frame draws the same picture";
  EXPECT_GT(CoveredPixels(later), 200 * 240 / 10);

  // Played again it starts from its first frame; stopping hides it at once.
  ASSERT_TRUE(animation.Play(kProgramDir, Voice::Man));
  EXPECT_EQ(animation.Frame(), 0);
  EXPECT_TRUE(animation.isVisible());
  animation.Stop();
  EXPECT_FALSE(animation.isVisible());
  EXPECT_FALSE(animation.Playing());
}

// A larger area (full-screen singing) scales the figure with the stage; closing the window stops it.
TEST(VoiceAnimationWidget, ScalesWithTheAreaAndStopsWithTheWindow) {
  testing::TestApplication();
  QWidget window;
  window.resize(1600, 1200);
  auto* area = new QWidget(&window);
  area->setGeometry(0, 0, 1600, 1200);
  VoiceAnimation animation(&window, area);
  window.show();
  ASSERT_TRUE(animation.Play(kProgramDir, Voice::Man));
  EXPECT_EQ(animation.geometry(), QRect(600, 360, 400, 480));
  EXPECT_GT(CoveredPixels(Rendered(animation)), 400 * 480 / 10);
  window.close();
  EXPECT_FALSE(animation.Playing());
  EXPECT_FALSE(animation.isVisible());
}

// Missing, unreadable or too small strips: nothing shows and nothing complains; a strip that cannot
// be read also ends one still playing.
TEST(VoiceAnimationWidget, BadStripsShowNothing) {
  testing::TestApplication();
  TempFolder program;
  fs::create_directories(program.Path("Images"));
  std::ofstream(program.Path(VoiceAnimation::StripFile(Voice::Woman)), std::ios::binary) << "not a picture";
  QWidget window;
  window.resize(800, 600);
  VoiceAnimation animation(&window, nullptr);
  window.show();
  const std::string folder = program.Path() + "/";
  EXPECT_FALSE(animation.Play(folder, Voice::Man));
  EXPECT_FALSE(animation.isVisible());
  EXPECT_FALSE(animation.Play(folder, Voice::Woman));
  EXPECT_FALSE(animation.isVisible());
  QImage small(120, 240, QImage::Format_ARGB32);
  small.fill(Qt::red);
  ASSERT_TRUE(small.save(QString::fromStdString(program.Path(VoiceAnimation::StripFile(Voice::Man)))));
  EXPECT_FALSE(animation.Play(folder, Voice::Man));
  EXPECT_FALSE(animation.isVisible());

  ASSERT_TRUE(animation.Play(kProgramDir, Voice::Man));
  EXPECT_EQ(animation.geometry(), QRect(300, 180, 200, 240));  // no area: the stage's own size
  EXPECT_FALSE(animation.Play(folder, Voice::Woman));
  EXPECT_FALSE(animation.isVisible());
  EXPECT_EQ(animation.FrameCount(), 0);
}

const char* const kSongs[] = {"甲", "乙", "丙", "丁"};

// Four medley songs of two short lines each and a silent take for the microphone.
void WriteMedleyLibrary(const TempFolder& program) {
  std::string catalogue;
  for (const char* name : kSongs) {
    const std::string folder = program.Path(std::string("歌曲/串烧歌曲/") + name + "/data");
    std::string message;
    ASSERT_TRUE(content::WriteSongPackage(folder, testing::MiddleCSong(name, {0.5f, 1.7f}, 56), message))
        << message;
    testing::WriteQuietMusic(folder + "/", 4);
    catalogue += std::string(name) + " 串烧\r\n";
  }
  fs::create_directories(program.Path("歌曲/单曲"));
  std::ofstream(program.Path("List.txt"), std::ios::binary) << platform::Utf8ToGbk(catalogue).value();
  testing::WriteTake(program.Path("take.wav"), testing::HeldNoteTake(false, 0, 30));
}

// The medley page with its four slots filled and the voice chosen on 1055 or 1056.
void FillMedley(CRating1Dlg& window, bool woman) {
  window.show();
  window.ControlAs<QPushButton>(1081)->click();
  window.ControlAs<QPushButton>(1085)->click();
  auto* list = window.ControlAs<QListWidget>(1072);
  ASSERT_EQ(list->count(), 4);
  for (int row = 0; row < 4; ++row) Pick(list, row);
  window.ControlAs<QRadioButton>(woman ? 1056 : 1055)->click();
}

// (woman's voice, the window closes instead of returning to the list)
class MedleyStart : public ::testing::TestWithParam<std::tuple<bool, bool>> {};

// Starting the medley floats the chosen singer over the stage while the first song gets under way;
// returning to the list or closing the window takes it away at once.
TEST_P(MedleyStart, ShowsTheChosenSingerOverTheStage) {
  testing::TestApplication();
  const auto [woman, closeWindow] = GetParam();
  platform::SetProgramFolder(SONAVERA_PROGRAM_DIR);
  TempFolder program;
  WriteMedleyLibrary(program);
  testing::TakeFedPerformance run(program.Path(), program.Path("take.wav"));
  Performance& performance = run.performance;
  const std::vector<std::string>& stageMessages = run.stageMessages;  // recorded, never a modal box
  QuietServices services;
  CRating1Dlg window(program.Path(), services);
  window.SetPerformance(&performance);
  FillMedley(window, woman);
  EXPECT_EQ(VoiceAnimation::Find(window), nullptr) << "made before the medley starts";

  window.ControlAs<QPushButton>(1064)->click();
  ASSERT_TRUE(services.messages.empty()) << services.messages.front();
  ASSERT_TRUE(stageMessages.empty()) << stageMessages.front();
  EXPECT_TRUE(performance.Running()) << "the song starts beside the animation";
  VoiceAnimation* animation = VoiceAnimation::Find(window);
  ASSERT_NE(animation, nullptr);
  EXPECT_TRUE(animation->isVisible());
  EXPECT_EQ(animation->PlayingVoice(), woman ? Voice::Woman : Voice::Man);
  EXPECT_TRUE(window.Control(1014)->geometry().contains(animation->geometry()));
  EXPECT_GT(window.children().indexOf(animation), window.children().indexOf(window.Control(1014)));
  EXPECT_FALSE(animation->hasFocus());

  // A few frames on, still over the running song.
  ASSERT_TRUE(RunUntil([&] { return animation->Frame() > 1; }, 10000));
  EXPECT_TRUE(performance.Running());
  if (closeWindow) {
    window.close();
  } else {
    window.ReturnToList();
  }
  EXPECT_FALSE(animation->isVisible());
  EXPECT_FALSE(animation->Playing());
  EXPECT_FALSE(performance.Running());

  // The next medley plays it again from its first frame, then it goes by itself while the song runs.
  if (closeWindow) return;
  FillMedley(window, !woman);
  window.ControlAs<QPushButton>(1064)->click();
  ASSERT_TRUE(services.messages.empty()) << services.messages.front();
  EXPECT_EQ(VoiceAnimation::Find(window), animation) << "one animation per window";
  EXPECT_TRUE(animation->isVisible());
  EXPECT_EQ(animation->PlayingVoice(), woman ? Voice::Man : Voice::Woman);
  ASSERT_TRUE(RunUntil([&] { return !animation->isVisible(); }, 20000));
  EXPECT_TRUE(performance.Running());
  window.ReturnToList();
}

INSTANTIATE_TEST_SUITE_P(VoicesAndEnds, MedleyStart, ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param) ? "Woman" : "Man") +
                                  (std::get<1>(info.param) ? "ThenClose" : "ThenReturn");
                         });

// Without the strips in the program folder the medley starts as ever and nothing floats over it.
TEST(MedleyStartWithoutStrips, ShowsNothing) {
  testing::TestApplication();
  TempFolder program;
  WriteMedleyLibrary(program);
  platform::SetProgramFolder(program.Path());
  QuietServices services;
  CRating1Dlg window(program.Path(), services);  // no performance: the window only switches pages
  FillMedley(window, false);
  window.ControlAs<QPushButton>(1064)->click();
  platform::SetProgramFolder(SONAVERA_PROGRAM_DIR);
  EXPECT_TRUE(services.messages.empty());
  EXPECT_EQ(window.medleyMode, 1);
  EXPECT_TRUE(window.Control(1014)->isVisible());
  const VoiceAnimation* animation = VoiceAnimation::Find(window);
  EXPECT_TRUE(animation == nullptr || !animation->isVisible());
}

}  // namespace
}  // namespace sonavera::app
