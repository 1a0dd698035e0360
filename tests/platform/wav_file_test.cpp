#include "platform/wav_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

using namespace sonavera::platform;

namespace {

namespace fs = std::filesystem;

void Put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

std::vector<uint8_t> Chunk(const char* tag, const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> chunk;
  PutTag(chunk, tag);
  Put32(chunk, static_cast<uint32_t>(payload.size()));
  chunk.insert(chunk.end(), payload.begin(), payload.end());
  if (payload.size() % 2) chunk.push_back(0);
  return chunk;
}

std::vector<uint8_t> FormatPayload(int tag, int channels, int rate, int bits, int blockAlign = -1) {
  std::vector<uint8_t> p;
  if (blockAlign < 0) blockAlign = channels * bits / 8;
  Put16(p, tag);
  Put16(p, channels);
  Put32(p, rate);
  Put32(p, rate * blockAlign);
  Put16(p, blockAlign);
  Put16(p, bits);
  return p;
}

std::vector<uint8_t> Riff(const std::vector<std::vector<uint8_t>>& chunks) {
  std::vector<uint8_t> body;
  PutTag(body, "WAVE");
  for (const auto& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
  std::vector<uint8_t> file;
  PutTag(file, "RIFF");
  Put32(file, static_cast<uint32_t>(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

std::vector<uint8_t> Samples16(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> bytes;
  for (int16_t s : samples) Put16(bytes, static_cast<uint16_t>(s));
  return bytes;
}

// One 32-bit integer sample of nearly full scale.
const std::vector<uint8_t> kSigned32 =
    Riff({Chunk("fmt ", FormatPayload(1, 1, 8000, 32)), Chunk("data", {9, 9, 0xFF, 0x7F})});

bool Parse(const std::vector<uint8_t>& bytes, WavAudio& audio, std::string& error) {
  return ParseWav(bytes.data(), bytes.size(), audio, error);
}

TEST(WavFile, EncodeWritesTheCanonicalHeader) {
  const std::vector<int16_t> samples = {1, -2, 32767, -32768};
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(EncodeWav(samples.data(), samples.size(), 2, 44100, bytes, error)) << error;
  const auto expected =
      Riff({Chunk("fmt ", FormatPayload(1, 2, 44100, 16)), Chunk("data", Samples16(samples))});
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(bytes.size(), 44u + 8u);
}

TEST(WavFile, FileRoundTrip) {
  const fs::path path = fs::temp_directory_path() / "sonavera-wav-roundtrip.wav";
  std::vector<int16_t> samples(8001);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(i * 37 - 20000);
  std::string error;
  ASSERT_TRUE(WriteWavFile(path.string(), samples.data(), samples.size(), 1, 8000, error)) << error;
  WavAudio audio;
  ASSERT_TRUE(ReadWavFile(path.string(), audio, error)) << error;
  EXPECT_EQ(audio.format.channels, 1);
  EXPECT_EQ(audio.format.sampleRate, 8000);
  EXPECT_EQ(audio.format.bitsPerSample, 16);
  EXPECT_EQ(audio.samples, samples);
  fs::remove(path);
}

TEST(WavFile, WriteAndReadFailuresAreReported) {
  const int16_t one = 0;
  std::string error;
  EXPECT_FALSE(WriteWavFile("/nonexistent-folder/x.wav", &one, 1, 1, 8000, error));
  EXPECT_NE(error.find("/nonexistent-folder/x.wav"), std::string::npos);
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(EncodeWav(&one, 1, 2, 8000, bytes, error));  // half a frame
  EXPECT_FALSE(EncodeWav(&one, 1, 0, 8000, bytes, error));
  EXPECT_FALSE(EncodeWav(&one, 1, 1, 0, bytes, error));
  WavAudio audio;
  EXPECT_FALSE(ReadWavFile("/nonexistent-folder/x.wav", audio, error));
  EXPECT_FALSE(ReadWavFile(fs::temp_directory_path().string(), audio, error));  // a folder
}

TEST(WavFile, WalksOtherChunksInAnyOrder) {
  const auto data = Samples16({5, 6, 7});
  // A "LIST" chunk of odd size (padded), the data before the format.
  const auto bytes =
      Riff({Chunk("LIST", {1, 2, 3}), Chunk("data", data), Chunk("fmt ", FormatPayload(1, 1, 8000, 16))});
  WavAudio audio;
  std::string error;
  ASSERT_TRUE(Parse(bytes, audio, error)) << error;
  EXPECT_EQ(audio.samples, (std::vector<int16_t>{5, 6, 7}));
}

TEST(WavFile, OtherSampleSizesBecomeSixteenBits) {
  WavAudio audio;
  std::string error;
  ASSERT_TRUE(
      Parse(Riff({Chunk("fmt ", FormatPayload(1, 1, 8000, 8)), Chunk("data", {0, 128, 255})}), audio, error));
  EXPECT_EQ(audio.samples, (std::vector<int16_t>{-32768, 0, 32512}));
  EXPECT_EQ(audio.format.bitsPerSample, 8);
  ASSERT_TRUE(Parse(
      Riff({Chunk("fmt ", FormatPayload(1, 1, 8000, 24)), Chunk("data", {0x11, 0x34, 0x12, 0, 0, 0x80})}),
      audio, error));
  EXPECT_EQ(audio.samples, (std::vector<int16_t>{0x1234, -32768}));
  ASSERT_TRUE(Parse(Riff({Chunk("fmt ", FormatPayload(1, 1, 8000, 32)), Chunk("data", {9, 9, 0xFF, 0x7F})}),
                    audio, error));
  EXPECT_EQ(audio.samples, (std::vector<int16_t>{32767}));
}

TEST(WavFile, ExtensiblePcmIsAcceptedOtherSubformatsNot) {
  auto extensible = [](int subformat) {
    auto p = FormatPayload(0xFFFE, 1, 8000, 16);
    Put16(p, 22);         // extension size
    Put16(p, 16);         // valid bits
    Put32(p, 4);          // channel mask
    Put16(p, subformat);  // first bytes of the sub-format GUID
    p.insert(p.end(), 14, 0);
    return p;
  };
  WavAudio audio;
  std::string error;
  EXPECT_TRUE(Parse(Riff({Chunk("fmt ", extensible(1)), Chunk("data", Samples16({3}))}), audio, error))
      << error;
  EXPECT_FALSE(Parse(Riff({Chunk("fmt ", extensible(3)), Chunk("data", Samples16({3}))}), audio, error));
  EXPECT_NE(error.find("not PCM"), std::string::npos) << error;
}

std::vector<uint8_t> Floats(const std::vector<float>& values) {
  std::vector<uint8_t> bytes;
  for (float value : values) {
    uint32_t raw;
    std::memcpy(&raw, &value, sizeof raw);
    Put32(bytes, raw);
  }
  return bytes;
}

TEST(WavFile, FloatSamplesAreReadOnlyWhenAskedFor) {
  const auto bytes = Riff({Chunk("fmt ", FormatPayload(3, 1, 8000, 32)),
                           Chunk("data", Floats({0.5f, -1.5f, std::nanf(""), 1.0f, -0.25f}))});
  WavAudio audio;
  std::string error;
  EXPECT_FALSE(Parse(bytes, audio, error));
  EXPECT_NE(error.find("not PCM"), std::string::npos) << error;

  WavReadRules rules;
  rules.acceptFloat = true;
  ASSERT_TRUE(ParseWav(bytes.data(), bytes.size(), audio, error, rules)) << error;
  // Clamped to -1..1, scaled by 32767 and rounded; NaN is silence.
  EXPECT_EQ(audio.samples, (std::vector<int16_t>{16384, -32767, 0, 32767, -8192}));
  EXPECT_TRUE(audio.format.floatSamples);
  EXPECT_EQ(audio.format.bitsPerSample, 32);

  // Integer PCM is not taken for float, and float comes only in 32 bits.
  ASSERT_TRUE(ParseWav(kSigned32.data(), kSigned32.size(), audio, error, rules)) << error;
  EXPECT_FALSE(audio.format.floatSamples);
  EXPECT_EQ(audio.samples, (std::vector<int16_t>{32767}));
  const auto float16 = Riff({Chunk("fmt ", FormatPayload(3, 1, 8000, 16)), Chunk("data", Samples16({1}))});
  EXPECT_FALSE(ParseWav(float16.data(), float16.size(), audio, error, rules));
  EXPECT_NE(error.find("float sample size of 16 bits"), std::string::npos) << error;
}

struct Malformed {
  const char* name;
  std::vector<uint8_t> bytes;
  const char* message;  // part of the expected error
};

class MalformedWav : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedWav, FailsWithAClearMessage) {
  WavAudio audio;
  audio.samples = {1, 2, 3};
  std::string error;
  EXPECT_FALSE(Parse(GetParam().bytes, audio, error));
  EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
  EXPECT_TRUE(audio.samples.empty());
}

std::vector<uint8_t> WithRiffSize(std::vector<uint8_t> bytes, uint32_t size) {
  std::memcpy(bytes.data() + 4, &size, 4);
  return bytes;
}

const auto kGoodFormat = Chunk("fmt ", FormatPayload(1, 1, 8000, 16));
const auto kGoodData = Chunk("data", Samples16({1, 2}));
const auto kGood = Riff({kGoodFormat, kGoodData});

std::vector<uint8_t> Truncated(size_t size) {
  return std::vector<uint8_t>(kGood.begin(), kGood.begin() + size);
}

std::vector<uint8_t> DataSizePastEnd() {
  auto bytes = kGood;
  bytes[40] = 0xF0;  // the data chunk's size
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, MalformedWav,
    ::testing::Values(
        Malformed{"Empty", {}, "too short"}, Malformed{"ShortHeader", Truncated(11), "too short"},
        Malformed{"NotRiff", std::vector<uint8_t>(44, 'x'), "not a RIFF/WAVE"},
        Malformed{"RiffSizePastEnd", Truncated(kGood.size() - 1), "truncated"},
        Malformed{"RiffSizeTooSmall", WithRiffSize(kGood, 2), "too small"},
        Malformed{"ChunkHeaderCut", WithRiffSize(Truncated(16), 8), "chunk header is truncated"},
        Malformed{"ChunkPastEnd", DataSizePastEnd(), "reaches past the end"},
        Malformed{"NoFormat", Riff({kGoodData}), "no format chunk"},
        Malformed{"NoData", Riff({kGoodFormat}), "no data chunk"},
        Malformed{"TwoData", Riff({kGoodFormat, kGoodData, kGoodData}), "more than one data"},
        Malformed{"TwoFormats", Riff({kGoodFormat, kGoodFormat, kGoodData}), "more than one format"},
        Malformed{"FormatTooShort", Riff({Chunk("fmt ", std::vector<uint8_t>(14, 1)), kGoodData}),
                  "too short"},
        Malformed{"FloatSamples", Riff({Chunk("fmt ", FormatPayload(3, 1, 8000, 32)), kGoodData}), "not PCM"},
        Malformed{"ZeroChannels", Riff({Chunk("fmt ", FormatPayload(1, 0, 8000, 16, 2)), kGoodData}),
                  "channel count"},
        Malformed{"ZeroRate", Riff({Chunk("fmt ", FormatPayload(1, 1, 0, 16)), kGoodData}), "sample rate"},
        Malformed{"TwelveBits", Riff({Chunk("fmt ", FormatPayload(1, 1, 8000, 12, 2)), kGoodData}),
                  "12 bits"},
        Malformed{"BadBlockAlign", Riff({Chunk("fmt ", FormatPayload(1, 1, 8000, 16, 4)), kGoodData}),
                  "block alignment"},
        Malformed{"HalfFrame",
                  Riff({Chunk("fmt ", FormatPayload(1, 2, 8000, 16)), Chunk("data", Samples16({1}))}),
                  "inside a sample frame"}),
    [](const ::testing::TestParamInfo<Malformed>& info) { return std::string(info.param.name); });

// What a forgiving reading makes of the files a strict one refuses.
struct Forgiven {
  const char* name;
  std::vector<uint8_t> bytes;
  bool parses;
  std::vector<int16_t> samples;  // when it parses
};

class ForgivingWav : public ::testing::TestWithParam<Forgiven> {};

TEST_P(ForgivingWav, KeepsWhatTheFileStillHolds) {
  const Forgiven& file = GetParam();
  WavAudio audio;
  std::string error;
  EXPECT_FALSE(Parse(file.bytes, audio, error)) << "strictly refused";
  WavReadRules rules;
  rules.forgiving = true;
  audio.samples = {9, 9, 9};
  error.clear();
  EXPECT_EQ(ParseWav(file.bytes.data(), file.bytes.size(), audio, error, rules), file.parses) << error;
  EXPECT_EQ(error.empty(), file.parses) << error;
  EXPECT_EQ(audio.samples, file.samples);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ForgivingWav,
    ::testing::Values(
        Forgiven{"DataCutOff", Truncated(kGood.size() - 1), true, {1}},
        Forgiven{"DataSizePastEnd", DataSizePastEnd(), true, {1, 2}},
        Forgiven{"RiffSizeTooSmall", WithRiffSize(kGood, 2), true, {1, 2}},
        Forgiven{"RiffSizeZero", WithRiffSize(kGood, 0), true, {1, 2}},
        Forgiven{"TwoDataTheFirstCounts",
                 Riff({kGoodFormat, kGoodData, Chunk("data", Samples16({7, 8, 9, 10}))}),
                 true,
                 {1, 2}},
        Forgiven{"TwoFormatsTheFirstCounts",
                 Riff({kGoodFormat, Chunk("fmt ", FormatPayload(1, 2, 8000, 16)), kGoodData}),
                 true,
                 {1, 2}},
        Forgiven{"BadBlockAlign",
                 Riff({Chunk("fmt ", FormatPayload(1, 1, 8000, 16, 4)), kGoodData}),
                 true,
                 {1, 2}},
        Forgiven{"HalfFrameDropped",
                 Riff({Chunk("fmt ", FormatPayload(1, 2, 8000, 16)), Chunk("data", Samples16({1, 2, 3}))}),
                 true,
                 {1, 2}},
        Forgiven{"FormatCutOff", Truncated(30), false, {}},
        Forgiven{"ChunkHeaderCut", WithRiffSize(Truncated(16), 8), false, {}},
        Forgiven{"NoData", Riff({kGoodFormat}), false, {}},
        Forgiven{
            "ZeroChannels", Riff({Chunk("fmt ", FormatPayload(1, 0, 8000, 16, 2)), kGoodData}), false, {}}),
    [](const ::testing::TestParamInfo<Forgiven>& info) { return std::string(info.param.name); });

TEST(WavFile, EveryTruncationAndByteFlipFailsCleanlyOrParses) {
  // Under the sanitizers this shows no cut or corrupted header reads outside the buffer.
  const auto good = Riff({Chunk("LIST", {1, 2, 3}), kGoodFormat, Chunk("data", Samples16({1, 2, 3, 4}))});
  for (size_t size = 0; size < good.size(); ++size) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + size);
    WavAudio audio;
    std::string error;
    EXPECT_FALSE(ParseWav(cut.data(), cut.size(), audio, error)) << size;
    EXPECT_FALSE(error.empty());
    // A forgiving reading keeps the whole samples of a cut inside the data chunk.
    if (ParseWav(cut.data(), cut.size(), audio, error, WavReadRules{true, true})) {
      EXPECT_GE(size, good.size() - 8) << "only a cut inside the samples parses";
      EXPECT_EQ(audio.samples.size(), (size - (good.size() - 8)) / 2);
    }
  }
  for (size_t at = 0; at < good.size(); ++at) {
    for (uint8_t value : {uint8_t{0}, uint8_t{0x7F}, uint8_t{0xFF}}) {
      auto bytes = good;
      bytes[at] = value;
      for (const WavReadRules& rules : {WavReadRules{}, WavReadRules{true, true}}) {
        WavAudio audio;
        std::string error;
        if (!ParseWav(bytes.data(), bytes.size(), audio, error, rules)) {
          EXPECT_FALSE(error.empty());
        }
      }
    }
  }
}

}  // namespace
