// A small additive synthesiser for the sound effects and the music: tones with pitch glides, noise
// bursts with a sweeping low-pass filter, and envelopes that always start and end at silence so that
// nothing clicks. Plain value types; not thread-safe.
#pragma once

#include <vector>

namespace gamedata {

constexpr int kSampleRate = 44100;

enum class Wave { kSine, kTriangle, kSquare, kSaw, kNoise };

struct Tone {
  float start = 0;      // seconds
  float length = 0.1f;  // seconds, release included
  float fromHz = 440, toHz = 440;
  Wave wave = Wave::kSine;
  float volume = 0.5f;
  float attack = 0.005f;                  // seconds
  float decay = 0;                        // exponential decay rate per second after the attack (0: held)
  float release = 0.02f;                  // seconds of fade at the end
  float vibratoHz = 0, vibratoDepth = 0;  // depth as a fraction of the frequency
  float cutoffFrom = 0, cutoffTo = 0;     // low-pass cutoff in Hz for noise and harsh waves; 0: none
};

// Mixes the tones into a buffer of the given length (seconds); the tones add.
std::vector<float> Render(const std::vector<Tone>& tones, float seconds);
// Adds one tone into a buffer at the sample rate; samples past the end wrap to the start when `wrap`
// is set (a loop whose tails run into its own beginning).
void AddTone(std::vector<float>& buffer, const Tone& tone, bool wrap, unsigned noiseSeed);
// Scales the buffer so that its peak is `peak` (0..1), then converts to 16-bit samples.
std::vector<short> ToPcm16(const std::vector<float>& buffer, float peak);

}  // namespace gamedata
