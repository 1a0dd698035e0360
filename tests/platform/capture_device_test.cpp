#include "platform/audio/capture_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "audio/test_media.h"
#include "platform/audio/capture_event_queue.h"

namespace sonavera::platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::TempFolder;

// Waits are generous: a loaded machine must not fail these tests, only a device that loses buffers.
constexpr auto kPatience = 5000ms;

class CaptureTest : public ::testing::Test {
 protected:
  std::string WriteMic(int rate, int channels, int bits, const std::vector<std::int16_t>& samples) {
    const std::string path = folder / ("mic" + std::to_string(++micFiles) + ".wav");
    testing::WriteFile(path, testing::WavBytes(rate, channels, bits, samples));
    return path;
  }

  CaptureBuffer* NewBuffer(std::uint32_t bytes) {
    storage.emplace_back(bytes);
    auto& buffer = headers.emplace_back(std::make_unique<CaptureBuffer>());
    buffer->data = storage.back().data();
    buffer->length = bytes;
    return buffer.get();
  }

  CaptureEvent Next() {
    auto event = events.WaitNext(kPatience);
    if (!event) ADD_FAILURE() << "no capture event arrived";
    return event.value_or(CaptureEvent{CaptureEventType::Close, nullptr});
  }

  static std::vector<std::int16_t> Samples(const CaptureBuffer& buffer) {
    std::vector<std::int16_t> samples(buffer.bytesRecorded / 2);
    std::memcpy(samples.data(), buffer.data, samples.size() * 2);
    return samples;
  }

  TempFolder folder;
  int micFiles = 0;
  CaptureEventQueue events;
  std::vector<std::vector<std::uint8_t>> storage;
  std::vector<std::unique_ptr<CaptureBuffer>> headers;
};

// The judge's cycle: four 2560-byte buffers, each returned full and queued again by the handler.
// At the microphone's own pace nothing is lost and nothing comes out of order.
TEST_F(CaptureTest, FullBuffersArriveInOrderAtTheMicrophonesPace) {
  CaptureDevice device(events, {.micFile = WriteMic(8000, 1, 16, testing::Ramp(8000 * 5))});
  ASSERT_EQ(device.Open(-1), 0);
  EXPECT_EQ(Next().type, CaptureEventType::Open);
  CaptureBuffer* buffers[4];
  for (auto& buffer : buffers) {
    buffer = NewBuffer(CaptureDevice::kStreamBufferBytes);
    ASSERT_EQ(device.AddBuffer(buffer), 0);
  }
  const auto start = Clock::now();
  ASSERT_EQ(device.Start(), 0);

  std::vector<std::int16_t> heard;
  for (int i = 0; i < 12; ++i) {
    const CaptureEvent event = Next();
    ASSERT_EQ(event.type, CaptureEventType::Data);
    ASSERT_EQ(event.buffer, buffers[i % 4]) << "buffer " << i << " out of order";
    ASSERT_EQ(event.buffer->bytesRecorded, CaptureDevice::kStreamBufferBytes);
    EXPECT_EQ(event.buffer->flags & kCaptureBufferDone, kCaptureBufferDone);
    const auto samples = Samples(*event.buffer);
    heard.insert(heard.end(), samples.begin(), samples.end());
    ASSERT_EQ(device.AddBuffer(event.buffer), 0);
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_EQ(heard, testing::Ramp(12 * 1280)) << "samples were lost, repeated or reordered";
  // Twelve buffers hold 1.92 s of sound; a device that keeps pace cannot deliver them much sooner.
  EXPECT_GT(seconds, 1.2);

  EXPECT_EQ(device.Close(), 0);
  int returned = 0;
  for (;;) {
    const CaptureEvent event = Next();
    if (event.type == CaptureEventType::Close) break;
    EXPECT_LT(event.buffer->bytesRecorded, CaptureDevice::kStreamBufferBytes);
    ++returned;
  }
  EXPECT_EQ(returned, 4);
}

TEST_F(CaptureTest, AudioIsDroppedWhileNoBufferIsQueued) {
  CaptureDevice device(events, {.micFile = WriteMic(8000, 1, 16, testing::Ramp(8000 * 20)), .speed = 4});
  ASSERT_EQ(device.Open(-1), 0);
  ASSERT_EQ(Next().type, CaptureEventType::Open);
  CaptureBuffer* buffer = NewBuffer(CaptureDevice::kStreamBufferBytes);
  ASSERT_EQ(device.AddBuffer(buffer), 0);
  ASSERT_EQ(device.Start(), 0);
  ASSERT_EQ(Next().buffer, buffer);
  EXPECT_EQ(Samples(*buffer), testing::Ramp(1280));
  std::this_thread::sleep_for(300ms);  // about 1.2 s of sound passes with nowhere to go
  ASSERT_EQ(device.AddBuffer(buffer), 0);
  ASSERT_EQ(Next().buffer, buffer);
  const auto later = Samples(*buffer);
  ASSERT_EQ(later.size(), 1280u);
  EXPECT_GT(static_cast<std::uint16_t>(later[0]), 1280 + 1280) << "nothing was dropped";
  for (std::size_t i = 1; i < later.size(); ++i) ASSERT_EQ(static_cast<std::int16_t>(later[i - 1] + 1), later[i]);
}

// Reset hands back every queued buffer at once, the one being filled partly; the handler then retires
// them because they are short. No buffer comes back twice and nothing follows.
TEST_F(CaptureTest, ResetReturnsQueuedBuffersPartlyFilled) {
  CaptureDevice device(events, {.micFile = WriteMic(8000, 1, 16, testing::Ramp(8000 * 5))});
  ASSERT_EQ(device.Open(-1), 0);
  ASSERT_EQ(Next().type, CaptureEventType::Open);
  CaptureBuffer* buffers[4];
  for (auto& buffer : buffers) ASSERT_EQ(device.AddBuffer(buffer = NewBuffer(2560)), 0);
  ASSERT_EQ(device.Start(), 0);
  ASSERT_EQ(Next().buffer, buffers[0]);
  std::this_thread::sleep_for(60ms);
  ASSERT_EQ(device.Reset(), 0);
  EXPECT_EQ(device.queuedCount(), 0u);
  std::uint32_t partial = 0;
  for (int i = 1; i < 4; ++i) {
    const CaptureEvent event = Next();
    ASSERT_EQ(event.type, CaptureEventType::Data);
    ASSERT_EQ(event.buffer, buffers[i]);
    EXPECT_EQ(event.buffer->flags, kCaptureBufferDone);
    partial += event.buffer->bytesRecorded;
  }
  EXPECT_LT(partial, 2560u);
  EXPECT_EQ(buffers[3]->bytesRecorded, 0u);
  EXPECT_FALSE(events.WaitNext(300ms).has_value());
  // The device takes buffers again after a reset, and the sound goes on from where it was.
  ASSERT_EQ(device.AddBuffer(buffers[0]), 0);
  ASSERT_EQ(device.Start(), 0);
  const CaptureEvent again = Next();
  ASSERT_EQ(again.buffer, buffers[0]);
  EXPECT_EQ(again.buffer->bytesRecorded, 2560u);
  EXPECT_GT(static_cast<std::uint16_t>(Samples(*buffers[0])[0]), 1279);
}

TEST_F(CaptureTest, CalibrationBufferIsFilledWhole) {
  CaptureDevice device(events, {.micFile = WriteMic(8000, 1, 16, testing::Ramp(8000 * 5)), .speed = 8});
  ASSERT_EQ(device.Open(-1), 0);
  ASSERT_EQ(Next().type, CaptureEventType::Open);
  CaptureBuffer* calibration = NewBuffer(CaptureDevice::kCalibrationBytes);
  ASSERT_EQ(device.AddBuffer(calibration), 0);
  ASSERT_EQ(device.Start(), 0);
  const CaptureEvent event = Next();
  ASSERT_EQ(event.buffer, calibration);
  EXPECT_EQ(event.buffer->bytesRecorded, 30000u);
  EXPECT_EQ(Samples(*calibration), testing::Ramp(15000));
}

TEST_F(CaptureTest, OperationsCheckTheirArguments) {
  CaptureDevice device(events);
  CaptureBuffer* buffer = NewBuffer(2560);
  EXPECT_EQ(device.AddBuffer(buffer), kCaptureNotOpen);
  EXPECT_EQ(device.Start(), kCaptureNotOpen);
  EXPECT_EQ(device.Reset(), kCaptureNotOpen);

  device.SetMicSettings({.micFile = WriteMic(8000, 1, 16, testing::Ramp(800))});
  ASSERT_EQ(device.Open(-1), 0);
  EXPECT_EQ(device.AddBuffer(buffer), 0);
  EXPECT_EQ(device.AddBuffer(buffer), kCaptureStillQueued);
  CaptureBuffer empty;
  EXPECT_EQ(device.AddBuffer(&empty), kCaptureInvalidBuffer);
  EXPECT_EQ(device.AddBuffer(nullptr), kCaptureInvalidBuffer);
}

TEST_F(CaptureTest, OpenFailuresCarryAnErrorCode) {
  CaptureDevice device(events);
  const int badDevice = device.Open(static_cast<int>(CaptureDevice::DeviceNames().size()) + 3);
  EXPECT_EQ(badDevice, kMicBadDeviceId);
  EXPECT_EQ(CaptureOpenErrorText(badDevice), "打开音频输入设备出错，错误代码：2");
  EXPECT_FALSE(device.IsOpen());

  device.SetMicSettings({.micFile = folder / "missing.wav"});
  EXPECT_EQ(device.Open(-1), kMicBadFile);
  testing::WriteFile(folder / "text.wav", {'h', 'e', 'l', 'l', 'o'});
  device.SetMicSettings({.micFile = folder / "text.wav"});
  EXPECT_EQ(device.Open(-1), kMicBadFile);
  EXPECT_FALSE(events.TryNext().has_value()) << "a failed open sends no open event";
}

// Without --mic-file the system's default device is used (SDL's dummy driver in the tests).
TEST_F(CaptureTest, DefaultDeviceDeliversBuffers) {
  CaptureDevice device(events);
  ASSERT_EQ(device.Open(-1), 0);
  ASSERT_EQ(Next().type, CaptureEventType::Open);
  CaptureBuffer* buffer = NewBuffer(2560);
  ASSERT_EQ(device.AddBuffer(buffer), 0);
  ASSERT_EQ(device.Start(), 0);
  const CaptureEvent event = Next();
  EXPECT_EQ(event.buffer, buffer);
  EXPECT_EQ(buffer->bytesRecorded, 2560u);
}

struct FormatCase {
  const char* name;
  int rate;
  int channels;
  int bits;
};

class MicFileFormats : public ::testing::TestWithParam<FormatCase> {};

// Any PCM WAV stands in for the microphone: the judge hears it at 8000 Hz mono, pitch intact.
TEST_P(MicFileFormats, AreHeardAt8000HzMono) {
  const FormatCase& c = GetParam();
  TempFolder folder;
  const std::string mic = folder / "mic.wav";
  testing::WriteFile(mic, testing::WavBytes(c.rate, c.channels, c.bits, testing::Tone(c.rate, c.channels, 3.0, 440)));
  CaptureEventQueue events;
  CaptureDevice device(events, {.micFile = mic, .speed = 6});
  ASSERT_EQ(device.Open(-1), 0);
  std::vector<std::uint8_t> storage(2560 * 3);
  CaptureBuffer buffers[3];
  for (int i = 0; i < 3; ++i) {
    buffers[i].data = storage.data() + 2560 * i;
    buffers[i].length = 2560;
    ASSERT_EQ(device.AddBuffer(&buffers[i]), 0);
  }
  ASSERT_EQ(device.Start(), 0);
  int data = 0;
  while (data < 3) {
    auto event = events.WaitNext(kPatience);
    ASSERT_TRUE(event.has_value());
    if (event->type != CaptureEventType::Data) continue;
    ASSERT_EQ(event->buffer, &buffers[data]);
    ASSERT_EQ(event->buffer->bytesRecorded, 2560u);
    ++data;
  }
  const auto* samples = reinterpret_cast<const std::int16_t*>(storage.data());
  // Skip the first buffer's start, where a resampler settles.
  int crossings = 0;
  double power = 0;
  for (int i = 400; i < 3840; ++i) {
    crossings += (samples[i - 1] < 0) != (samples[i] < 0);
    power += static_cast<double>(samples[i]) * samples[i];
  }
  const double seconds = (3840 - 400) / 8000.0;
  EXPECT_NEAR(crossings / (2 * seconds), 440, 25);
  EXPECT_GT(std::sqrt(power / (3840 - 400)), 5000);
}

INSTANTIATE_TEST_SUITE_P(Formats, MicFileFormats,
                         ::testing::Values(FormatCase{"Mono8000", 8000, 1, 16}, FormatCase{"Stereo44100", 44100, 2, 16},
                                           FormatCase{"Mono22050EightBit", 22050, 1, 8},
                                           FormatCase{"Stereo48000TwentyFourBit", 48000, 2, 24},
                                           FormatCase{"SixChannels11025", 11025, 6, 16}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sonavera::platform
