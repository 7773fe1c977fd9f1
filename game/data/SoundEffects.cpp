#include "game/data/SoundEffects.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "game/data/DataOutput.h"
#include "game/data/Synth.h"

namespace gamedata {
namespace {

Tone Beep(float start, float length, float fromHz, float toHz, Wave wave, float volume, float decay = 0) {
  Tone tone;
  tone.start = start;
  tone.length = length;
  tone.fromHz = fromHz;
  tone.toHz = toHz;
  tone.wave = wave;
  tone.volume = volume;
  tone.decay = decay;
  tone.release = std::min(0.04f, length / 3);
  return tone;
}

Tone Hiss(float start, float length, float cutoffFrom, float cutoffTo, float volume, float decay = 0) {
  Tone tone = Beep(start, length, 1, 1, Wave::kNoise, volume, decay);
  tone.cutoffFrom = cutoffFrom;
  tone.cutoffTo = cutoffTo;
  return tone;
}

Tone Wobble(Tone tone, float hz, float depth) {
  tone.vibratoHz = hz;
  tone.vibratoDepth = depth;
  return tone;
}

// Notes of an arpeggio, one after another, each ringing on.
std::vector<Tone> Arpeggio(const std::vector<float>& hz, float step, float ring, Wave wave, float volume) {
  std::vector<Tone> tones;
  for (size_t i = 0; i < hz.size(); ++i) {
    tones.push_back(Beep(i * step, ring, hz[i], hz[i], wave, volume, 5));
    tones.push_back(Beep(i * step, ring, hz[i] * 2, hz[i] * 2, Wave::kSine, volume * 0.3f, 7));
  }
  return tones;
}

struct Effect {
  const char* id;
  float seconds;
  std::vector<Tone> tones;
};

std::vector<Effect> Effects() {
  using W = Wave;
  return {
      {"SOUND_VOLUMEHINT", 0.12f, {Beep(0, 0.12f, 880, 880, W::kSine, 0.6f, 12)}},
      {"SOUND_BTNSLIDE", 0.35f, {Hiss(0, 0.35f, 300, 4000, 0.8f), Beep(0, 0.3f, 200, 500, W::kTriangle, 0.15f)}},
      {"SOUND_FINISHED", 1.3f, Arpeggio({523, 659, 784, 1047, 1319}, 0.12f, 0.8f, W::kTriangle, 0.4f)},
      {"SOUND_GAMEOVER", 1.6f, Arpeggio({392, 311, 262, 196}, 0.28f, 0.9f, W::kTriangle, 0.45f)},
      {"SOUND_BRICKAPPEAR",
       0.4f,
       {Beep(0, 0.35f, 1200, 2400, W::kSine, 0.35f, 6), Hiss(0, 0.4f, 3000, 8000, 0.25f, 8)}},
      {"SOUND_BALLAPPEAR",
       0.4f,
       {Beep(0, 0.4f, 330, 660, W::kTriangle, 0.5f, 3), Beep(0.05f, 0.35f, 495, 990, W::kSine, 0.3f, 5)}},
      {"SOUND_CHANGEPADDLE", 0.25f, {Beep(0, 0.25f, 300, 900, W::kSquare, 0.25f, 6)}},
      {"SOUND_BIGBALL", 0.3f, {Wobble(Beep(0, 0.3f, 120, 260, W::kTriangle, 0.7f, 4), 18, 0.08f)}},
      {"SOUND_SMALLBALL", 0.25f, {Beep(0, 0.25f, 1600, 700, W::kTriangle, 0.5f, 6)}},
      {"SOUND_ADDVEL", 0.3f, {Beep(0, 0.3f, 300, 1500, W::kSaw, 0.3f, 3)}},
      {"SOUND_SUBVEL", 0.35f, {Beep(0, 0.35f, 1200, 250, W::kSaw, 0.3f, 3)}},
      {"SOUND_MULTIBALL",
       0.4f,
       {Beep(0, 0.1f, 700, 900, W::kSquare, 0.3f, 20), Beep(0.12f, 0.1f, 900, 1100, W::kSquare, 0.3f, 20),
        Beep(0.24f, 0.14f, 1100, 1400, W::kSquare, 0.3f, 15)}},
      {"SOUND_SWIRL_IN", 0.5f, {Wobble(Beep(0, 0.5f, 900, 200, W::kTriangle, 0.5f, 2), 14, 0.15f)}},
      {"SOUND_SWIRL_OUT", 0.45f, {Wobble(Beep(0, 0.45f, 200, 1000, W::kTriangle, 0.5f, 2), 14, 0.15f)}},
      {"SOUND_FIREBALL", 0.6f, {Hiss(0, 0.6f, 400, 2500, 0.7f, 2), Beep(0, 0.5f, 90, 180, W::kSaw, 0.25f, 3)}},
      {"SOUND_NEWBALL", 0.5f, Arpeggio({880, 1175, 1568}, 0.07f, 0.35f, W::kSine, 0.4f)},
      {"SOUND_THRUBALL",
       0.6f,
       {Wobble(Beep(0, 0.6f, 400, 800, W::kSine, 0.4f, 2), 7, 0.05f),
        Wobble(Beep(0, 0.6f, 404, 808, W::kSine, 0.4f, 2), 9, 0.05f)}},
      {"SOUND_ADDLIVE", 0.7f, Arpeggio({659, 784, 1319, 1047, 1175, 1568}, 0.08f, 0.3f, W::kSquare, 0.2f)},
      {"SOUND_SUBLIVE", 0.6f, {Beep(0, 0.6f, 220, 70, W::kSaw, 0.45f, 2), Hiss(0, 0.4f, 800, 200, 0.3f, 4)}},
      {"SOUND_BOUNCE", 0.4f, {Wobble(Beep(0, 0.4f, 200, 400, W::kTriangle, 0.5f, 2), 30, 0.05f)}},
      {"SOUND_CONVERT", 0.45f, {Beep(0, 0.45f, 2000, 600, W::kSine, 0.35f, 4), Hiss(0, 0.3f, 6000, 2000, 0.2f, 8)}},
      {"SOUND_BRICKUP",
       0.3f,
       {Beep(0, 0.12f, 400, 700, W::kSquare, 0.25f, 10), Beep(0.14f, 0.14f, 500, 900, W::kSquare, 0.25f, 10)}},
      {"SOUND_BRICKDOWN",
       0.3f,
       {Beep(0, 0.12f, 700, 400, W::kSquare, 0.25f, 10), Beep(0.14f, 0.14f, 600, 300, W::kSquare, 0.25f, 10)}},
      {"SOUND_FIREEXPLODE", 0.8f, {Hiss(0, 0.8f, 2500, 150, 1.0f, 4), Beep(0, 0.5f, 80, 35, W::kSine, 0.8f, 5)}},
      {"SOUND_REVERSE", 0.4f, {Wobble(Beep(0, 0.4f, 600, 600, W::kTriangle, 0.45f, 3), 12, 0.2f)}},
      {"SOUND_BALLHITPADDLE",
       0.09f,
       {Beep(0, 0.09f, 520, 480, W::kTriangle, 0.6f, 30), Beep(0, 0.05f, 160, 120, W::kSine, 0.5f, 40)}},
      {"SOUND_FIREBALLHIT", 0.25f, {Hiss(0, 0.25f, 3000, 600, 0.8f, 12), Beep(0, 0.2f, 140, 70, W::kSine, 0.5f, 12)}},
      {"SOUND_HITBORDER", 0.05f, {Beep(0, 0.05f, 1400, 1200, W::kTriangle, 0.5f, 60)}},
      {"SOUND_BALLDEAD", 0.2f, {Hiss(0, 0.2f, 7000, 2500, 0.5f, 18), Beep(0, 0.15f, 1800, 1500, W::kSine, 0.35f, 20)}},
      {"SOUND_IRON",
       0.25f,
       {Beep(0, 0.25f, 1250, 1250, W::kSine, 0.4f, 14), Beep(0, 0.25f, 1870, 1870, W::kSine, 0.3f, 16),
        Beep(0, 0.25f, 2960, 2960, W::kSine, 0.2f, 20), Hiss(0, 0.03f, 6000, 6000, 0.3f)}},
      {"SOUND_THRUHIT", 0.15f, {Beep(0, 0.15f, 1500, 400, W::kSine, 0.5f, 10)}},
      {"SOUND_HITCRASH",
       0.15f,
       {Hiss(0, 0.15f, 5000, 1500, 0.7f, 25), Beep(0, 0.1f, 700, 500, W::kTriangle, 0.3f, 30)}},
      {"SOUND_HITPOWER",
       0.2f,
       {Beep(0, 0.2f, 988, 988, W::kSine, 0.45f, 14), Beep(0, 0.2f, 1480, 1480, W::kSine, 0.3f, 16)}},
      {"SOUND_BUTTON", 0.07f, {Beep(0, 0.07f, 1000, 700, W::kTriangle, 0.5f, 40)}},
  };
}

std::string FileName(const std::string& id) {
  std::string name = id.substr(6);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

}  // namespace

void MakeSoundEffects(DataOutput& out) {
  for (const Effect& effect : Effects())
    out.AddSound(effect.id, FileName(effect.id), ToPcm16(Render(effect.tones, effect.seconds), 0.7f), kSampleRate);
}

}  // namespace gamedata
