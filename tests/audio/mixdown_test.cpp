#include "audio/mixdown.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "audio/test_media.h"
#include "common/eventually.h"

namespace sonavera::audio {
namespace {

using namespace std::chrono_literals;
using testing::Eventually;
using testing::TempFolder;

// Stands where the main window's message hand-off would be. It can hold the worker inside
// ShowMessage, which makes "a mixdown is running" a state the test controls.
class HeldMessages : public MessageSink {
 public:
  void ShowMessage(const std::string& text) override {
    std::unique_lock<std::mutex> lock(mutex);
    texts.push_back(text);
    threads.push_back(std::this_thread::get_id());
    arrived.notify_all();
    released.wait(lock, [this] { return !holding; });
  }
  void Hold() {
    std::lock_guard<std::mutex> lock(mutex);
    holding = true;
  }
  void Release() {
    {
      std::lock_guard<std::mutex> lock(mutex);
      holding = false;
    }
    released.notify_all();
  }
  bool WaitForMessage() {
    std::unique_lock<std::mutex> lock(mutex);
    return arrived.wait_for(lock, 10s, [this] { return !texts.empty(); });
  }
  std::vector<std::string> Texts() {
    std::lock_guard<std::mutex> lock(mutex);
    return texts;
  }
  std::vector<std::thread::id> threads;

 private:
  std::mutex mutex;
  std::condition_variable arrived, released;
  bool holding = false;
  std::vector<std::string> texts;
};

class MixdownTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WriteFile(song / "music.mp3", testing::Mp3Bytes(44100, 2, testing::Tone(44100, 2, 0.6, 330)));
  }
  void WriteVoice(double seconds) {
    testing::WriteFile(program / "temp.wav",
                       testing::WavBytes(44100, 2, 16, testing::Tone(44100, 2, seconds, 550, 4000)));
  }

  TempFolder song, program;
  HeldMessages messages;
  CHwMCI recorder;
};

// Not mixed -> mix and play; playing -> pause; paused -> play from the start; a replay request after
// playback ended by itself plays again from the start.
TEST_F(MixdownTest, ReplayButtonCycle) {
  WriteVoice(1.0);  // the voice outlasts the accompaniment
  Mixdown mixdown(program.path(), messages);
  EXPECT_EQ(mixdown.mixState(), Mixdown::kIdle);
  mixdown.ToggleRecording(recorder, song.path());
  mixdown.Wait();
  EXPECT_EQ(mixdown.mixState(), Mixdown::kPlaying);
  EXPECT_TRUE(mixdown.playRecording());
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_EQ(program.Files(), (std::vector<std::string>{"accompany.wav", "temp.wav", "uion.wav"}));
  const auto uion = testing::ReadFile(program / "uion.wav");
  EXPECT_EQ(uion.size(), testing::ReadFile(program / "temp.wav").size());
  EXPECT_EQ(testing::Le32At(uion, 4), uion.size() - 8);

  mixdown.StartPlaybackIfReady(recorder);
  EXPECT_FALSE(mixdown.playRecording());
  ASSERT_TRUE(recorder.IsOpen());
  EXPECT_FALSE(recorder.IsStopped());

  mixdown.ToggleRecording(recorder, song.path());
  EXPECT_EQ(mixdown.mixState(), Mixdown::kPaused);
  EXPECT_TRUE(recorder.IsStopped());
  mixdown.ToggleRecording(recorder, song.path());
  EXPECT_EQ(mixdown.mixState(), Mixdown::kPlaying);
  EXPECT_FALSE(recorder.IsStopped());

  ASSERT_TRUE(Eventually([&] { return recorder.IsStopped(); }));
  EXPECT_EQ(mixdown.mixState(), Mixdown::kPlaying);
  mixdown.ToggleRecording(recorder, song.path());
  EXPECT_EQ(mixdown.mixState(), Mixdown::kPlaying);
  EXPECT_FALSE(recorder.IsStopped()) << "ended playback starts again";

  mixdown.ResetForNextSong();
  EXPECT_EQ(mixdown.mixState(), Mixdown::kIdle);
  EXPECT_FALSE(mixdown.playRecording());
}

// While the worker runs, further requests start nothing; its message reaches the sink from the
// worker's thread, for the user-interface thread to show.
TEST_F(MixdownTest, NoSecondMixdownWhileOneRuns) {
  testing::WriteFile(program / "temp.wav",
                     {'R', 'I', 'F', 'F', 0, 0, 0,    0,    'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0,
                      0,   0,   2,   0,   2, 0, 0x44, 0xAC, 0,   0,   0,   0,   0,   0,   4,   0,   16, 0});
  Mixdown mixdown(program.path(), messages);
  messages.Hold();
  mixdown.ToggleRecording(recorder, song.path());
  ASSERT_TRUE(messages.WaitForMessage());
  EXPECT_TRUE(mixdown.running());
  mixdown.ToggleRecording(recorder, song.path());
  mixdown.ToggleRecording(recorder, song.path());
  EXPECT_EQ(mixdown.mixState(), Mixdown::kIdle);
  messages.Release();
  mixdown.Wait();
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"此程序只支持PCM格式编码，不支持其它编码格式!\n"});
  ASSERT_EQ(messages.threads.size(), 1u);
  EXPECT_NE(messages.threads[0], std::this_thread::get_id());
  // The voice was not usable; the accompaniment alone is the mix.
  EXPECT_EQ(mixdown.mixState(), Mixdown::kPlaying);
  EXPECT_EQ(testing::ReadFile(program / "uion.wav"), testing::ReadFile(program / "accompany.wav"));
}

TEST_F(MixdownTest, MissingMusicLeavesTheStateIdleAndNoStaleMix) {
  WriteVoice(0.5);
  testing::WriteFile(program / "uion.wav",
                     testing::WavBytes(44100, 2, 16, testing::Ramp(1000)));  // an earlier song's
  std::remove((song / "music.mp3").c_str());
  Mixdown mixdown(program.path(), messages);
  mixdown.ToggleRecording(recorder, song.path());
  mixdown.Wait();
  EXPECT_EQ(mixdown.mixState(), Mixdown::kIdle);
  EXPECT_FALSE(mixdown.playRecording());
  EXPECT_FALSE(testing::FileExists(program / "uion.wav"));
  EXPECT_FALSE(testing::FileExists(program / "accompany.wav"));
  mixdown.StartPlaybackIfReady(recorder);
  EXPECT_FALSE(recorder.IsOpen());
}

// A song that ends while the previous song's mix is still being made starts afresh: the late worker
// does not announce its mix as this song's.
TEST_F(MixdownTest, SongEndDuringAMixdownKeepsTheNextSongIdle) {
  std::vector<std::uint8_t> adpcm = testing::WavBytes(44100, 2, 16, testing::Ramp(100));
  adpcm[20] = 2;
  testing::WriteFile(program / "temp.wav", adpcm);
  Mixdown mixdown(program.path(), messages);
  messages.Hold();
  mixdown.ToggleRecording(recorder, song.path());
  ASSERT_TRUE(messages.WaitForMessage());
  mixdown.ResetForNextSong();
  messages.Release();
  mixdown.Wait();
  EXPECT_EQ(mixdown.mixState(), Mixdown::kIdle);
  EXPECT_FALSE(mixdown.playRecording());
}

}  // namespace
}  // namespace sonavera::audio
