#include "songgen/song_builder.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "content/package_writer.h"
#include "platform/text_encoding.h"
#include "songgen/band_synth.h"
#include "songgen/ktv_cues.h"
#include "songgen/lead_voice.h"
#include "songgen/mp3_encoder.h"
#include "songgen/song_pictures.h"

namespace sonavera::songgen {
namespace {

namespace fs = std::filesystem;

bool MakeFolder(const fs::path& folder, std::string& error) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    error = "cannot create " + folder.string() + ": " + ec.message();
    return false;
  }
  return true;
}

bool ToGbk(const std::string& utf8, const std::string& what, std::string& gbk, std::string& error) {
  const auto converted = platform::Utf8ToGbk(utf8);
  if (!converted) {
    error = what + " '" + utf8 + "' holds a character GBK cannot hold";
    return false;
  }
  gbk = *converted;
  return true;
}

// The score's own dance chart; a single song without one gets single arrows every second beat while
// it is sung, so the dance lane can be switched on for every song of the list.
std::vector<ScoreDanceStep> PlainDanceChart(const Score& score) {
  if (!score.dance.empty() || score.shelf != SongShelf::kSingle || score.ktv) return score.dance;
  static const int kTurns[4] = {1000, 100, 10, 1};
  std::vector<ScoreDanceStep> steps;
  const double end = TotalBeats(score) - score.outroBeats;
  int k = 0;
  for (double beat = score.introBeats; beat < end; beat += 2.0) steps.push_back(ScoreDanceStep{beat, kTurns[k++ % 4]});
  return steps;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  bytes = s.str();
  return !in.bad();
}

bool WriteSongPictures(const std::string& songFolder, const std::string& seed, std::string& error) {
  const fs::path folder(songFolder);
  if (!MakeFolder(folder / "Images", error)) return false;
  return WriteHeadPicture((folder / "head.bmp").string(), seed, error) &&
         WriteBackgroundPicture((folder / "Images" / "bgpic.png").string(), seed, error);
}

bool BuildScoreSong(const Score& score, const std::string& songFolder, BuildReport& report, std::string& error) {
  ReferenceTables tables;
  if (!BuildReference(ScoreToTimedSong(score), tables, error)) return false;
  report.warnings.insert(report.warnings.end(), tables.warnings.begin(), tables.warnings.end());

  content::SongPackageSpec spec;
  spec.form = score.newForm ? content::PackageForm::kNew : content::PackageForm::kOld;
  if (!ToGbk(score.title, "the title", spec.title, error)) return false;
  for (size_t i = 0; i < tables.lineStart.size(); ++i)
    spec.lines.push_back(content::PackageLine{tables.lineStart[i], tables.lineEnd[i], tables.lineFrames[i]});
  spec.closingStart = tables.lineEnd.back() + 0.5f;
  spec.closingEnd = spec.closingStart;
  spec.lyric = tables.lyric;
  for (const auto& step : PlainDanceChart(score)) {
    spec.danceTimes.push_back(static_cast<float>(BeatSeconds(score, step.beat)));
    spec.danceCodes.push_back(step.code);
  }
  if (score.ktv) {
    const KtvCueSheet cues = MakeKtvCues(tables);
    spec.ktv = true;
    spec.ktvReferenceRatio = KtvReferenceRatio(tables, cues);
    spec.cueEndTime = cues.endTime;
    for (size_t i = 0; i < cues.times.size(); ++i) {
      content::LyricCue cue;
      cue.time = cues.times[i];
      if (!ToGbk(cues.texts[i], "the lyric line", cue.text, error)) return false;
      spec.cues.push_back(cue);
    }
  }

  const bool single = score.shelf == SongShelf::kSingle;
  const fs::path folder(songFolder);
  const fs::path data = single ? folder / kDataFolderName : folder;
  if (!MakeFolder(data, error)) return false;
  if (!content::WriteSongPackage(data.string(), spec, error)) return false;
  if (single && !WriteSongPictures(songFolder, score.name, error)) return false;

  StereoBuffer music = RenderAccompaniment(score);
  if (!EncodeMp3(music, (data / "music.mp3").string(), error)) return false;
  const std::vector<float> voice = RenderGuideVoice(tables, score.vowels, music.Frames());
  for (size_t i = 0; i < voice.size(); ++i) music.Add(i, voice[i] * 1.2f);  // centred, over the band
  return EncodeMp3(music, (data / "music1.mp3").string(), error);
}

bool BuildScoreFile(const std::string& scorePath, const std::string& songFolder, Score& score, BuildReport& report,
                    std::string& error) {
  std::string text;
  if (!ReadWholeFile(scorePath, text)) {
    error = "cannot read " + scorePath;
    return false;
  }
  if (!platform::IsValidUtf8(text)) {
    error = scorePath + " is not UTF-8 text";
    return false;
  }
  if (!ParseScore(text, score, error)) {
    error = scorePath + ": " + error;
    return false;
  }
  return BuildScoreSong(score, songFolder, report, error);
}

}  // namespace sonavera::songgen
