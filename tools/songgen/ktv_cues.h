#pragma once

#include <string>
#include <vector>

#include "songgen/reference_builder.h"

namespace sonavera::songgen {

/// The lyric cues of a KTV song: one per sung line at its start, and the closing time.
struct KtvCueSheet {
  std::vector<float> times;         // seconds
  std::vector<std::string> texts;   // UTF-8
  float endTime = 0.0f;             // one second after the last line
};

KtvCueSheet MakeKtvCues(const ReferenceTables& tables);

/// The fraction of loud blocks a performance that sounds exactly on the reference's voiced frames
/// reaches, counted the way the KTV judge counts them: 80-sample blocks of 8 kHz capture buffers
/// that arrive every ten 16 ms ticks after a 15000-sample calibration buffer, loud while the cue
/// window (2.5 s after a cue, or up to the closing time for the last one) is open. The judge
/// divides a singer's fraction by this one.
float KtvReferenceRatio(const ReferenceTables& tables, const KtvCueSheet& cues);

}  // namespace sonavera::songgen
