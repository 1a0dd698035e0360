// sonavera-tool sing --song FOLDER --out WAV [--woman] [--delay SECONDS]: renders a sung take of a
// song as the microphone would deliver it (8000 Hz mono 16-bit): a voice that follows the song's
// reference frames on the song's own clock, an octave lower for a man. Scripted runs of the program
// feed it through --mic-file; "sonavera-tool judge" scores it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "command.h"
#include "content/song_package.h"
#include "platform/program_folder.h"
#include "platform/wav_file.h"

namespace sonavera::tool {
namespace {

constexpr int kRate = 8000;              // what the judge's capture delivers
constexpr double kFrameSeconds = 0.016;  // one reference frame per stage tick
constexpr double kTail = 1.0;            // silence after the last line, so the song can close
constexpr double kMaxDelay = 10.0;
constexpr float kLongestSong = 3600.0f;
constexpr double kPeak = 12000.0;  // well below full scale, like a microphone at arm's length
constexpr double kVibratoHz = 5.5;
constexpr double kVibratoTenths = 1.5;   // a light vibrato: well inside the judge's tolerance
constexpr double kGlideSeconds = 0.012;  // how fast the voice slides to a new note
constexpr double kAttackSeconds = 0.02;
constexpr double kReleaseSeconds = 0.03;
constexpr double kFormantHz = 700.0;  // an open "a" vowel
constexpr double kFormantWidthHz = 300.0;

struct Options {
  std::string songFolder;
  std::string outPath;
  bool woman = false;
  double delay = 0.0;
};

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--song" || arg == "--out" || arg == "--delay") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = "sing: " + arg + " needs a value";
        return false;
      }
      const std::string& value = args[++i];
      if (arg == "--song") {
        options.songFolder = value;
      } else if (arg == "--out") {
        options.outPath = value;
      } else {
        size_t used = 0;
        try {
          options.delay = std::stod(value, &used);
        } catch (const std::exception&) {
          used = 0;
        }
        if (used != value.size() || !(options.delay >= 0.0 && options.delay <= kMaxDelay)) {
          error = "sing: --delay takes seconds from 0 to 10, not '" + value + "'";
          return false;
        }
      }
    } else if (arg == "--woman") {
      options.woman = true;
    } else {
      error = "sing: unknown argument '" + arg + "'";
      return false;
    }
  }
  if (options.songFolder.empty() || options.outPath.empty()) {
    error = "sing: usage: sing --song FOLDER --out WAV [--woman] [--delay SECONDS]";
    return false;
  }
  return true;
}

// The reference pitch (tenths, 0 = rest) due at `seconds` of the song.
class ReferenceCursor {
 public:
  explicit ReferenceCursor(const content::SongTables& song)
      : song_(song), sung_(std::min<int>(song.lineCount - 1, static_cast<int>(song.lineStart.size()))) {}

  // Times must not go backwards between calls.
  int PitchAt(double seconds) {
    while (line_ < sung_ && seconds >= song_.lineStart[line_] + FrameCount() * kFrameSeconds) Advance();
    if (line_ >= sung_ || seconds < song_.lineStart[line_]) return 0;
    const auto frame = static_cast<int>((seconds - song_.lineStart[line_]) / kFrameSeconds);
    return frame < FrameCount() ? song_.lineRefs[record_ + 1 + static_cast<size_t>(frame)] : 0;
  }

 private:
  // A record that would reach past the table counts as empty: the voice stays silent there.
  int FrameCount() const {
    if (record_ >= song_.lineRefs.size()) return 0;
    const int count = song_.lineRefs[record_];
    return count > 0 && static_cast<size_t>(count) < song_.lineRefs.size() - record_ ? count : 0;
  }
  void Advance() {
    record_ += static_cast<size_t>(FrameCount()) + 1;
    ++line_;
  }

  const content::SongTables& song_;
  const int sung_;  // lines with a reference track
  int line_ = 0;
  size_t record_ = 0;  // index of the current line's frame count in lineRefs
};

// A vowel-like voice: harmonics under one formant, with glides between notes, a light vibrato and
// soft onsets, so the pitch tracker hears something close to a person rather than a pure tone.
std::vector<int16_t> RenderTake(const content::SongTables& song, int offsetTenths, double delay) {
  const double end = song.lineEnd.back() + kTail + delay;
  std::vector<int16_t> samples(static_cast<size_t>(end * kRate), 0);
  ReferenceCursor cursor(song);
  const double glide = 1.0 - std::exp(-1.0 / (kGlideSeconds * kRate));
  const double attack = 1.0 / (kAttackSeconds * kRate);
  const double release = 1.0 / (kReleaseSeconds * kRate);
  double tenths = 0.0;  // the voice's current pitch
  double level = 0.0;   // 0..1 envelope
  double phase = 0.0;   // of the fundamental, in cycles
  for (size_t s = 0; s < samples.size(); ++s) {
    const double songTime = static_cast<double>(s) / kRate - delay;
    const int reference = songTime >= 0.0 ? cursor.PitchAt(songTime) : 0;
    if (reference > 0) {
      const double target = reference + offsetTenths;
      tenths = level == 0.0 ? target : tenths + (target - tenths) * glide;
      level = std::min(1.0, level + attack);
    } else {
      level = std::max(0.0, level - release);
    }
    if (level == 0.0) continue;
    const double vibrato = kVibratoTenths * std::sin(2.0 * M_PI * kVibratoHz * songTime);
    const double hz = 440.0 * std::pow(2.0, ((tenths + vibrato) / 10.0 - 69.0) / 12.0);
    phase += hz / kRate;
    phase -= std::floor(phase);
    double value = 0.0;
    double weightSum = 0.0;
    for (int k = 1; k * hz < 0.45 * kRate; ++k) {
      const double distance = (k * hz - kFormantHz) / kFormantWidthHz;
      const double weight = (1.0 + 2.0 * std::exp(-distance * distance)) / k;
      value += weight * std::sin(2.0 * M_PI * k * phase);
      weightSum += weight;
    }
    samples[s] = static_cast<int16_t>(std::lround(kPeak * level * value / weightSum * 1.6));
  }
  return samples;
}

std::string FolderName(const std::string& folder) {
  std::filesystem::path path(folder);
  while (path.has_relative_path() && !path.has_filename()) path = path.parent_path();
  return path.filename().string();
}

int RunSing(const std::vector<std::string>& args) {
  Options options;
  std::string error;
  if (!ParseOptions(args, options, error)) return Fail(error);
  if (!std::filesystem::is_directory(options.songFolder))
    return Fail("sing: not a folder: " + options.songFolder);

  content::SongLoadOptions load;
  load.programFolder = platform::ProgramFolder();
  load.dataFolder = content::FindSongDataFolder(options.songFolder);
  load.fallbackTitle = FolderName(options.songFolder);
  content::SongTables song;
  std::string message;
  if (!content::LoadSongPackage(load, song, message)) return Fail("sing: " + message);
  if (song.lineCount < 2 || song.lineEnd.empty())
    return Fail("sing: the song has no sung lines to follow: " + options.songFolder);
  // A damaged timing table must not turn into an endless take.
  if (!(song.lineEnd.back() > 0.0f && song.lineEnd.back() < kLongestSong))
    return Fail("sing: the song's last line does not end within an hour: " + options.songFolder);

  // A man sings an octave below the written melody; the judge folds octaves.
  const std::vector<int16_t> take = RenderTake(song, options.woman ? 0 : -120, options.delay);
  if (!platform::WriteWavFile(options.outPath, take.data(), take.size(), 1, kRate, error))
    return Fail("sing: " + error);
  return 0;
}

}  // namespace
}  // namespace sonavera::tool

SONAVERA_TOOL_COMMAND(
    "sing", "sing --song FOLDER --out WAV [--woman] [--delay SECONDS]   render a sung take of a song",
    sonavera::tool::RunSing);
