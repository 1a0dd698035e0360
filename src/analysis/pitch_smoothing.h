#pragma once

namespace sonavera::analysis {

// The integer smoothing the pitch tracker runs over each block's track (tenths of a semitone, 0 = no
// pitch). Every pass works left to right in place, so a pass sees the values it has already changed.

/// Flattens steps of under one semitone: values[k + 1] = values[k] when they differ by less than 10.
void HoldSmallSteps(int* values, int count);

/// Over each window a, b, c: replaces a spike of more than 50 on both sides by the mean of its
/// neighbours, removes an isolated voiced value, fills a one-value gap with the mean of its neighbours,
/// and otherwise sets a to 0 (which clears the voiced value two places before each unvoiced one).
void ThreePointPass(int* values, int count);

/// Clears the first value when it jumps more than 50 from the second, and the last value when it
/// differs at all from the one before. Needs two values; fewer are left alone.
void ClearTrackEnds(int* values, int count);

/// The three passes above in order: what PitchTrack applies after the range gate and scale.
void SmoothPitchTrack(int* values, int count);

}  // namespace sonavera::analysis
