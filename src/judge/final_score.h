#pragma once

#include <functional>

namespace sonavera::judge {

/// The highest score shown: a perfect song reads 99.9.
inline constexpr float kTopScore = 99.9f;

/// A draw from a pseudo-random source with values 0 .. 32767.
using RandomDraw = std::function<int()>;

/// Single song: the sum of the closed lines' scores over lineCount - 2 lines (the last sung line is
/// graded but adds nothing); 100 or more reads 99.9. A song with fewer than two sung lines scores 0.
float SingleSongFinalScore(float songScoreSum, int lineCount);

/// Medley: the sum of all closed lines' scores over the sung lines of the four songs (0 without lines).
float MedleyScore(float songScoreSum, int medleyLineTotal);

/// KTV song: the loud fraction against the reference fraction, in percent. Under 80 scores 0; above 95
/// a value drawn from 90.0 .. 95.9999 with two draws of `draw`. A take without blocks or a song
/// without a positive reference fraction scores 0.
float KtvFinalScore(int loudBlocks, int totalBlocks, float ktvReferenceRatio, const RandomDraw& draw);

/// The same with a generator seeded from the current time.
float KtvFinalScore(int loudBlocks, int totalBlocks, float ktvReferenceRatio);

/// The loud fraction against the reference fraction, percent, before the rules above.
double KtvLoudnessRatio(int loudBlocks, int totalBlocks, float ktvReferenceRatio);

}  // namespace sonavera::judge
