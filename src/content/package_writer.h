#pragma once

#include <string>
#include <vector>

#include "content/song_tables.h"

namespace sonavera::content {

/// The two forms of a scored song package: plain decimal text, or every line of "sh" and the pitch
/// files scrambled.
enum class PackageForm { kOld, kNew };

/// One sung line of a package to write.
struct PackageLine {
  float start = 0.0f;       // seconds
  float end = 0.0f;         // seconds
  std::vector<int> frames;  // reference frames, tenths of a semitone, 0 = rest; one per 16 ms tick
};

/// Everything a song package holds apart from its music.
struct SongPackageSpec {
  PackageForm form = PackageForm::kNew;
  std::string title;               // GBK; the new form keeps it in "sh"
  std::vector<PackageLine> lines;  // the sung lines (the closing entry is added)
  float closingStart = -1.0f;      // closing entry; negative: the last sung line's end
  float closingEnd = -1.0f;        // as written to "sp", before the loader's 2.5 s
  std::string lyric;               // "Lyric" as it is written (GBK)

  std::vector<float> danceTimes;  // "dance.txt" is written when there are steps
  std::vector<int> danceCodes;

  bool ktv = false;  // KTV package: "sh" with the ratio and "ktv.lrc" instead of the above
  float ktvReferenceRatio = 0.0f;
  std::vector<LyricCue> cues;  // text in GBK
  float cueEndTime = 0.0f;     // the closing tag of "ktv.lrc"
};

/// Writes the package files into `folder` (created when missing): a scored package gets "sh", "st",
/// "sp", "1".."n" and "Lyric"; a KTV package "sh" and "ktv.lrc"; either gets "dance.txt" when it has
/// steps. New-form frame values below 100 are read back as whole semitones (times 10). False with a
/// message when a file cannot be written.
bool WriteSongPackage(const std::string& folder, const SongPackageSpec& spec, std::string& message);

/// A cue tag's text "mm:ss.xx" for `seconds`, rounded to hundredths.
std::string FormatCueTag(float seconds);

}  // namespace sonavera::content
