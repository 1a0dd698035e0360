#pragma once

#include "songgen/audio_buffer.h"
#include "songgen/score.h"

namespace sonavera::songgen {

/// Renders the accompaniment of a score: drums, bass and chords in the score's style, for the
/// score's whole length (intro, lines, outro). Deterministic: the same score gives the same samples.
StereoBuffer RenderAccompaniment(const Score& score);

}  // namespace sonavera::songgen
