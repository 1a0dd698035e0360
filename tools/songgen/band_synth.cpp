#include "songgen/band_synth.h"

#include <cmath>
#include <algorithm>
#include <cstdint>

namespace sonavera::songgen {
namespace {

constexpr double kTwoPi = 6.283185307179586;

double MidiHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

// Small deterministic noise source for the drums.
struct Noise {
  uint32_t state = 0x12345678u;
  float Next() {
    state = state * 1664525u + 1013904223u;
    return static_cast<float>(state >> 8) / 8388608.0f - 1.0f;
  }
};

size_t At(double seconds) { return static_cast<size_t>(std::max(0.0, seconds) * kSampleRate); }

void Kick(StereoBuffer& out, double t, float level) {
  const size_t start = At(t), n = At(0.35);
  double phase = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const double s = static_cast<double>(i) / kSampleRate;
    const double hz = 50.0 + 110.0 * std::exp(-s * 30.0);
    phase += kTwoPi * hz / kSampleRate;
    out.Add(start + i, static_cast<float>(std::sin(phase) * std::exp(-s * 9.0)) * level);
  }
}

void Snare(StereoBuffer& out, double t, float level, Noise& noise) {
  const size_t start = At(t), n = At(0.22);
  float low = 0.0f;
  for (size_t i = 0; i < n; ++i) {
    const double s = static_cast<double>(i) / kSampleRate;
    const float white = noise.Next();
    low += 0.35f * (white - low);  // a touch of body under the rattle
    const double tone = std::sin(kTwoPi * 185.0 * s) * std::exp(-s * 25.0);
    const float v = static_cast<float>((0.6 * (white - low) + 0.5 * tone) * std::exp(-s * 18.0));
    out.Add(start + i, v * level, 0.1f);
  }
}

void HiHat(StereoBuffer& out, double t, float level, Noise& noise) {
  const size_t start = At(t), n = At(0.06);
  float previous = 0.0f;
  for (size_t i = 0; i < n; ++i) {
    const double s = static_cast<double>(i) / kSampleRate;
    const float white = noise.Next();
    const float high = white - previous;  // first difference: only the hiss
    previous = white;
    out.Add(start + i, high * static_cast<float>(std::exp(-s * 70.0)) * level, 0.35f);
  }
}

// A sine that advances by rotation and fades by a constant factor: no transcendental per sample.
struct DecayingSine {
  double re, im, stepRe, stepIm, gain, decay;
  DecayingSine(double hz, double amplitude, double perSecond)
      : re(0.0), im(0.0), stepRe(std::cos(kTwoPi * hz / kSampleRate)), stepIm(std::sin(kTwoPi * hz / kSampleRate)),
        gain(amplitude), decay(std::exp(-perSecond / kSampleRate)) {
    re = 1.0;
  }
  double Next() {
    const double v = im * gain;
    const double r = re * stepRe - im * stepIm;
    im = re * stepIm + im * stepRe;
    re = r;
    gain *= decay;
    return v;
  }
};

void Bass(StereoBuffer& out, double t, double length, int midi, float level) {
  const size_t start = At(t), n = At(length);
  const double hz = MidiHz(midi);
  DecayingSine h1(hz, 1.0, 2.5), h2(2 * hz, 0.35, 2.5), h3(3 * hz, 0.1, 2.5);
  for (size_t i = 0; i < n; ++i) {
    const double s = static_cast<double>(i) / kSampleRate;
    const double env = std::min(1.0, s * 200.0) * std::min(1.0, (length - s) * 30.0);
    out.Add(start + i, static_cast<float>((h1.Next() + h2.Next() + h3.Next()) * env) * level);
  }
}

// A plucked, piano-like chord tone: a few harmonics that die away, the upper ones faster.
void Pluck(StereoBuffer& out, double t, double length, int midi, float level, float pan) {
  const size_t start = At(t), n = At(length);
  const double hz = MidiHz(midi);
  DecayingSine h1(hz, 1.0, 3.0), h2(2 * hz, 0.5, 6.0), h3(3 * hz, 0.25, 9.0);
  for (size_t i = 0; i < n; ++i) {
    const double s = static_cast<double>(i) / kSampleRate;
    const double env = std::min(1.0, s * 400.0) * std::min(1.0, (length - s) * 20.0);
    out.Add(start + i, static_cast<float>((h1.Next() + h2.Next() + h3.Next()) * env) * level, pan);
  }
}

// A soft sustained pad tone: two slightly detuned triangles with a slow swell.
void Pad(StereoBuffer& out, double t, double length, int midi, float level, float pan) {
  const size_t start = At(t), n = At(length);
  const double hz = MidiHz(midi);
  for (size_t i = 0; i < n; ++i) {
    const double s = static_cast<double>(i) / kSampleRate;
    const double env = std::min(1.0, s * 4.0) * std::min(1.0, (length - s) * 6.0);
    const double p1 = std::fmod(hz * 1.003 * s, 1.0), p2 = std::fmod(hz * 0.997 * s, 1.0);
    const double v = (4.0 * std::fabs(p1 - 0.5) - 1.0) + (4.0 * std::fabs(p2 - 0.5) - 1.0);
    out.Add(start + i, static_cast<float>(v * env * 0.5) * level, pan);
  }
}

std::vector<int> ChordTones(const Chord& chord) {
  // Voiced around middle C so the chords sit under the melody.
  const int root = 55 + ((chord.root - 7 + 12) % 12);
  std::vector<int> tones = {root, root + (chord.minor ? 3 : 4), root + 7};
  if (chord.seventh) tones.push_back(root + 10);
  return tones;
}

}  // namespace

StereoBuffer RenderAccompaniment(const Score& score) {
  const double beat = 60.0 / score.tempo;
  const double totalBeats = TotalBeats(score);
  StereoBuffer out(At(totalBeats * beat + 1.0));
  Noise noise;
  const int bar = score.beatsPerBar;
  const int chordBeats = score.chordBeats > 0 ? score.chordBeats : bar;
  const int beats = static_cast<int>(std::ceil(totalBeats));
  const bool waltz = score.style == "waltz";
  const bool march = score.style == "march";
  const bool ballad = score.style == "ballad";
  const int lastBarStart = (beats - 1) / bar * bar;
  for (int g = 0; g < beats; ++g) {
    const int i = g % bar;
    const double t = g * beat;
    const Chord& chord = score.chords[static_cast<size_t>(g / chordBeats) % score.chords.size()];
    const std::vector<int> tones = ChordTones(chord);
    const bool chordStart = g % chordBeats == 0;
    const bool lastBar = g >= lastBarStart;
    if (lastBar && g > lastBarStart) continue;  // the song ends on one held chord
    const int bassRoot = 40 + ((chord.root + 8) % 12);  // E2..D#3, under the chords
    // Bass: the root on the first beat and halfway through the bar (not in a waltz), or on a change.
    if (i == 0 || chordStart || (!waltz && i == bar / 2))
      Bass(out, t, beat * (waltz && i == 0 ? 2.8 : 1.9), bassRoot + (march && i == bar / 2 ? 7 : 0), 0.34f);
    if (ballad && (chordStart || i == 0)) {
      for (size_t k = 0; k < tones.size(); ++k)
        Pad(out, t, (lastBar ? bar : chordBeats - g % chordBeats) * beat, tones[k], 0.07f, k % 2 ? 0.4f : -0.4f);
    }
    const bool strum = waltz ? (i % 3 != 0) : (ballad ? (i == 0 || i == bar / 2 || chordStart) : true);
    if (strum || lastBar) {
      for (size_t k = 0; k < tones.size(); ++k)
        Pluck(out, t + 0.008 * static_cast<double>(k), beat * (lastBar ? bar : ballad ? 1.9 : 0.9), tones[k],
              ballad ? 0.11f : 0.09f, k % 2 ? 0.3f : -0.3f);
    }
    // Drums.
    const bool strong = i == 0 || (!waltz && i == bar / 2);
    if (strong) Kick(out, t, 0.55f);
    if (lastBar) continue;
    if (!waltz && !ballad && (i % 2 == 1)) Snare(out, t, 0.22f, noise);
    if (ballad && i == bar - 1) Snare(out, t, 0.12f, noise);
    if (waltz && i % 3 != 0) HiHat(out, t, 0.12f, noise);
    if (!waltz) {
      HiHat(out, t, 0.10f, noise);
      if (!ballad) HiHat(out, t + beat / 2, 0.07f, noise);
    }
  }
  return out;
}

}  // namespace sonavera::songgen
