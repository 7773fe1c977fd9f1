#include "game/data/Synth.h"

#include <algorithm>
#include <cmath>

#include "game/data/Random.h"

namespace gamedata {
namespace {

constexpr double kTwoPi = 6.283185307179586;

// The correction that rounds off a jump of a wave at phase 0 over one sample (step dt), so that square
// and saw waves do not alias into a harsh buzz.
double PolyBlep(double p, double dt) {
  if (p < dt) {
    p /= dt;
    return p + p - p * p - 1;
  }
  if (p > 1 - dt) {
    p = (p - 1) / dt;
    return p * p + p + p + 1;
  }
  return 0;
}

float Oscillator(Wave wave, double phase, double dt, Random& noise) {
  const double p = phase - std::floor(phase);
  switch (wave) {
    case Wave::kSine:
      return static_cast<float>(std::sin(kTwoPi * p));
    case Wave::kTriangle:
      return static_cast<float>(p < 0.5 ? 4 * p - 1 : 3 - 4 * p);
    case Wave::kSquare: {
      const double shifted = p + 0.5 - std::floor(p + 0.5);
      return static_cast<float>(((p < 0.5 ? 1.0 : -1.0) + PolyBlep(p, dt) - PolyBlep(shifted, dt)) * 0.8);
    }
    case Wave::kSaw:
      return static_cast<float>((2 * p - 1 - PolyBlep(p, dt)) * 0.8);
    case Wave::kNoise:
      return static_cast<float>(noise.Range(-1, 1));
  }
  return 0;
}

}  // namespace

void AddTone(std::vector<float>& buffer, const Tone& tone, bool wrap, unsigned noiseSeed) {
  if (buffer.empty()) return;
  Random noise(noiseSeed);
  const int first = static_cast<int>(std::lround(tone.start * kSampleRate));
  const int count = std::max(1, static_cast<int>(std::lround(tone.length * kSampleRate)));
  const int attack = std::max(1, static_cast<int>(tone.attack * kSampleRate));
  const int release = std::max(1, static_cast<int>(tone.release * kSampleRate));
  double phase = 0;
  float filtered = 0;
  const int size = static_cast<int>(buffer.size());
  for (int i = 0; i < count; ++i) {
    const float t = static_cast<float>(i) / kSampleRate, progress = static_cast<float>(i) / count;
    // Glide exponentially, as the ear hears pitch.
    double hz = tone.fromHz * std::pow(tone.toHz / tone.fromHz, progress);
    if (tone.vibratoDepth > 0) hz *= 1 + tone.vibratoDepth * std::sin(kTwoPi * tone.vibratoHz * t);
    phase += hz / kSampleRate;
    float sample = Oscillator(tone.wave, phase, hz / kSampleRate, noise);
    if (tone.cutoffFrom > 0) {
      const float cutoff = tone.cutoffFrom * std::pow(tone.cutoffTo / tone.cutoffFrom, progress);
      const float k = 1 - std::exp(static_cast<float>(-kTwoPi) * cutoff / kSampleRate);
      filtered += k * (sample - filtered);
      sample = filtered;
    }
    float envelope = std::min(1.0f, static_cast<float>(i) / attack);
    if (tone.decay > 0 && i > attack)
      envelope *= std::exp(-tone.decay * (i - attack) / static_cast<float>(kSampleRate));
    const int left = count - i;
    if (left < release) envelope *= static_cast<float>(left) / release;
    int at = first + i;
    if (at >= size) {
      if (!wrap) break;
      at %= size;
    }
    buffer[at] += sample * envelope * tone.volume;
  }
}

std::vector<float> Render(const std::vector<Tone>& tones, float seconds) {
  std::vector<float> buffer(static_cast<size_t>(seconds * kSampleRate), 0.0f);
  unsigned seed = 1;
  for (const Tone& tone : tones) AddTone(buffer, tone, false, seed++);
  // The last few milliseconds fade to silence whatever the tones did.
  const size_t fade = std::min<size_t>(buffer.size(), kSampleRate / 200);
  for (size_t i = 0; i < fade; ++i) buffer[buffer.size() - 1 - i] *= static_cast<float>(i) / fade;
  return buffer;
}

std::vector<short> ToPcm16(const std::vector<float>& buffer, float peak) {
  float highest = 1e-6f;
  for (float s : buffer) highest = std::max(highest, std::fabs(s));
  const float scale = peak / highest * 32767.0f;
  std::vector<short> out(buffer.size());
  for (size_t i = 0; i < buffer.size(); ++i)
    out[i] = static_cast<short>(std::lround(std::clamp(buffer[i] * scale, -32767.0f, 32767.0f)));
  return out;
}

}  // namespace gamedata
