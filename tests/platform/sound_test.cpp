// Sound: decoding MP3 (made here with LAME) and WAV into memory, the mixer's gains, positions,
// seeking and looping, and channels playing on SDL's dummy audio driver.

#include <lame/lame.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/engine/engine_backend.h"
#include "platform/engine/sound_decoder.h"
#include "platform/engine/sound_mixer.h"
#include "platform/engine_test_support.h"

namespace sonavera::platform {
namespace {

using testing::EngineTest;

std::vector<std::int16_t> Sine(int rate, int channels, double seconds, double hz, double amplitude = 0.5) {
  const int frames = static_cast<int>(rate * seconds);
  std::vector<std::int16_t> samples(static_cast<std::size_t>(frames * channels));
  for (int i = 0; i < frames; ++i) {
    const auto v =
        static_cast<std::int16_t>(std::lround(amplitude * 32767 * std::sin(2 * M_PI * hz * i / rate)));
    for (int c = 0; c < channels; ++c) samples[static_cast<std::size_t>(i * channels + c)] = v;
  }
  return samples;
}

std::string Mp3(const std::vector<std::int16_t>& stereo, int rate) {
  lame_global_flags* lame = lame_init();
  lame_set_in_samplerate(lame, rate);
  lame_set_out_samplerate(lame, rate);
  lame_set_num_channels(lame, 2);
  lame_set_brate(lame, 128);
  lame_init_params(lame);
  const int frames = static_cast<int>(stereo.size() / 2);
  std::vector<unsigned char> out(static_cast<std::size_t>(frames * 5 / 4 + 7200 + 8192));
  int n = lame_encode_buffer_interleaved(lame, const_cast<short*>(stereo.data()), frames, out.data(),
                                         static_cast<int>(out.size()));
  n += lame_encode_flush(lame, out.data() + n, static_cast<int>(out.size()) - n);
  lame_close(lame);
  return std::string(reinterpret_cast<char*>(out.data()), static_cast<std::size_t>(n));
}

// A canonical WAV of `samples` (format 1: 16-bit integers; format 3: 32-bit floats).
template <typename T>
std::string Wav(const std::vector<T>& samples, int rate, int channels, int format = 1) {
  auto le = [](std::uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
  };
  const auto width = static_cast<std::uint32_t>(sizeof(T));
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * width);
  std::string wav = "RIFF" + le(36 + dataBytes, 4) + "WAVEfmt " + le(16, 4) + le(format, 2) +
                    le(channels, 2) + le(rate, 4) + le(rate * channels * width, 4) + le(channels * width, 2) +
                    le(8 * width, 2) + "data" + le(dataBytes, 4);
  wav.append(reinterpret_cast<const char*>(samples.data()), dataBytes);
  return wav;
}

std::unique_ptr<Sound> Decode(const std::string& bytes) {
  return DecodeSound(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

TEST(SoundDecoder, Mp3DecodesToStereo44100) {
  const auto decoded = Decode(Mp3(Sine(44100, 2, 1.0, 440), 44100));
  ASSERT_TRUE(decoded);
  // LAME adds encoder delay and padding of under three frames of 1152.
  EXPECT_GE(decoded->Frames(), 44100);
  EXPECT_LE(decoded->Frames(), 44100 + 3 * 1152);
  double energy = 0;
  for (std::int16_t s : decoded->samples) energy += static_cast<double>(s) * s;
  const double rms = std::sqrt(energy / static_cast<double>(decoded->samples.size()));
  EXPECT_NEAR(rms, 0.5 * 32767 / std::sqrt(2.0), 1500);
}

TEST(SoundDecoder, Mp3At22050IsConvertedTo44100) {
  const auto decoded = Decode(Mp3(Sine(22050, 2, 1.0, 440), 22050));
  ASSERT_TRUE(decoded);
  EXPECT_NEAR(static_cast<double>(decoded->Frames()), 44100, 6 * 1152);
}

TEST(SoundDecoder, WavFormsAreConverted) {
  // Stereo at 44100 is taken sample for sample.
  const std::vector<std::int16_t> stereo = {100, -100, 2000, -2000, 32767, -32768};
  const auto exact = Decode(Wav(stereo, 44100, 2));
  ASSERT_TRUE(exact);
  EXPECT_EQ(exact->Frames(), 3);
  EXPECT_EQ(exact->samples, stereo);
  // Float samples are clamped to full scale.
  const auto floats = Decode(Wav(std::vector<float>{0.5f, -2.0f}, 44100, 1, 3));
  ASSERT_TRUE(floats);
  EXPECT_EQ(floats->samples, (std::vector<std::int16_t>{16384, 16384, -32767, -32767}));
  // Mono at 22050: both sides, twice the frames.
  const auto mono = Decode(Wav(Sine(22050, 1, 0.5, 100), 22050, 1));
  ASSERT_TRUE(mono);
  EXPECT_NEAR(static_cast<double>(mono->Frames()), 22050, 2);
  EXPECT_EQ(mono->samples[200], mono->samples[201]);
}

TEST(SoundDecoder, BrokenFilesGiveNoSound) {
  const std::string good = Wav(Sine(44100, 2, 0.1, 440), 44100, 2);
  std::string noFormat = good;
  std::memcpy(&noFormat[12], "junk", 4);
  std::string zeroChannels = good;
  zeroChannels[22] = 0;
  std::string hugeData = good;
  std::memset(&hugeData[40], 0xFF, 4);  // data size beyond the file: what is there is kept
  const std::string cases[] = {"",
                               "RIFF",
                               good.substr(0, 30),
                               noFormat,
                               zeroChannels,
                               std::string(5000, '\0'),
                               "RIFF\xff\xff\xff\xffWAVEfmt \xff\xff\xff\xff"};
  for (const std::string& bytes : cases) EXPECT_FALSE(Decode(bytes)) << bytes.size() << " bytes";
  const auto cut = Decode(hugeData);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->Frames(), 4410);
}

class Mixer : public ::testing::Test {
 protected:
  std::uint32_t Effect(std::vector<std::int16_t> stereo) {
    auto sound = std::make_unique<Sound>();
    sound->samples = std::move(stereo);
    return mixer.AddEffect(std::move(sound));
  }
  std::vector<std::int16_t> Mix(int frames) {
    std::vector<std::int16_t> out(static_cast<std::size_t>(2 * frames));
    mixer.Mix(out.data(), frames);
    return out;
  }
  SoundMixer mixer;  // no output opened: the test drives Mix itself
};

TEST_F(Mixer, VolumeAndPanScaleEachSide) {
  const std::uint32_t effect = Effect(std::vector<std::int16_t>(2000, 10000));
  const std::uint32_t left = mixer.Play(effect, 50, -100, false);
  ASSERT_NE(left, 0u);
  auto out = Mix(10);
  EXPECT_EQ(out[0], 5000);
  EXPECT_EQ(out[1], 0);
  mixer.SetPan(left, 50);
  mixer.SetVolume(left, 100);
  out = Mix(10);
  EXPECT_EQ(out[0], 5000);
  EXPECT_EQ(out[1], 10000);
  // Two channels add up and clip.
  mixer.Play(effect, 100, 0, false);
  mixer.Play(effect, 100, 0, false);
  mixer.Play(effect, 100, 0, false);
  out = Mix(1);
  EXPECT_EQ(out[1], 32767);
}

TEST_F(Mixer, PositionCountsFramesHandedOutAndSeeks) {
  std::vector<std::int16_t> ramp(2 * 1000);
  for (int i = 0; i < 1000; ++i) ramp[2 * i] = ramp[2 * i + 1] = static_cast<std::int16_t>(i);
  const std::uint32_t effect = Effect(ramp);
  const std::uint32_t channel = mixer.Play(effect, 100, 0, false);
  EXPECT_EQ(mixer.LengthFrames(channel), 1000);
  EXPECT_EQ(mixer.PositionFrames(channel), 0);
  Mix(300);
  EXPECT_EQ(mixer.PositionFrames(channel), 300);
  mixer.SetPositionFrames(channel, 900);
  const auto out = Mix(200);
  EXPECT_EQ(out[0], 900);
  EXPECT_EQ(out[2 * 99], 999);
  EXPECT_EQ(out[2 * 100], 0) << "silence after the end";
  EXPECT_EQ(mixer.PositionFrames(channel), 1000) << "a finished channel stays at its end";
  EXPECT_FALSE(mixer.IsPlaying(channel));

  const std::uint32_t looping = mixer.Play(effect, 100, 0, true);
  mixer.SetPositionFrames(looping, 950);
  const auto wrapped = Mix(100);
  EXPECT_EQ(wrapped[2 * 49], 999);
  EXPECT_EQ(wrapped[2 * 50], 0);
  EXPECT_EQ(wrapped[2 * 99], 49);
  EXPECT_EQ(mixer.PositionFrames(looping), 50);
  EXPECT_TRUE(mixer.IsPlaying(looping));
}

TEST_F(Mixer, StaleAndFreedHandlesAreIgnored) {
  const std::uint32_t effect = Effect(std::vector<std::int16_t>(200, 1000));
  const std::uint32_t channel = mixer.Play(effect, 100, 0, false);
  mixer.Stop(channel);
  EXPECT_EQ(mixer.PositionFrames(channel), -1);
  const std::uint32_t again = mixer.Play(effect, 100, 0, false);
  EXPECT_NE(again, channel) << "a reused slot gets a new handle";
  mixer.SetVolume(channel, 0);  // the old handle no longer reaches it
  EXPECT_EQ(Mix(1)[0], 1000);
  mixer.FreeEffect(effect);
  EXPECT_EQ(mixer.PositionFrames(again), -1);
  EXPECT_EQ(Mix(1)[0], 0);
  EXPECT_EQ(mixer.Play(effect, 100, 0, false), 0u);
  EXPECT_EQ(mixer.Play(0, 100, 0, false), 0u);
}

TEST_F(Mixer, WithoutAnAudioDeviceASilentOutputKeepsTheClockRunning) {
  const char* saved = std::getenv("SDL_AUDIODRIVER");
  const std::string previous = saved ? saved : "";
  ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  const SoundMixer::Output output = mixer.OpenOutput();
  if (saved)
    ::setenv("SDL_AUDIODRIVER", previous.c_str(), 1);
  else
    ::unsetenv("SDL_AUDIODRIVER");
  ASSERT_EQ(output, SoundMixer::Output::Silent);
  const std::uint32_t channel = mixer.Play(Effect(std::vector<std::int16_t>(2 * 44100, 100)), 100, 0, false);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (mixer.PositionFrames(channel) < 4 * SoundMixer::kDeviceFrames &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_GE(mixer.PositionFrames(channel), 4 * SoundMixer::kDeviceFrames);
  EXPECT_EQ(mixer.PositionFrames(channel) % SoundMixer::kDeviceFrames, 0) << "whole buffers handed out";
  mixer.CloseOutput();
}

class EngineSound : public EngineTest {};

TEST_F(EngineSound, Mp3EffectPlaysOnTheDeviceAndItsClockAdvances) {
  scratch.Write("song.mp3", Mp3(Sine(44100, 2, 2.0, 330), 44100));
  const HEFFECT effect = hge->Effect_Load(scratch.File("song.mp3").c_str());
  ASSERT_NE(effect, 0u);
  const HCHANNEL channel = hge->Effect_PlayEx(effect, 95, 0, 1.0f, false);
  ASSERT_NE(channel, 0u);
  EXPECT_NEAR(hge->Channel_GetLength(channel), 2.0f, 0.08f);

  // The clock only moves as the device takes samples; it never runs backwards.
  float last = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (hge->Channel_GetPos(channel) < 0.3f && std::chrono::steady_clock::now() < deadline) {
    const float now = hge->Channel_GetPos(channel);
    ASSERT_GE(now, last);
    last = now;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_GE(hge->Channel_GetPos(channel), 0.3f);
  EXPECT_TRUE(hge->Channel_IsPlaying(channel));

  hge->Channel_SetPos(channel, 1.5f);
  EXPECT_GE(hge->Channel_GetPos(channel), 1.5f);
  hge->Channel_SetVolume(channel, 10);
  hge->Channel_Stop(channel);
  EXPECT_FALSE(hge->Channel_IsPlaying(channel));
  EXPECT_EQ(hge->Channel_GetPos(channel), 0.0f);
  // Freeing an effect that is playing is safe.
  const HCHANNEL again = hge->Effect_PlayEx(effect, 100, 0, 1.0f, true);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  hge->Effect_Free(effect);
  EXPECT_FALSE(hge->Channel_IsPlaying(again));
}

TEST_F(EngineSound, ShortWavFinishesAtItsLength) {
  scratch.Write("blip.wav", Wav(Sine(44100, 2, 0.05, 1000), 44100, 2));
  const HCHANNEL channel = hge->Effect_Play(hge->Effect_Load(scratch.File("blip.wav").c_str()));
  ASSERT_NE(channel, 0u);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (hge->Channel_IsPlaying(channel) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_FALSE(hge->Channel_IsPlaying(channel));
  EXPECT_FLOAT_EQ(hge->Channel_GetPos(channel), hge->Channel_GetLength(channel));
}

TEST_F(EngineSound, MissingOrBrokenFileIsANullEffectAndANullChannel) {
  scratch.Write("noise.mp3", std::string(64, 'x'));
  for (const std::string name : {"absent.mp3", "noise.mp3"}) {
    const HEFFECT effect = hge->Effect_Load(scratch.File(name).c_str());
    EXPECT_EQ(effect, 0u) << name;
    const HCHANNEL channel = hge->Effect_PlayEx(effect, 95, 0, 1.0f, false);
    EXPECT_EQ(channel, 0u);
    EXPECT_EQ(hge->Channel_GetPos(channel), 0.0f);
    EXPECT_EQ(hge->Channel_GetLength(channel), 0.0f);
    hge->Channel_SetPos(channel, 3);
    hge->Channel_Stop(channel);
    hge->Effect_Free(effect);
  }
  EXPECT_NE(Log().find("absent.mp3"), std::string::npos);
}

}  // namespace
}  // namespace sonavera::platform
