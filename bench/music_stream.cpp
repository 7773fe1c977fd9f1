// CPU for one second of music: an OGG stream of the layer's "bass.dll" decoded as it plays (Tremor)
// and mixed by the shared mixer in 10 ms blocks, beside the least any player does for the same: Tremor
// decoding straight into a buffer and SDL_MixAudioFormat adding it to the output. Then the same second
// with the game's 32 effect voices playing over the music, beside SDL doing both.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/SoundSources.h"
#include "platform/audio/AudioOutput.h"
#include "platform/bass/Bass.h"

namespace {

constexpr int kRate = 44100;
constexpr int kBlockFrames = 441;
constexpr int kBlocksPerSecond = kRate / kBlockFrames;

std::string TrackPath() {
  return (std::filesystem::path(__FILE__).parent_path().parent_path() / "tests/data/sound/tone_stereo_44100.ogg")
      .string();
}

// The test track playing through the layer's "bass.dll" on the shared mixer; false when it cannot.
bool PlayBassTrack(benchmark::State& state) {
  BASS_Init(0, kRate, 0, nullptr, nullptr);  // no device: the benchmark mixes by hand
  std::string path = TrackPath();
  HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
  if (stream == 0) {
    state.SkipWithError("cannot open the test track");
    BASS_Free();
    return false;
  }
  BASS_ChannelSetAttributes(stream, -1, 80, -101);
  BASS_StreamPlay(stream, TRUE, BASS_SAMPLE_LOOP);
  return true;
}

// The track on the shared mixer, mixed a second at a time, with the 32 effect voices over it when asked.
void BassOggStreamOneSecond(benchmark::State& state, bool withVoices) {
  if (!PlayBassTrack(state)) return;
  {
    std::vector<std::unique_ptr<plat::audio::Voice>> voices;
    if (withVoices) voices = benchsupport::PlayEffectVoices(plat::audio::SharedMixer(), 0.3f, 0.2f);
    std::vector<std::int16_t> out(2 * kBlockFrames);
    for (auto _ : state) {
      for (int block = 0; block < kBlocksPerSecond; ++block) {
        plat::audio::SharedMixer().Mix(out.data(), kBlockFrames);
        benchmark::DoNotOptimize(out.data());
      }
    }
  }
  state.SetLabel(withVoices ? "per second of music and voices" : "per second of music");
  BASS_Free();
}

void BM_BassOggStreamOneSecond(benchmark::State& state) { BassOggStreamOneSecond(state, false); }
BENCHMARK(BM_BassOggStreamOneSecond)->Unit(benchmark::kMicrosecond);

void BM_BassOggStreamAnd32VoicesOneSecond(benchmark::State& state) { BassOggStreamOneSecond(state, true); }
BENCHMARK(BM_BassOggStreamAnd32VoicesOneSecond)->Unit(benchmark::kMicrosecond);

// Tremor decoding the track and SDL_MixAudioFormat adding it to the output, with the effect voices
// played by SDL over it when `voices` is given.
void TremorAndSdlMixOneSecond(benchmark::State& state, benchsupport::SdlEffectVoices* voices) {
  std::FILE* file = std::fopen(TrackPath().c_str(), "rb");
  OggVorbis_File vorbis;
  if (!file || ov_open(file, &vorbis, nullptr, 0) < 0) {
    if (file) std::fclose(file);
    state.SkipWithError("cannot open the test track");
    return;
  }
  std::vector<std::uint8_t> decoded(kBlockFrames * 4);
  std::vector<std::int16_t> out(kBlockFrames * 2);
  for (auto _ : state) {
    for (int block = 0; block < kBlocksPerSecond; ++block) {
      benchsupport::ReadLooping(vorbis, decoded);
      std::fill(out.begin(), out.end(), 0);
      SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()), decoded.data(), AUDIO_S16SYS,
                         static_cast<Uint32>(decoded.size()), SDL_MIX_MAXVOLUME * 8 / 10);
      if (voices) voices->MixInto(out.data(), SDL_MIX_MAXVOLUME * 3 / 10);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetLabel(voices ? "per second of music and voices" : "per second of music");
  ov_clear(&vorbis);
}

void BM_TremorAndSdlMixOneSecond(benchmark::State& state) { TremorAndSdlMixOneSecond(state, nullptr); }
BENCHMARK(BM_TremorAndSdlMixOneSecond)->Unit(benchmark::kMicrosecond);

void BM_TremorAndSdlMix32VoicesOneSecond(benchmark::State& state) {
  benchsupport::SdlEffectVoices voices(kBlockFrames);
  TremorAndSdlMixOneSecond(state, &voices);
}
BENCHMARK(BM_TremorAndSdlMix32VoicesOneSecond)->Unit(benchmark::kMicrosecond);

}  // namespace
