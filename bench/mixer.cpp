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
  benchsupport::SdlEffectVoices voices(kBlockFrames);
  std::vector<std::int16_t> out(2 * kBlockFrames);
  for (auto _ : state) {
    std::memset(out.data(), 0, out.size() * 2);
    voices.MixInto(out.data(), SDL_MIX_MAXVOLUME * 3 / 10);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetLabel("per 10 ms block");
}
BENCHMARK(BM_SdlAudioStreamAndMixAudio32Voices)->Unit(benchmark::kMicrosecond);

}  // namespace
