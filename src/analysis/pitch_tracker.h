#pragma once

#include <cstdint>

namespace sonavera::analysis {

/// Pitch track of one block of 16-bit mono samples: resampled to 11025 Hz, framed (frameLength and hop
/// are sample counts at 11025 Hz), one AMDF estimate per frame, range gate and integer smoothing.
/// Writes one value per frame into `out` in tenths of a semitone on the MIDI scale (690 = 440 Hz),
/// 0 = no pitch; returns the frame count (11 for 1280 samples at 8000 Hz with 256 / 128).
/// A sampleRate of exactly 11025 or an empty block returns 0 and leaves `out` untouched.
/// Pure computation; safe to call from any thread on separate buffers.
int PitchTrack(const int16_t* samples, int count, int sampleRate, int frameLength, int hop, int* out);

/// Cuts an 11025 Hz block into (count - frameLength) / hop frames and writes each frame's semitone
/// value (0.0 = no pitch) into `out`; returns the frame count (0 when not positive).
int FramePitches(const int16_t* samples, int count, int sampleRate, int frameLength, int hop, float* out);

/// Fundamental frequency of one frame in Hz by the average magnitude difference function, with the
/// second-dip harmonic test; 0.0 when the frame has no acceptable pitch.
float AmdfFrequency(const int16_t* frame, int length, int sampleRate);

/// MIDI-scale semitone value of a frequency (69.0 = 440 Hz); 0.0 for hz <= 0.
float FrequencyToSemitone(float hz);

/// Sets every nonzero value below `low` or above `high` to 0.0 (the bounds themselves stay).
void GateSemitoneRange(float* values, int count, float low, float high);

}  // namespace sonavera::analysis
