#pragma once

#include <array>
#include <string>

#include "content/song_tables.h"
#include "stage/share_config.h"

namespace sonavera::stage {

/// What the results screen says about a performance.
struct ResultsFacts {
  bool singOn = true;
  bool danceOn = false;
  bool ktvMode = false;
  float finalScore = 0.0f;
  float danceScore = 0.0f;
  float overallScore = 0.0f;
  float kcal = 0.0f;
  int bestLine = -1;
  float bestLineScore = 0.0f;
  int worstLine = -1;
  float worstLineScore = 100.0f;
  int bestAllRoundLine = -1;
  int breathLine = -1;
  int bestGoodLineStreak = 0;
  int bestDanceCombo = 0;
  std::string songTitle;  // UTF-8
  const content::SongTables* song = nullptr;
};

/// The three digits of a score in tenths: 87.64 gives 8, 7, 6 (drawn "87.6"). `hundred` is set for a
/// score of 100 (value 1000), which is drawn "100" without a point.
struct ScoreDigits {
  std::array<int, 3> digits{};
  bool hundred = false;
};
ScoreDigits DigitsOf(float score);

/// The lyric of a line: its notes' syllables joined (GBK bytes, blanks kept).
std::string LineLyric(const content::SongTables& song, int line);
/// The lyric as the report shows it: double blanks become one blank, single blanks go (GBK bytes).
std::string ReportLyric(const content::SongTables& song, int line);

/// The summary under the scores (UTF-8; lines end with '\n').
std::string SummaryText(const ResultsFacts& facts);
/// The evaluation report's HTML (UTF-8); empty when there is nothing to report.
std::string ReportHtml(const ResultsFacts& facts);
/// The text the share links carry.
std::string ShareTitle(const ResultsFacts& facts);
/// The share addresses of the two microblog services.
std::string WeiboShareUrl(const ShareConfig& config, const ResultsFacts& facts);
std::string TencentShareUrl(const ShareConfig& config, const ResultsFacts& facts);

/// Appends `text` to programFolder + "test.txt" (created when missing, never truncated). False when
/// the file cannot be written.
bool AppendTestLine(const std::string& programFolder, const std::string& text);

}  // namespace sonavera::stage
