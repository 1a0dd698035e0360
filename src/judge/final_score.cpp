#include "judge/final_score.h"

#include <ctime>
#include <random>

namespace sonavera::judge {

float SingleSongFinalScore(float songScoreSum, int lineCount) {
  const int countedLines = lineCount - 2;
  if (countedLines <= 0) return 0.0f;  // one sung line leaves nothing to average
  const float score = songScoreSum / countedLines;
  return score >= 100.0f ? kTopScore : score;
}

float MedleyScore(float songScoreSum, int medleyLineTotal) {
  if (medleyLineTotal <= 0) return 0.0f;
  return songScoreSum / medleyLineTotal;
}

double KtvLoudnessRatio(int loudBlocks, int totalBlocks, float ktvReferenceRatio) {
  if (totalBlocks <= 0 || !(ktvReferenceRatio > 0.0f)) return 0.0;
  return static_cast<double>(loudBlocks) / totalBlocks / ktvReferenceRatio * 100;
}

float KtvFinalScore(int loudBlocks, int totalBlocks, float ktvReferenceRatio, const RandomDraw& draw) {
  const double score = KtvLoudnessRatio(loudBlocks, totalBlocks, ktvReferenceRatio);
  if (score < 80.0) return 0.0f;
  if (score > 95.0) {
    const int a = draw() & 0x7FFF;
    const int b = draw() & 0x7FFF;
    return static_cast<float>(((a * b) % 60000 + 900000) / 10000.0);
  }
  return static_cast<float>(score);
}

float KtvFinalScore(int loudBlocks, int totalBlocks, float ktvReferenceRatio) {
  std::minstd_rand generator(static_cast<unsigned>(std::time(nullptr)));
  std::uniform_int_distribution<int> values(0, 32767);
  return KtvFinalScore(loudBlocks, totalBlocks, ktvReferenceRatio, [&] { return values(generator); });
}

}  // namespace sonavera::judge
