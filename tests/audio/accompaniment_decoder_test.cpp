#include "audio/accompaniment_decoder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "audio/test_media.h"
#include "audio/wav_writer.h"

namespace sonavera::audio {
namespace {

using testing::TempFolder;

struct Mp3Case {
  const char* name;
  int rate;
  int channels;
  double seconds;
};

class DecodeTone : public ::testing::TestWithParam<Mp3Case> {};

// The WAV holds what the decoder library itself decodes from the file, under a header that says so.
TEST_P(DecodeTone, HeaderAndLengthMatchTheDecoder) {
  const Mp3Case& c = GetParam();
  TempFolder song, program;
  testing::WriteFile(song / "music.mp3", testing::Mp3Bytes(c.rate, c.channels, testing::Tone(c.rate, c.channels, c.seconds, 440)));
  long decoderRate = 0;
  const std::size_t values = testing::DecodedSampleValues(song / "music.mp3", &decoderRate);
  ASSERT_GT(values, 0u);

  ASSERT_TRUE(DecodeAccompaniment(song.path(), program.path()));
  const auto wav = testing::ReadFile(program / "accompany.wav");
  ASSERT_GE(wav.size(), 44u);
  EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
  EXPECT_EQ(testing::Le32At(wav, 4), wav.size() - 8);
  EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(testing::Le32At(wav, 16), 16u);
  EXPECT_EQ(testing::Le16At(wav, 20), 1);
  EXPECT_EQ(testing::Le16At(wav, 22), 2);  // a mono stream is written on both channels
  EXPECT_EQ(testing::Le32At(wav, 24), static_cast<std::uint32_t>(c.rate));
  EXPECT_EQ(decoderRate, c.rate);
  EXPECT_EQ(testing::Le32At(wav, 28), static_cast<std::uint32_t>(c.rate * 4));
  EXPECT_EQ(testing::Le16At(wav, 32), 4);
  EXPECT_EQ(testing::Le16At(wav, 34), 16);
  EXPECT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
  EXPECT_EQ(testing::Le32At(wav, 40), values * 2);
  EXPECT_EQ(wav.size(), 44 + values * 2);
  // Both channels carry the tone, not silence and not one channel's samples spread over two.
  const std::size_t middle = 44 + (values / 2) * 2 / 4 * 4;
  int loud = 0;
  for (std::size_t o = middle; o < middle + 400 && o + 3 < wav.size(); o += 4) {
    EXPECT_EQ(testing::SampleAt(wav, o), testing::SampleAt(wav, o + 2));
    loud += std::abs(testing::SampleAt(wav, o)) > 3000;
  }
  EXPECT_GT(loud, 20);
}

INSTANTIATE_TEST_SUITE_P(Streams, DecodeTone,
                         ::testing::Values(Mp3Case{"Stereo44100", 44100, 2, 2.0}, Mp3Case{"Mono22050", 22050, 1, 2.0},
                                           Mp3Case{"Stereo48000", 48000, 2, 1.0}, Mp3Case{"Mono8000", 8000, 1, 1.5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeAccompaniment, EmptyFileGivesAnEmptyWavAtThePlaceholderRate) {
  TempFolder song, program;
  testing::WriteFile(song / "music.mp3", {});
  ASSERT_TRUE(DecodeAccompaniment(song.path(), program.path()));
  const auto wav = testing::ReadFile(program / "accompany.wav");
  ASSERT_EQ(wav.size(), 44u);
  EXPECT_EQ(testing::Le32At(wav, 4), 36u);
  EXPECT_EQ(testing::Le16At(wav, 22), 2);
  EXPECT_EQ(testing::Le32At(wav, 24), 11025u);
  EXPECT_EQ(testing::Le32At(wav, 28), 44100u);
  EXPECT_EQ(testing::Le32At(wav, 40), 0u);
}

TEST(DecodeAccompaniment, GarbageInTheMiddleIsSkipped) {
  TempFolder song, program;
  auto mp3 = testing::Mp3Bytes(44100, 2, testing::Tone(44100, 2, 3.0, 330));
  // A damaged stretch of about a fifth of a second in the middle of the stream.
  for (std::size_t i = mp3.size() / 2; i < mp3.size() / 2 + 3000; ++i) {
    mp3[i] = static_cast<std::uint8_t>((i * 131 + 7) ^ (i >> 3));
  }
  testing::WriteFile(song / "music.mp3", mp3);

  ASSERT_TRUE(DecodeAccompaniment(song.path(), program.path()));
  const auto wav = testing::ReadFile(program / "accompany.wav");
  const std::size_t values = testing::DecodedSampleValues(song / "music.mp3");
  ASSERT_GE(wav.size(), 44u);
  EXPECT_EQ(testing::Le32At(wav, 24), 44100u);
  EXPECT_EQ(testing::Le32At(wav, 40), wav.size() - 44);
  // What follows the damage came through: well over half of the song, and within two frames of what
  // the library's own file reader makes of it (the two readers resynchronise a little differently).
  EXPECT_GT(wav.size() - 44, 44100u * 4 * 2);
  EXPECT_NEAR(static_cast<double>(wav.size() - 44), values * 2.0, 2 * 4608);
  EXPECT_LT(wav.size() - 44, 44100u * 4 * 3 + 4608);
  int loud = 0;
  for (std::size_t o = wav.size() - 4000; o < wav.size() - 2000; o += 4) loud += std::abs(testing::SampleAt(wav, o)) > 3000;
  EXPECT_GT(loud, 50) << "the end of the song is missing";
}

TEST(DecodeAccompaniment, MissingMusicWritesNothing) {
  TempFolder song, program;
  EXPECT_FALSE(DecodeAccompaniment(song.path(), program.path()));
  EXPECT_TRUE(program.Files().empty());
}

TEST(DecodeAccompaniment, UnwritableOutputLeavesNoFile) {
  TempFolder song;
  testing::WriteFile(song / "music.mp3", testing::Mp3Bytes(44100, 2, testing::Tone(44100, 2, 0.5, 440)));
  EXPECT_FALSE(DecodeAccompaniment(song.path(), song / "no-such-folder/"));
}

// The writer keeps the finished name free until it is closed, so a half-written file never looks
// complete; closing rewrites the header with the final count and the rate set meanwhile.
TEST(WavWriter, FileAppearsOnlyWhenClosedWithTheFinalHeader) {
  TempFolder folder;
  auto writer = WavWriterOpen(folder / "out.wav", 11025, 2);
  ASSERT_NE(writer, nullptr);
  const std::vector<std::int16_t> samples = {1, -1, 2, -2, 300, -300, 0x7FFF, -0x8000};
  EXPECT_EQ(WavWriterWrite(*writer, samples.data(), 6, 2), 6u);
  writer->sampleRate = 22050;
  EXPECT_FALSE(testing::FileExists(folder / "out.wav"));
  ASSERT_TRUE(WavWriterClose(std::move(writer)));
  const auto wav = testing::ReadFile(folder / "out.wav");
  ASSERT_EQ(wav.size(), 44u + 12u);
  EXPECT_EQ(testing::Le32At(wav, 24), 22050u);
  EXPECT_EQ(testing::Le32At(wav, 28), 22050u * 4);
  EXPECT_EQ(testing::Le32At(wav, 40), 12u);
  EXPECT_EQ(testing::SampleAt(wav, 44), 2);
  EXPECT_EQ(testing::SampleAt(wav, 54), -0x8000);
  EXPECT_EQ(folder.Files(), std::vector<std::string>{"out.wav"});
}

}  // namespace
}  // namespace sonavera::audio
