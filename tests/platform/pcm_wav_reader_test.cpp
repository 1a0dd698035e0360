#include "platform/audio/pcm_wav_reader.h"

#include <gtest/gtest.h>

#include "audio/test_media.h"

namespace sonavera::platform {
namespace {

std::optional<PcmAudio> Parse(const std::vector<std::uint8_t>& bytes, std::string* error = nullptr) {
  return ParsePcmWav(bytes.data(), bytes.size(), error);
}

class SampleWidths : public ::testing::TestWithParam<int> {};

// Every integer width comes out as the same 16-bit samples (8-bit keeps its top 8 bits).
TEST_P(SampleWidths, ConvertToSixteenBits) {
  const int bits = GetParam();
  const std::vector<std::int16_t> samples = {0, 256, -256, 32512, -32768, 12800};
  const auto audio = Parse(testing::WavBytes(22050, 2, bits, samples));
  ASSERT_TRUE(audio.has_value());
  EXPECT_EQ(audio->sampleRate, 22050);
  EXPECT_EQ(audio->channels, 2);
  EXPECT_EQ(audio->frameCount(), 3u);
  EXPECT_EQ(audio->samples, samples);
}

INSTANTIATE_TEST_SUITE_P(Bits, SampleWidths, ::testing::Values(8, 16, 24, 32));

TEST(PcmWavReader, WalksPastOtherChunksAndPadding) {
  auto wav = testing::WavBytes(8000, 1, 16, {1, 2, 3});
  // An odd-sized "LIST" chunk (padded to even) between the format and the data.
  const std::vector<std::uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  wav.insert(wav.begin() + 36, list.begin(), list.end());
  const auto audio = Parse(wav);
  ASSERT_TRUE(audio.has_value());
  EXPECT_EQ(audio->samples, (std::vector<std::int16_t>{1, 2, 3}));
}

TEST(PcmWavReader, DataCutShortKeepsWholeFrames) {
  auto wav = testing::WavBytes(8000, 2, 16, {1, 2, 3, 4, 5, 6});
  wav.resize(wav.size() - 3);
  const auto audio = Parse(wav);
  ASSERT_TRUE(audio.has_value());
  EXPECT_EQ(audio->samples, (std::vector<std::int16_t>{1, 2, 3, 4}));
}

struct BadCase {
  const char* name;
  std::size_t offset;  // byte to change, or the size to cut to when `cut`
  std::uint8_t value;
  bool cut;
};

class Malformed : public ::testing::TestWithParam<BadCase> {};

TEST_P(Malformed, IsRejectedWithAReason) {
  const BadCase& c = GetParam();
  auto wav = testing::WavBytes(8000, 1, 16, {1, 2, 3, 4});
  if (c.cut) {
    wav.resize(c.offset);
  } else {
    wav[c.offset] = c.value;
  }
  std::string error;
  EXPECT_FALSE(Parse(wav, &error).has_value());
  EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Damage, Malformed,
    ::testing::Values(BadCase{"Empty", 0, 0, true}, BadCase{"CutInRiff", 7, 0, true},
                      BadCase{"CutInFormat", 30, 0, true}, BadCase{"CutBeforeData", 36, 0, true},
                      BadCase{"FormatSizePastTheEnd", 17, 0x7F, false}, BadCase{"FormatSizeTooSmall", 16, 4, false},
                      BadCase{"NotPcm", 20, 3, false}, BadCase{"NoChannels", 22, 0, false},
                      BadCase{"TwelveBits", 34, 12, false}, BadCase{"WrongBlockAlign", 32, 3, false},
                      BadCase{"NotWave", 8, 'X', false}, BadCase{"DataTagRenamed", 36, 'X', false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PcmWavReader, MissingFileIsAnError) {
  std::string error;
  EXPECT_FALSE(ReadPcmWav("/nonexistent/mic.wav", &error).has_value());
  EXPECT_EQ(error, "cannot open the file");
}

}  // namespace
}  // namespace sonavera::platform
