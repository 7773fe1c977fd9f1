// Mixing cost per 10 ms block (441 frames at 44100 Hz) of 32 playing voices that all need resampling,
// beside SDL doing the same work: an SDL_AudioStream per voice for the rate change, then
// SDL_MixAudioFormat with the voice's volume.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "bench/support/SoundSources.h"
#include "platform/audio/Mixer.h"

namespace {

using benchsupport::EffectTone;
using benchsupport::EffectVoiceRate;
constexpr int kVoices = benchsupport::kEffectVoices;
constexpr int kBlockFrames = 441;

void BM_KitMixer32VoicesResampled(benchmark::State& state) {
  plat::audio::Mixer mixer(44100);
  auto voices = benchsupport::PlayEffectVoices(mixer, 0.3f, 0.2f);
  std::vector<std::int16_t> out(2 * kBlockFrames);
  for (auto _ : state) {
    mixer.Mix(out.data(), kBlockFrames);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetLabel("per 10 ms block");
}
BENCHMARK(BM_KitMixer32VoicesResampled)->Unit(benchmark::kMicrosecond);

void BM_SdlAudioStreamAndMixAudio32Voices(benchmark::State& state) {
  std::vector<SDL_AudioStream*> streams;
  std::vector<std::vector<std::int16_t>> sources;
  for (int v = 0; v < kVoices; ++v) {
    streams.push_back(SDL_NewAudioStream(AUDIO_S16SYS, 1, EffectVoiceRate(v), AUDIO_S16SYS, 2, 44100));
    sources.push_back(EffectTone(v));
  }
  std::vector<std::int16_t> voiceOut(2 * kBlockFrames);
  std::vector<std::int16_t> out(2 * kBlockFrames);
  std::vector<std::size_t> cursor(kVoices, 0);
  const int outBytes = 2 * kBlockFrames * 2;
  for (auto _ : state) {
    std::memset(out.data(), 0, out.size() * 2);
    for (int v = 0; v < kVoices; ++v) {
      // Feed enough input for one block, as a pull-driven mixer would.
      while (SDL_AudioStreamAvailable(streams[v]) < outBytes) {
        std::size_t chunk = 256;
        auto& src = sources[v];
        if (cursor[v] + chunk > src.size()) cursor[v] = 0;
        SDL_AudioStreamPut(streams[v], src.data() + cursor[v], static_cast<int>(chunk * 2));
        cursor[v] += chunk;
      }
      SDL_AudioStreamGet(streams[v], voiceOut.data(), outBytes);
      SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()), reinterpret_cast<Uint8*>(voiceOut.data()), AUDIO_S16SYS,
                         outBytes, SDL_MIX_MAXVOLUME * 3 / 10);
    }
    benchmark::DoNotOptimize(out.data());
  }
  for (auto* stream : streams) SDL_FreeAudioStream(stream);
  state.SetLabel("per 10 ms block");
}
BENCHMARK(BM_SdlAudioStreamAndMixAudio32Voices)->Unit(benchmark::kMicrosecond);

}  // namespace
