#include "audio/hw_mci.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "audio/test_media.h"
#include "common/eventually.h"
#include "platform/audio/capture_device.h"
#include "platform/audio/capture_event_queue.h"

namespace sonavera::audio {
namespace {

using namespace std::chrono_literals;
using testing::Eventually;
using testing::TempFolder;

TEST(CHwMCI, ClosedDeviceRefusesEverything) {
  CHwMCI recorder;
  EXPECT_FALSE(recorder.IsOpen());
  EXPECT_FALSE(recorder.Stop());
  EXPECT_FALSE(recorder.IsStopped());
  EXPECT_FALSE(recorder.PlayFrom(0, 0));
  EXPECT_FALSE(recorder.SaveAs("/tmp/never-written.wav"));
  EXPECT_FALSE(recorder.SetFormat(1, 2, 44100, 176400, 4, 16));
  EXPECT_FALSE(recorder.lastError().empty());
}

TEST(CHwMCI, OpeningAMissingFileLeavesTheDeviceClosed) {
  CHwMCI recorder;
  EXPECT_FALSE(recorder.Open("/nonexistent/uion.wav"));
  EXPECT_FALSE(recorder.IsOpen());
  EXPECT_NE(recorder.lastError().find("/nonexistent/uion.wav"), std::string::npos);
  EXPECT_LE(recorder.lastError().size(), 255u);
  EXPECT_FALSE(recorder.Stop());
  EXPECT_FALSE(recorder.IsStopped());
}

TEST(CHwMCI, ThreeChannelRecordingIsRefusedAndTheOpenDeviceKept) {
  TempFolder folder;
  testing::WriteFile(folder / "uion.wav", testing::WavBytes(44100, 2, 16, testing::Tone(44100, 2, 0.2, 440)));
  CHwMCI recorder;
  ASSERT_TRUE(recorder.Open(folder / "uion.wav"));
  EXPECT_FALSE(recorder.StartRecording(3, 44100, 16));
  EXPECT_FALSE(recorder.StartRecording(0, 44100, 16));
  EXPECT_TRUE(recorder.IsOpen());
  EXPECT_TRUE(recorder.PlayFrom(0, 0)) << "the file opened before is still there to play";
}

TEST(CHwMCI, FormatMustBeConsistentPcm) {
  CHwMCI recorder;
  ASSERT_TRUE(recorder.Open());
  EXPECT_FALSE(recorder.SetFormat(2, 2, 44100, 176400, 4, 16));  // not PCM
  EXPECT_FALSE(recorder.SetFormat(1, 2, 96000, 384000, 4, 16));  // the rate travels as 16 bits
  EXPECT_FALSE(recorder.SetFormat(1, 2, 44100, 176000, 4, 16));  // bytes per second disagree
  EXPECT_FALSE(recorder.SetFormat(1, 2, 44100, 176400, 4, 12));  // twelve bits
  EXPECT_TRUE(recorder.SetFormat(1, 2, 44100, 176400, 4, 16));
}

struct TakeCase {
  const char* name;
  int channels;
  int rate;
  int bits;
};
void PrintTo(const TakeCase& c, std::ostream* os) {
  *os << c.name;
}

class RecordedTake : public ::testing::TestWithParam<TakeCase> {};

// A take saved with SaveAs while still recording: the recording stops first, the header describes the
// format asked for, and the data are whole frames of what the microphone heard.
TEST_P(RecordedTake, IsSavedWithItsHeaderAndLength) {
  const TakeCase& c = GetParam();
  TempFolder folder;
  const auto heard = testing::Ramp(static_cast<std::size_t>(c.rate) * c.channels * 8, 100);
  testing::WriteFile(folder / "mic.wav", testing::WavBytes(c.rate, c.channels, 16, heard));
  CHwMCI recorder;
  recorder.SetMicSettings({.micFile = folder / "mic.wav", .speed = 4});
  ASSERT_TRUE(recorder.StartRecording(c.channels, c.rate, c.bits)) << recorder.lastError();
  EXPECT_FALSE(recorder.IsStopped());
  std::this_thread::sleep_for(300ms);
  ASSERT_TRUE(recorder.SaveAs(folder / "temp.wav")) << recorder.lastError();
  EXPECT_TRUE(recorder.IsStopped());
  recorder.Close();
  EXPECT_FALSE(recorder.IsOpen());

  const auto wav = testing::ReadFile(folder / "temp.wav");
  ASSERT_GE(wav.size(), 44u);
  const std::uint32_t align = c.channels * c.bits / 8;
  EXPECT_EQ(std::string(wav.begin(), wav.begin() + 16),
            std::string("RIFF") + std::string(wav.begin() + 4, wav.begin() + 8) + "WAVEfmt ");
  EXPECT_EQ(testing::Le32At(wav, 4), wav.size() - 8);
  EXPECT_EQ(testing::Le16At(wav, 20), 1);
  EXPECT_EQ(testing::Le16At(wav, 22), c.channels);
  EXPECT_EQ(testing::Le32At(wav, 24), static_cast<std::uint32_t>(c.rate));
  EXPECT_EQ(testing::Le32At(wav, 28), c.rate * align);
  EXPECT_EQ(testing::Le16At(wav, 32), align);
  EXPECT_EQ(testing::Le16At(wav, 34), c.bits);
  const std::uint32_t data = testing::Le32At(wav, 40);
  EXPECT_EQ(data, wav.size() - 44);
  EXPECT_EQ(data % align, 0u);
  // About 1.2 s of sound at four times real time; loose bounds for a busy machine.
  EXPECT_GT(data, c.rate * align / 4);
  EXPECT_LT(data, heard.size() * c.bits / 8);
  if (c.bits == 16) {
    for (std::size_t i = 0; i < data / 2; ++i) ASSERT_EQ(testing::SampleAt(wav, 44 + 2 * i), heard[i]) << i;
  } else {
    for (std::size_t i = 0; i < data; ++i) ASSERT_EQ(wav[44 + i], (heard[i] >> 8) + 128) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, RecordedTake,
                         ::testing::Values(TakeCase{"Stereo44100", 2, 44100, 16},
                                           TakeCase{"Mono8000", 1, 8000, 16},
                                           TakeCase{"Mono22050EightBit", 1, 22050, 8}),
                         [](const auto& info) { return std::string(info.param.name); });

// The recorder hears the same microphone as the judge's capture device, at the same time.
TEST(CHwMCI, RecordsWhileTheJudgeListens) {
  TempFolder folder;
  testing::WriteFile(folder / "mic.wav", testing::WavBytes(44100, 2, 16, testing::Ramp(44100 * 2 * 4)));
  const platform::MicSettings mic{.micFile = folder / "mic.wav", .speed = 4};
  platform::CaptureEventQueue events;
  platform::CaptureDevice capture(events, mic);
  ASSERT_EQ(capture.Open(-1), 0);
  std::vector<std::uint8_t> storage(2560);
  platform::CaptureBuffer buffer{.data = storage.data(), .length = 2560};
  ASSERT_EQ(capture.AddBuffer(&buffer), 0);
  ASSERT_EQ(capture.Start(), 0);
  CHwMCI recorder;
  recorder.SetMicSettings(mic);
  ASSERT_TRUE(recorder.StartRecording(2, 44100, 16));

  bool judged = false;
  while (auto event = events.WaitNext(5000ms)) {
    if (event->type == platform::CaptureEventType::Data) {
      judged = event->buffer->bytesRecorded == 2560;
      break;
    }
  }
  EXPECT_TRUE(judged);
  std::this_thread::sleep_for(100ms);
  ASSERT_TRUE(recorder.SaveAs(folder / "temp.wav"));
  const auto wav = testing::ReadFile(folder / "temp.wav");
  ASSERT_GT(wav.size(), 44u + 4000u);
  // One continuous stretch of the microphone, however late the recorder joined.
  for (std::size_t o = 46; o + 1 < wav.size(); o += 2) {
    ASSERT_EQ(static_cast<std::int16_t>(testing::SampleAt(wav, o - 2) + 1), testing::SampleAt(wav, o)) << o;
  }
}

// Playback that ran to its end counts as stopped, and playing from 0 starts it again.
TEST(CHwMCI, PlayFromStartAfterTheEndPlaysAgain) {
  TempFolder folder;
  testing::WriteFile(folder / "uion.wav", testing::WavBytes(22050, 2, 16, testing::Tone(22050, 2, 0.3, 440)));
  CHwMCI recorder;
  ASSERT_TRUE(recorder.Open(folder / "uion.wav"));
  EXPECT_TRUE(recorder.IsStopped());
  ASSERT_TRUE(recorder.PlayFrom(0, 0));
  EXPECT_FALSE(recorder.IsStopped());
  ASSERT_TRUE(Eventually([&] { return recorder.IsStopped(); }));
  ASSERT_TRUE(recorder.PlayFrom(0, 0));
  EXPECT_FALSE(recorder.IsStopped());
  EXPECT_TRUE(recorder.Stop());
  EXPECT_TRUE(recorder.IsStopped());
}

TEST(CHwMCI, OpensCompressedFilesForPlayback) {
  TempFolder folder;
  testing::WriteFile(folder / "tempspeak.mp3",
                     testing::Mp3Bytes(44100, 2, testing::Tone(44100, 2, 0.5, 440)));
  testing::WriteFile(folder / "garbage.mp3", std::vector<std::uint8_t>(5000, 0x55));
  CHwMCI recorder;
  ASSERT_TRUE(recorder.Open(folder / "tempspeak.mp3"));
  EXPECT_TRUE(recorder.PlayFrom(0, 0));
  EXPECT_FALSE(recorder.Open(folder / "garbage.mp3"));
  EXPECT_FALSE(recorder.IsOpen());
}

}  // namespace
}  // namespace sonavera::audio
