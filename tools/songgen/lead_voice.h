#pragma once

#include <string>
#include <vector>

#include "songgen/reference_builder.h"

namespace sonavera::songgen {

/// Renders a vowel-like guide voice that sings the reference frames of `tables` (with glides,
/// vibrato and formants), `frames` samples at kSampleRate, mono. Each sung note takes the next
/// vowel of `vowels` (letters of "aeiou").
std::vector<float> RenderGuideVoice(const ReferenceTables& tables, const std::string& vowels, size_t frames);

}  // namespace sonavera::songgen
