#include "songgen/lead_voice.h"

#include <cmath>

#include "songgen/audio_buffer.h"

namespace sonavera::songgen {
namespace {

constexpr double kPi = 3.141592653589793;

struct Formants {
  double f[3];
};

Formants VowelFormants(char vowel) {
  switch (vowel) {
    case 'e': return {{450.0, 1900.0, 2700.0}};
    case 'i': return {{320.0, 2250.0, 3000.0}};
    case 'o': return {{480.0, 850.0, 2800.0}};
    case 'u': return {{340.0, 750.0, 2500.0}};
    default: return {{780.0, 1200.0, 2800.0}};
  }
}

// Band-pass biquad (0 dB at the centre), direct form I.
struct Resonator {
  double b0 = 0, b2 = 0, a1 = 0, a2 = 0;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  void Tune(double hz, double bandwidth) {
    const double w = 2.0 * kPi * hz / kSampleRate;
    const double alpha = std::sin(w) * std::sinh(std::log(2.0) / 2.0 * (bandwidth / hz) * w / std::sin(w));
    const double a0 = 1.0 + alpha;
    b0 = alpha / a0;
    b2 = -alpha / a0;
    a1 = -2.0 * std::cos(w) / a0;
    a2 = (1.0 - alpha) / a0;
  }
  double Process(double x) {
    const double y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
};

double PolyBlep(double phase, double step) {
  if (phase < step) {
    const double t = phase / step;
    return t + t - t * t - 1.0;
  }
  if (phase > 1.0 - step) {
    const double t = (phase - 1.0) / step;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

}  // namespace

std::vector<float> RenderGuideVoice(const ReferenceTables& tables, const std::string& vowels, size_t frames) {
  std::vector<float> out(frames, 0.0f);
  const std::string cycle = vowels.empty() ? std::string("a") : vowels;
  const double bandwidth[3] = {90.0, 110.0, 160.0};
  const double weight[3] = {1.0, 0.55, 0.25};
  Resonator resonators[3];
  Formants current = VowelFormants(cycle[0]);
  Formants target = current;
  for (int k = 0; k < 3; ++k) resonators[k].Tune(current.f[k], bandwidth[k]);

  size_t vowelIndex = 0;
  double midi = 60.0, phase = 0.0, envelope = 0.0, noteAge = 0.0, vibratoPhase = 0.0, tilt = 0.0;
  int lastPitch = 0;
  size_t line = 0;
  const double dt = 1.0 / kSampleRate;
  const double glide = 1.0 - std::exp(-dt / 0.025), attack = 1.0 - std::exp(-dt / 0.012),
               release = 1.0 - std::exp(-dt / 0.035), morph = 1.0 - std::exp(-dt / 0.04);
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) * dt;
    while (line < tables.lineEnd.size() && t >= tables.lineEnd[line]) ++line;
    int pitch = 0;
    if (line < tables.lineStart.size() && t >= tables.lineStart[line]) {
      const auto f = static_cast<size_t>((t - tables.lineStart[line]) / kFrameSeconds);
      if (f < tables.lineFrames[line].size()) pitch = tables.lineFrames[line][f];
    }
    if (pitch > 0 && lastPitch == 0) {
      // A new syllable: its own vowel, the vibrato starts again; a fresh note starts on pitch.
      target = VowelFormants(cycle[vowelIndex++ % cycle.size()]);
      noteAge = 0.0;
      if (envelope < 0.05) midi = pitch / 10.0;
    }
    if (pitch > 0 && pitch != lastPitch && lastPitch > 0) noteAge = 0.0;
    lastPitch = pitch;
    if (pitch > 0) midi += (pitch / 10.0 - midi) * glide;
    envelope += ((pitch > 0 ? 1.0 : 0.0) - envelope) * (pitch > 0 ? attack : release);
    noteAge += dt;
    if (envelope < 1e-4 && pitch == 0) continue;

    if (i % 32 == 0) {
      for (int k = 0; k < 3; ++k) {
        current.f[k] += (target.f[k] - current.f[k]) * (1.0 - std::pow(1.0 - morph, 32.0));
        resonators[k].Tune(current.f[k], bandwidth[k]);
      }
    }
    const double depth = 0.3 * std::min(1.0, std::max(0.0, (noteAge - 0.18) / 0.3));
    vibratoPhase += 2.0 * kPi * 5.5 * dt;
    const double hz = 440.0 * std::pow(2.0, (midi + depth * std::sin(vibratoPhase) - 69.0) / 12.0);
    const double step = hz * dt;
    phase += step;
    if (phase >= 1.0) phase -= 1.0;
    double source = 2.0 * phase - 1.0 - PolyBlep(phase, step);
    tilt += 0.3 * (source - tilt);  // soften the buzz of the raw sawtooth
    source = tilt;
    double voice = 0.0;
    for (int k = 0; k < 3; ++k) voice += weight[k] * resonators[k].Process(source);
    out[i] = static_cast<float>(voice * envelope * 1.6);
  }
  return out;
}

}  // namespace sonavera::songgen
