#include "audio/wav_image.h"

#include <gtest/gtest.h>

#include "audio/test_media.h"

namespace sonavera::audio {
namespace {

using testing::TempFolder;

// A WAV file image built field by field, so that headers can be bent in every way.
struct WavSpec {
  int tag = 1;
  int channels = 2;
  int rate = 44100;
  int bits = 16;
  int fmtSize = 16;
  bool fact = false;
  int bytesPerSecond = -1;  // -1: derived
  int blockAlign = -1;      // -1: derived
  std::vector<std::int16_t> samples;
};

std::vector<std::uint8_t> BuildWav(const WavSpec& spec) {
  std::vector<std::uint8_t> out;
  auto put = [&out](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto tag = [&out](const char* t) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(t[i]));
  };
  const int align = spec.blockAlign >= 0 ? spec.blockAlign : spec.channels * spec.bits / 8;
  std::vector<std::uint8_t> data;
  for (std::int16_t s : spec.samples) {
    if (spec.bits == 8) {
      data.push_back(static_cast<std::uint8_t>(s));  // 8-bit samples are given as their byte values
    } else {
      data.push_back(static_cast<std::uint8_t>(s & 0xFF));
      data.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
    }
  }
  tag("RIFF");
  put(0, 4);  // filled below
  tag("WAVE");
  tag("fmt ");
  put(spec.fmtSize, 4);
  put(spec.tag, 2);
  put(spec.channels, 2);
  put(spec.rate, 4);
  put(spec.bytesPerSecond >= 0 ? spec.bytesPerSecond : spec.rate * align, 4);
  put(align, 2);
  put(spec.bits, 2);
  if (spec.fmtSize == 18) put(0, 2);
  if (spec.fact) {
    tag("fact");
    put(4, 4);
    put(static_cast<std::uint32_t>(spec.samples.size()), 4);
  }
  tag("data");
  put(static_cast<std::uint32_t>(data.size()), 4);
  out.insert(out.end(), data.begin(), data.end());
  const auto riff = static_cast<std::uint32_t>(out.size() - 8);
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<std::uint8_t>(riff >> (8 * i));
  return out;
}

class RecordedMessages : public MessageSink {
 public:
  void ShowMessage(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

std::vector<std::int16_t> DataSamples(const std::vector<std::uint8_t>& image, std::uint32_t offset) {
  std::vector<std::int16_t> samples;
  for (std::size_t o = offset; o + 1 < image.size(); o += 2) samples.push_back(testing::SampleAt(image, o));
  return samples;
}

struct LengthCase {
  const char* name;
  std::size_t accompaniment;
  std::size_t voice;
};

class MixLengths : public ::testing::TestWithParam<LengthCase> {};

// Equal formats: the overlap carries the sum, the rest whichever file is longer, and the saved file's
// sizes describe what it holds.
TEST_P(MixLengths, OverlapIsSummedAndTheLongerFileFillsTheRest) {
  const LengthCase& c = GetParam();
  TempFolder folder;
  WavSpec accompaniment, voice;
  accompaniment.samples = testing::Ramp(c.accompaniment, 1000);
  voice.samples = testing::Ramp(c.voice, -500);
  testing::WriteFile(folder / "accompany.wav", BuildWav(accompaniment));
  testing::WriteFile(folder / "temp.wav", BuildWav(voice));

  WavImage image;
  ASSERT_TRUE(image.Load(folder / "accompany.wav"));
  ASSERT_TRUE(image.MixFile(folder / "temp.wav"));
  ASSERT_TRUE(image.Save(folder / "uion.wav"));

  const auto out = testing::ReadFile(folder / "uion.wav");
  const std::size_t longer = std::max(c.accompaniment, c.voice);
  ASSERT_EQ(out.size(), 44 + longer * 2);
  EXPECT_EQ(testing::Le32At(out, 4), out.size() - 8);
  EXPECT_EQ(testing::Le32At(out, 40), longer * 2);
  const auto mixed = DataSamples(out, 44);
  for (std::size_t i = 0; i < longer; ++i) {
    const int a = i < c.accompaniment ? accompaniment.samples[i] : 0;
    const int v = i < c.voice ? voice.samples[i] : 0;
    ASSERT_EQ(mixed[i], std::clamp(a + v, -32768, 32767)) << "sample " << i;
  }
  EXPECT_EQ(folder.Files(), (std::vector<std::string>{"accompany.wav", "temp.wav", "uion.wav"}));
}

INSTANTIATE_TEST_SUITE_P(Lengths, MixLengths,
                         ::testing::Values(LengthCase{"VoiceShorter", 4000, 1500}, LengthCase{"Equal", 2000, 2000},
                                           LengthCase{"VoiceLonger", 1200, 5000}, LengthCase{"NoVoice", 800, 0},
                                           LengthCase{"NoAccompaniment", 0, 600}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WavImage, SixteenBitSumsSaturate) {
  TempFolder folder;
  WavSpec a, v;
  a.channels = v.channels = 1;
  a.samples = {30000, -30000, 100, -100, 32767, -32768};
  v.samples = {10000, -10000, 5, 5, 1, -1};
  testing::WriteFile(folder / "a.wav", BuildWav(a));
  testing::WriteFile(folder / "v.wav", BuildWav(v));
  WavImage image;
  ASSERT_TRUE(image.Load(folder / "a.wav"));
  ASSERT_TRUE(image.MixFile(folder / "v.wav"));
  EXPECT_EQ(DataSamples(image.bytes(), image.dataOffset()),
            (std::vector<std::int16_t>{32767, -32768, 105, -95, 32767, -32768}));
}

TEST(WavImage, EightBitSumsAroundTheMidpointAndClip) {
  TempFolder folder;
  WavSpec a, v;
  a.bits = v.bits = 8;
  a.channels = v.channels = 1;
  a.samples = {200, 10, 128, 0, 255};
  v.samples = {200, 20, 130, 128, 129};
  testing::WriteFile(folder / "a.wav", BuildWav(a));
  testing::WriteFile(folder / "v.wav", BuildWav(v));
  WavImage image;
  ASSERT_TRUE(image.Load(folder / "a.wav"));
  ASSERT_TRUE(image.MixFile(folder / "v.wav"));
  const auto& bytes = image.bytes();
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + image.dataOffset(), bytes.end()),
            (std::vector<std::uint8_t>{255, 0, 130, 0, 255}));
}

// The 18-byte format chunk moves the next chunk to 38, and a "fact" chunk is stepped over.
TEST(WavImage, EighteenByteFormatWithFactChunk) {
  TempFolder folder;
  WavSpec a, v;
  a.fmtSize = 18;
  a.fact = true;
  a.samples = {1, 2, 3, 4};
  v.fmtSize = 18;
  v.samples = {10, 20, 30, 40, 50, 60};
  testing::WriteFile(folder / "a.wav", BuildWav(a));
  testing::WriteFile(folder / "v.wav", BuildWav(v));
  WavImage image;
  ASSERT_TRUE(image.Load(folder / "a.wav"));
  EXPECT_EQ(image.dataOffset(), 38u + 12u + 8u);
  EXPECT_EQ(image.format().sampleRate, 44100u);
  EXPECT_EQ(image.format().blockAlign, 4);
  ASSERT_TRUE(image.MixFile(folder / "v.wav"));
  ASSERT_TRUE(image.Save(folder / "out.wav"));
  const auto out = testing::ReadFile(folder / "out.wav");
  EXPECT_EQ(DataSamples(out, 58), (std::vector<std::int16_t>{11, 22, 33, 44, 50, 60}));
  EXPECT_EQ(testing::Le32At(out, 54), 12u);
  EXPECT_EQ(testing::Le32At(out, 4), out.size() - 8);
}

TEST(WavImage, NonPcmFilesAreReportedAndNotUsed) {
  TempFolder folder;
  WavSpec pcm, adpcm;
  pcm.samples = {100, 200, 300, 400};
  adpcm.tag = 2;
  adpcm.samples = {1000, 1000, 1000, 1000};
  testing::WriteFile(folder / "pcm.wav", BuildWav(pcm));
  testing::WriteFile(folder / "adpcm.wav", BuildWav(adpcm));
  const std::string pcmOnly = "此程序只支持PCM格式编码，不支持其它编码格式!\n";

  RecordedMessages messages;
  WavImage image(&messages);
  ASSERT_TRUE(image.Load(folder / "pcm.wav"));
  const auto before = image.bytes();
  EXPECT_FALSE(image.MixFile(folder / "adpcm.wav"));
  EXPECT_EQ(image.bytes(), before);
  EXPECT_EQ(messages.texts, std::vector<std::string>{pcmOnly});

  // A non-PCM accompaniment leaves nothing to save.
  EXPECT_FALSE(image.Load(folder / "adpcm.wav"));
  EXPECT_TRUE(image.bytes().empty());
  EXPECT_FALSE(image.Save(folder / "out.wav"));
  EXPECT_EQ(messages.texts, (std::vector<std::string>{pcmOnly, pcmOnly, "数据为空, 不能保存!\n"}));
  EXPECT_FALSE(testing::FileExists(folder / "out.wav"));
}

struct MismatchCase {
  const char* name;
  WavSpec voice;
};

class MismatchedFormats : public ::testing::TestWithParam<MismatchCase> {};

TEST_P(MismatchedFormats, LeaveTheAccompanimentAsItWas) {
  TempFolder folder;
  WavSpec a;
  a.samples = testing::Ramp(400, 7);
  WavSpec v = GetParam().voice;
  v.samples = testing::Ramp(1600, 3);  // longer than the accompaniment too
  testing::WriteFile(folder / "a.wav", BuildWav(a));
  testing::WriteFile(folder / "v.wav", BuildWav(v));
  WavImage image;
  ASSERT_TRUE(image.Load(folder / "a.wav"));
  EXPECT_TRUE(image.MixFile(folder / "v.wav"));
  EXPECT_EQ(image.bytes(), BuildWav(a));
}

WavSpec With(int channels, int rate, int bits, int bytesPerSecond = -1, int blockAlign = -1) {
  WavSpec spec;
  spec.channels = channels;
  spec.rate = rate;
  spec.bits = bits;
  spec.bytesPerSecond = bytesPerSecond;
  spec.blockAlign = blockAlign;
  return spec;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, MismatchedFormats,
    ::testing::Values(MismatchCase{"Rate48000", With(2, 48000, 16)}, MismatchCase{"Mono", With(1, 44100, 16)},
                      MismatchCase{"EightBit", With(2, 44100, 8)},
                      MismatchCase{"BytesPerSecond", With(2, 44100, 16, 176404)},
                      MismatchCase{"BlockAlign", With(2, 44100, 16, 176400, 6)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WavImage, TwentyFourBitFilesAreNotMixed) {
  TempFolder folder;
  WavSpec a = With(1, 44100, 24), v = With(1, 44100, 24);
  a.samples = {1, 2, 3};
  v.samples = {5, 5, 5, 5, 5, 5};
  testing::WriteFile(folder / "a.wav", BuildWav(a));
  testing::WriteFile(folder / "v.wav", BuildWav(v));
  WavImage image;
  ASSERT_TRUE(image.Load(folder / "a.wav"));
  EXPECT_TRUE(image.MixFile(folder / "v.wav"));
  EXPECT_EQ(image.bytes(), BuildWav(a));
}

struct DamageCase {
  const char* name;
  std::vector<std::uint8_t> (*damage)(std::vector<std::uint8_t>);
};

class DamagedHeaders : public ::testing::TestWithParam<DamageCase> {};

// Headers cut short or pointing outside the file are rejected without reading past the end (the
// sanitiser build checks the "without"); the other file is left untouched.
TEST_P(DamagedHeaders, AreRejected) {
  TempFolder folder;
  WavSpec good;
  good.fact = true;
  good.fmtSize = 18;
  good.samples = testing::Ramp(64);
  testing::WriteFile(folder / "good.wav", BuildWav(good));
  testing::WriteFile(folder / "bad.wav", GetParam().damage(BuildWav(good)));
  WavImage image;
  EXPECT_FALSE(image.Load(folder / "bad.wav"));
  EXPECT_TRUE(image.bytes().empty());
  ASSERT_TRUE(image.Load(folder / "good.wav"));
  EXPECT_FALSE(image.MixFile(folder / "bad.wav"));
  EXPECT_EQ(image.bytes(), BuildWav(good));
}

std::vector<std::uint8_t> CutAt(std::vector<std::uint8_t> bytes, std::size_t size) {
  bytes.resize(std::min(size, bytes.size()));
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedHeaders,
    ::testing::Values(
        DamageCase{"Empty", [](auto b) { return CutAt(b, 0); }},
        DamageCase{"CutInRiff", [](auto b) { return CutAt(b, 10); }},
        DamageCase{"CutInFormat", [](auto b) { return CutAt(b, 30); }},
        DamageCase{"CutBeforeFact", [](auto b) { return CutAt(b, 40); }},
        DamageCase{"CutInFact", [](auto b) { return CutAt(b, 48); }},
        DamageCase{"CutInDataTag", [](auto b) { return CutAt(b, 55); }},
        DamageCase{"FactSizePastTheEnd",
                   [](auto b) {
                     b[42] = 0xF0, b[43] = 0xFF, b[44] = 0xFF, b[45] = 0xFF;
                     return b;
                   }},
        DamageCase{"FactSizeWrapping",
                   [](auto b) {
                     b[42] = 0xF4, b[43] = 0xFF, b[44] = 0xFF, b[45] = 0xFF;  // 38 + 8 + size wraps to 42
                     return b;
                   }},
        DamageCase{"NoDataTag",
                   [](auto b) {
                     b[50] = 'L', b[51] = 'I', b[52] = 'S', b[53] = 'T';
                     return b;
                   }},
        DamageCase{"NotRiff", [](auto b) { return (b[0] = 'R', b[1] = 'I', b[2] = 'F', b[3] = 'X', b); }},
        DamageCase{"NotWave", [](auto b) { return (b[11] = 'F', b); }}),
    [](const auto& info) { return std::string(info.param.name); });

// A take cut off inside its samples still mixes what it holds, whole samples only.
TEST(WavImage, TruncatedSamplesMixWhatIsThere) {
  TempFolder folder;
  WavSpec a, v;
  a.channels = v.channels = 1;
  a.samples = {100, 100, 100, 100};
  v.samples = {1, 2, 3, 4};
  auto voice = BuildWav(v);
  voice.resize(voice.size() - 3);  // the header still says four samples; one and a half are missing
  testing::WriteFile(folder / "a.wav", BuildWav(a));
  testing::WriteFile(folder / "v.wav", voice);
  WavImage image;
  ASSERT_TRUE(image.Load(folder / "a.wav"));
  ASSERT_TRUE(image.MixFile(folder / "v.wav"));
  EXPECT_EQ(DataSamples(image.bytes(), image.dataOffset()), (std::vector<std::int16_t>{101, 102, 100, 100}));
}

TEST(WavImage, SaveIntoAMissingFolderFailsQuietly) {
  TempFolder folder;
  WavSpec a;
  a.samples = {1, 2};
  testing::WriteFile(folder / "a.wav", BuildWav(a));
  RecordedMessages messages;
  WavImage image(&messages);
  ASSERT_TRUE(image.Load(folder / "a.wav"));
  EXPECT_FALSE(image.Save(folder / "missing/out.wav"));
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_FALSE(image.Load(folder / "missing.wav"));
}

}  // namespace
}  // namespace sonavera::audio
