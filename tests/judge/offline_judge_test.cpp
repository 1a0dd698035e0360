// The offline judge run through the real sonavera-tool on packages written by the package writer,
// with synthetic takes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/tool_run.h"
#include "content/package_writer.h"
#include "content/temp_folder.h"
#include "platform/text_encoding.h"
#include "platform/wav_file.h"

namespace sonavera::judge {
namespace {

using content::PackageForm;
using content::SongPackageSpec;
using content::testing::TempFolder;

constexpr int kRate = 8000;

// A judge run: stdout line by line, and stderr.
struct ToolRun {
  int exitCode = -1;
  std::vector<std::string> lines;
  std::string errors;
};

ToolRun RunJudge(const std::string& arguments) {
  const sonavera::testing::ToolRun run = sonavera::testing::RunTool(arguments);
  return ToolRun{run.exitCode, run.Lines(), run.err};
}

// The raw text of a key's value in one JSON line (numbers, strings with their quotes, arrays).
std::string Field(const std::string& json, const std::string& key) {
  const std::string marker = "\"" + key + "\":";
  const size_t at = json.find(marker);
  if (at == std::string::npos) return "";
  size_t start = at + marker.size();
  size_t end = start;
  if (json[start] == '[') {
    end = json.find(']', start) + 1;
  } else {
    while (end < json.size() && json[end] != ',' && json[end] != '}') ++end;
  }
  return json.substr(start, end - start);
}

double Number(const std::string& json, const std::string& key) {
  return std::stod(Field(json, key));
}

std::vector<int> IntArray(const std::string& json, const std::string& key) {
  std::string text = Field(json, key);
  std::vector<int> values;
  for (size_t i = 1; i + 1 < text.size();) {
    size_t next = text.find(',', i);
    if (next == std::string::npos) next = text.size() - 1;
    values.push_back(std::stoi(text.substr(i, next - i)));
    i = next + 1;
  }
  return values;
}

std::vector<std::string> Events(const ToolRun& run, const std::string& event) {
  std::vector<std::string> found;
  for (const std::string& line : run.lines) {
    if (Field(line, "event") == "\"" + event + "\"") found.push_back(line);
  }
  return found;
}

// Three lines of a melody; each ends on a rest so its last note closes.
SongPackageSpec Melody(PackageForm form) {
  SongPackageSpec spec;
  spec.form = form;
  spec.title = platform::Utf8ToGbk("测试之歌").value();
  auto line = [](float start, std::vector<std::pair<int, int>> notes) {
    content::PackageLine result{start, 0.0f, {}};
    for (auto [pitch, frames] : notes) result.frames.insert(result.frames.end(), frames, pitch);
    result.end = start + 0.016f * static_cast<float>(result.frames.size());
    return result;
  };
  spec.lines.push_back(line(2.0f, {{600, 60}, {0, 10}, {640, 60}, {0, 4}}));
  spec.lines.push_back(line(5.5f, {{620, 80}, {670, 70}, {0, 4}}));
  spec.lines.push_back(line(9.0f, {{580, 90}, {600, 60}, {0, 4}}));
  spec.lyric = platform::Utf8ToGbk("我 爱 你 的 歌 声 美 好\n").value();
  return spec;
}

// A take that sings the melody as a sine `shift` tenths of a semitone off the reference.
std::vector<int16_t> SungTake(const SongPackageSpec& spec, int shift, float seconds) {
  std::vector<int16_t> samples(static_cast<size_t>(seconds * kRate), 0);
  double phase = 0.0;
  for (size_t n = 0; n < samples.size(); ++n) {
    const double t = static_cast<double>(n) / kRate;
    int pitch = 0;
    for (const content::PackageLine& line : spec.lines) {
      const auto frame = static_cast<long>((t - line.start) / 0.016);
      if (t >= line.start && frame < static_cast<long>(line.frames.size())) pitch = line.frames[frame];
    }
    if (pitch == 0) continue;
    const double hz = 440.0 * std::pow(2.0, ((pitch + shift) / 10.0 - 69.0) / 12.0);
    phase += 2 * M_PI * hz / kRate;
    samples[n] = static_cast<int16_t>(9000 * std::sin(phase));
  }
  return samples;
}

std::string WriteTake(const TempFolder& temp, const std::string& name, const std::vector<int16_t>& samples,
                      int rate = kRate) {
  std::string error;
  EXPECT_TRUE(platform::WriteWavFile(temp.Path(name), samples.data(), samples.size(), 1, rate, error))
      << error;
  return temp.Path(name);
}

struct Case {
  PackageForm form;
  bool woman;
};

class OfflineJudge : public ::testing::TestWithParam<Case> {};

TEST_P(OfflineJudge, SingingTheMelodyScoresHighAndSilenceZero) {
  TempFolder temp;
  const SongPackageSpec spec = Melody(GetParam().form);
  std::string message;
  ASSERT_TRUE(content::WriteSongPackage(temp.Path("song"), spec, message)) << message;
  // An octave below the melody for a man; eight semitones below for a woman.
  const int shift = GetParam().woman ? -80 : -120;
  const std::string voice = WriteTake(temp, "voice.wav", SungTake(spec, shift, 14.0f));
  const std::string silence = WriteTake(temp, "silence.wav", std::vector<int16_t>(14 * kRate, 0));
  const std::string woman = GetParam().woman ? " --woman" : "";

  const ToolRun sung = RunJudge("judge --trace --song " + temp.Path("song") + " --voice " + voice + woman);
  ASSERT_EQ(sung.exitCode, 0) << sung.errors;
  const std::vector<std::string> ends = Events(sung, "end");
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_EQ(sung.lines.back(), ends[0]);
  EXPECT_GT(Number(ends[0], "finalScore"), 90.0);

  // Buffers arrive every tenth tick; before the first line opens they are previews of 1280 samples.
  const std::vector<std::string> buffers = Events(sung, "buffer");
  ASSERT_FALSE(buffers.empty());
  EXPECT_EQ(Number(buffers[0], "tick"), 10);
  EXPECT_EQ(Number(buffers[1], "tick"), 20);
  int inTune = 0;
  int judged = 0;
  for (const std::string& buffer : buffers) {
    const double t = Number(buffer, "t");
    if (t > 0.0 && t < 2.0 - 0.234) {
      EXPECT_EQ(Number(buffer, "samples"), 1280);
      EXPECT_EQ(Number(buffer, "markerKind"), 0);
    }
    // Well inside the first line's first note the shifted track is the reference pitch.
    if (t > 2.3 && t < 2.9) {
      for (int frame : IntArray(buffer, "frames")) {
        ++judged;
        inTune += std::abs(frame - 600) <= 10 ? 1 : 0;
      }
      EXPECT_EQ(Number(buffer, "markerKind"), 3);  // hit
      EXPECT_EQ(Number(buffer, "lineIndex"), 0);
    }
  }
  EXPECT_GT(judged, 0);
  EXPECT_EQ(inTune, judged);

  // Each sung line closes; the last one from 1.2 s before its end.
  const std::vector<std::string> closes = Events(sung, "close");
  ASSERT_GE(closes.size(), 3u);
  EXPECT_EQ(Number(closes[0], "lineIndex"), 1);
  EXPECT_GT(Number(closes[0], "lastLineScore"), 90.0);
  EXPECT_EQ(Number(closes[0], "lineGrade"), 1);
  EXPECT_EQ(Number(closes.back(), "lineIndex"), 3);

  const ToolRun quiet = RunJudge("judge --trace --song " + temp.Path("song") + " --voice " + silence + woman);
  ASSERT_EQ(quiet.exitCode, 0) << quiet.errors;
  ASSERT_EQ(Events(quiet, "end").size(), 1u);
  EXPECT_EQ(Number(Events(quiet, "end")[0], "finalScore"), 0.0);
  for (const std::string& buffer : Events(quiet, "buffer")) EXPECT_EQ(Number(buffer, "lineScore"), 0.0);
  for (const std::string& close : Events(quiet, "close")) {
    if (Number(close, "lineIndex") < 2) {
      EXPECT_EQ(Number(close, "lineGrade"), 5);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Packages, OfflineJudge,
                         ::testing::Values(Case{PackageForm::kOld, false}, Case{PackageForm::kNew, false},
                                           Case{PackageForm::kNew, true}),
                         [](const auto& info) {
                           return std::string(info.param.form == PackageForm::kOld ? "OldForm" : "NewForm") +
                                  (info.param.woman ? "Woman" : "Man");
                         });

TEST(OfflineJudgeTable, ShowsEachLineWithItsLyricAndTheFinalScore) {
  TempFolder temp;
  const SongPackageSpec spec = Melody(PackageForm::kNew);
  std::string message;
  ASSERT_TRUE(content::WriteSongPackage(temp.Path("song"), spec, message)) << message;
  const std::string voice = WriteTake(temp, "voice.wav", SungTake(spec, -120, 14.0f));
  const ToolRun run = RunJudge("judge --song " + temp.Path("song") + " --voice " + voice);
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  std::string all;
  for (const std::string& line : run.lines) all += line + "\n";
  EXPECT_NE(all.find("测试之歌"), std::string::npos) << all;
  EXPECT_NE(all.find("我"), std::string::npos) << all;
  EXPECT_NE(all.find("2.00-4.14"), std::string::npos) << all;
  EXPECT_EQ(run.lines.back().rfind("final score: ", 0), 0u) << all;
  EXPECT_GT(std::stod(run.lines.back().substr(13)), 90.0);
}

SongPackageSpec KtvSong() {
  SongPackageSpec spec;
  spec.ktv = true;
  spec.ktvReferenceRatio = 0.5f;
  spec.cues = {{3.0f, "a"}, {6.0f, "b"}, {9.0f, "c"}};
  spec.cueEndTime = 12.0f;
  return spec;
}

// A take of `level` from 2.5 s on, over a floor of `floor` before (the calibration's 1.875 s).
std::vector<int16_t> KtvTake(double floor, double level) {
  std::vector<int16_t> samples(14 * kRate, 0);
  for (size_t n = 0; n < samples.size(); ++n) {
    const double t = static_cast<double>(n) / kRate;
    const double amplitude = t < 1.875 ? floor : (t >= 2.5 ? level : 0.0);
    samples[n] = static_cast<int16_t>(amplitude * std::sin(2 * M_PI * 220.0 * t));
  }
  return samples;
}

TEST(OfflineJudgeKtv, CountsLoudBlocksAgainstTheCalibratedFloor) {
  TempFolder temp;
  std::string message;
  ASSERT_TRUE(content::WriteSongPackage(temp.Path("ktv"), KtvSong(), message)) << message;
  const std::string song = " --ktv --trace --song " + temp.Path("ktv") + " --voice ";

  // Silent calibration: the threshold is 0 and every sung block is loud.
  const ToolRun sung = RunJudge("judge" + song + WriteTake(temp, "sung.wav", KtvTake(0, 6000)));
  ASSERT_EQ(sung.exitCode, 0) << sung.errors;
  ASSERT_EQ(sung.lines.size(), 1u);
  const std::string& ktv = sung.lines[0];
  EXPECT_EQ(Field(ktv, "event"), "\"ktv\"");
  EXPECT_EQ(Number(ktv, "noiseThreshold"), 0.0);
  const double loud = Number(ktv, "loudBlocks");
  const double total = Number(ktv, "totalBlocks");
  // Counted while cue 1 shows (3.0 .. 5.5 s) and from cue 2 to the end (6.0 .. 12.0 s): 8.5 s of
  // 0.16 s buffers of 16 blocks, plus the 1 the counters start with.
  EXPECT_NEAR(total, 1 + 16 * 8.5 / 0.16, 40);
  EXPECT_EQ(loud, total - 1);
  EXPECT_NEAR(Number(ktv, "ratio"), loud / total / 0.5 * 100, 1e-4);

  // A floor measured at 1000 hides a voice at 500.
  const ToolRun soft = RunJudge("judge" + song + WriteTake(temp, "soft.wav", KtvTake(1000, 500)));
  ASSERT_EQ(soft.exitCode, 0) << soft.errors;
  EXPECT_GT(Number(soft.lines[0], "noiseThreshold"), 5.0);
  EXPECT_EQ(Number(soft.lines[0], "loudBlocks"), 0);

  const ToolRun table =
      RunJudge("judge --ktv --song " + temp.Path("ktv") + " --voice " + temp.Path("soft.wav"));
  ASSERT_EQ(table.exitCode, 0) << table.errors;
  EXPECT_EQ(table.lines.back(), "final score: 0.0");
}

TEST(OfflineJudgeInput, BadInputFailsWithOneLine) {
  TempFolder temp;
  std::string message;
  ASSERT_TRUE(content::WriteSongPackage(temp.Path("song"), Melody(PackageForm::kOld), message)) << message;
  const std::string stereo = WriteTake(temp, "fast.wav", std::vector<int16_t>(4410, 0), 44100);
  for (const std::string& arguments :
       {std::string("judge --song ") + temp.Path("song"),
        "judge --song " + temp.Path("song") + " --voice " + temp.Path("missing.wav"),
        "judge --song " + temp.Path("song") + " --voice " + stereo,
        "judge --song " + temp.Path("nothing") + " --voice " + stereo,
        "judge --song " + temp.Path("song") + " --voice " + stereo + " --loud"}) {
    const ToolRun run = RunJudge(arguments);
    EXPECT_NE(run.exitCode, 0) << arguments;
    EXPECT_TRUE(run.lines.empty()) << arguments;
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
  }
}

}  // namespace
}  // namespace sonavera::judge
