// Sound sources the audio benchmarks share: the 32 effect voices at awkward rates that make the mixer
// resample, the same voices played by SDL (the peer), and an OGG track decoded by Tremor a block at a
// time, looping.
#pragma once

#include <SDL.h>
#include <tremor/ivorbisfile.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/audio/Mixer.h"

namespace benchsupport {

constexpr int kEffectVoices = 32;

// Half the voices at 22050 Hz, the others at rates near 32000 Hz that divide 44100 Hz by nothing simple.
inline int EffectVoiceRate(int voice) { return voice % 2 ? 22050 : 32000 + 97 * voice; }

inline std::vector<std::int16_t> Tone(int rate, int hz, std::size_t frames) {
  std::vector<std::int16_t> samples(frames);
  for (std::size_t i = 0; i < frames; ++i)
    samples[i] = static_cast<std::int16_t>(12000 * std::sin(6.2831853 * hz * double(i) / rate));
  return samples;
}

// One second of a distinct tone for an effect voice, at its rate.
inline std::vector<std::int16_t> EffectTone(int voice) {
  int rate = EffectVoiceRate(voice);
  return Tone(rate, 200 + 30 * voice, static_cast<std::size_t>(rate));
}

// The 32 effect voices on `mixer`, playing in a loop at the given gains.
inline std::vector<std::unique_ptr<plat::audio::Voice>> PlayEffectVoices(plat::audio::Mixer& mixer, float left,
                                                                         float right) {
  std::vector<std::unique_ptr<plat::audio::Voice>> voices;
  for (int v = 0; v < kEffectVoices; ++v) {
    std::vector<std::int16_t> samples = EffectTone(v);
    auto buffer = std::make_shared<plat::audio::SampleBuffer>(plat::audio::PcmFormat{1, EffectVoiceRate(v), 16},
                                                              samples.size() * 2);
    std::memcpy(buffer->Data(), samples.data(), samples.size() * 2);
    voices.push_back(mixer.CreateVoice(buffer));
    voices.back()->SetGain(left, right);
    voices.back()->Play(true);
  }
  return voices;
}

// The 32 effect voices as SDL plays them: an SDL_AudioStream per voice for the rate change, then
// SDL_MixAudioFormat with the voice's volume, into 44100 Hz stereo blocks.
class SdlEffectVoices {
 public:
  explicit SdlEffectVoices(int blockFrames) : mVoiceOut(2 * blockFrames), mCursor(kEffectVoices, 0) {
    for (int v = 0; v < kEffectVoices; ++v) {
      mStreams.push_back(SDL_NewAudioStream(AUDIO_S16SYS, 1, EffectVoiceRate(v), AUDIO_S16SYS, 2, 44100));
      mSources.push_back(EffectTone(v));
    }
  }
  ~SdlEffectVoices() {
    for (SDL_AudioStream* stream : mStreams) SDL_FreeAudioStream(stream);
  }
  SdlEffectVoices(const SdlEffectVoices&) = delete;
  SdlEffectVoices& operator=(const SdlEffectVoices&) = delete;

  // Adds one block of every voice to out (as many frames as the block this was made for).
  void MixInto(std::int16_t* out, int volume) {
    const int outBytes = static_cast<int>(mVoiceOut.size() * 2);
    for (int v = 0; v < kEffectVoices; ++v) {
      // Feed enough input for one block, as a pull-driven mixer would.
      while (SDL_AudioStreamAvailable(mStreams[v]) < outBytes) {
        const std::size_t chunk = 256;
        std::vector<std::int16_t>& source = mSources[v];
        if (mCursor[v] + chunk > source.size()) mCursor[v] = 0;
        SDL_AudioStreamPut(mStreams[v], source.data() + mCursor[v], static_cast<int>(chunk * 2));
        mCursor[v] += chunk;
      }
      SDL_AudioStreamGet(mStreams[v], mVoiceOut.data(), outBytes);
      SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out), reinterpret_cast<Uint8*>(mVoiceOut.data()), AUDIO_S16SYS,
                         outBytes, volume);
    }
  }

 private:
  std::vector<SDL_AudioStream*> mStreams;
  std::vector<std::vector<std::int16_t>> mSources;
  std::vector<std::int16_t> mVoiceOut;
  std::vector<std::size_t> mCursor;
};

// Fills `block` with decoded bytes, starting the track over at its end.
inline void ReadLooping(OggVorbis_File& vorbis, std::vector<std::uint8_t>& block) {
  std::size_t have = 0;
  while (have < block.size()) {
    int bitstream = 0;
    long got = ov_read(&vorbis, reinterpret_cast<char*>(block.data() + have), static_cast<int>(block.size() - have),
                       &bitstream);
    if (got <= 0) {
      ov_pcm_seek(&vorbis, 0);
      continue;
    }
    have += static_cast<std::size_t>(got);
  }
}

}  // namespace benchsupport
