// The software mixer behind the layer's DirectSound and "fmod.dll": any number of voices, each with
// its own rate (linear-interpolation resampling), gain and loop, mixed into interleaved 16-bit stereo
// at one output rate. It needs no audio device: the SDL device pulls blocks from it on a desktop, the
// headless clock moves it silently, and tests call Mix and look at the samples.
//
// Thread safety: voices are created, changed and destroyed on any thread while another thread mixes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio/PcmFormat.h"
#include "platform/audio/SampleBuffer.h"
#include "platform/audio/Voice.h"

namespace plat::audio {

class Mixer {
 public:
  explicit Mixer(int outputRate = 44100);
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  int OutputRate() const { return mOutputRate; }

  // A stopped voice at position 0 and the data's own rate.
  std::unique_ptr<Voice> CreateVoice(std::shared_ptr<SampleBuffer> samples);
  // A stopped voice that pulls its frames from `fill` as it plays; `format` must be valid.
  std::unique_ptr<Voice> CreateStreamVoice(PcmFormat format, StreamFill fill);

  // Renders `frames` stereo frames (2 × frames samples) and advances every playing voice.
  void Mix(std::int16_t* stereoOut, std::size_t frames);
  // Advances every playing voice by `frames` without rendering (the headless clock).
  void Skip(std::uint64_t frames);

  // The gain applied after all voices, per side (the wave-out volume), clamped to 0..1.
  void SetMasterGain(float left, float right);

  std::size_t VoiceCount() const;
  std::size_t PlayingVoiceCount() const;

 private:
  friend class Voice;

  void AddVoice(Voice* voice);
  void RemoveVoice(Voice* voice);
  std::uint64_t StepLocked(const Voice& voice) const;
  void TopUpStreams(std::size_t frames);
  void MixVoiceLocked(Voice& voice, std::int32_t* accumulator, std::size_t frames);
  void AdvanceVoiceLocked(Voice& voice, std::uint64_t frames);
  void DropConsumedStreamFrames(Voice& voice);

  const int mOutputRate;
  // Serialises Mix and Skip, and keeps stream voices alive while their callbacks run unlocked.
  mutable std::mutex mMixMutex;
  // Guards the voice list and every voice's playback state.
  mutable std::mutex mMutex;
  std::vector<Voice*> mVoices;
  std::int32_t mMasterLeft = 65536;
  std::int32_t mMasterRight = 65536;
  std::vector<std::int32_t> mAccumulator;
};

}  // namespace plat::audio
