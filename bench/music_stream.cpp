// CPU for one second of music: an OGG stream of the layer's "bass.dll" decoded as it plays (Tremor)
// and mixed by the shared mixer in 10 ms blocks, beside the least any player does for the same: Tremor
// decoding straight into a buffer and SDL_MixAudioFormat adding it to the output.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
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

void BM_BassOggStreamOneSecond(benchmark::State& state) {
  BASS_Init(0, kRate, 0, nullptr, nullptr);  // no device: the benchmark mixes by hand
  std::string path = TrackPath();
  HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
  if (stream == 0) {
    state.SkipWithError("cannot open the test track");
    BASS_Free();
    return;
  }
  BASS_ChannelSetAttributes(stream, -1, 80, -101);
  BASS_StreamPlay(stream, TRUE, BASS_SAMPLE_LOOP);
  std::vector<std::int16_t> out(2 * kBlockFrames);
  for (auto _ : state) {
    for (int block = 0; block < kBlocksPerSecond; ++block) {
      plat::audio::SharedMixer().Mix(out.data(), kBlockFrames);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetLabel("per second of music");
  BASS_Free();
}
BENCHMARK(BM_BassOggStreamOneSecond)->Unit(benchmark::kMicrosecond);

void BM_TremorAndSdlMixOneSecond(benchmark::State& state) {
  std::FILE* file = std::fopen(TrackPath().c_str(), "rb");
  OggVorbis_File vorbis;
  if (!file || ov_open(file, &vorbis, nullptr, 0) < 0) {
    if (file) std::fclose(file);
    state.SkipWithError("cannot open the test track");
    return;
  }
  std::vector<std::uint8_t> decoded(kBlockFrames * 4);
  std::vector<std::uint8_t> out(kBlockFrames * 4);
  for (auto _ : state) {
    for (int block = 0; block < kBlocksPerSecond; ++block) {
      benchsupport::ReadLooping(vorbis, decoded);
      std::fill(out.begin(), out.end(), 0);
      SDL_MixAudioFormat(out.data(), decoded.data(), AUDIO_S16SYS, static_cast<Uint32>(out.size()),
                         SDL_MIX_MAXVOLUME * 8 / 10);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetLabel("per second of music");
  ov_clear(&vorbis);
}
BENCHMARK(BM_TremorAndSdlMixOneSecond)->Unit(benchmark::kMicrosecond);

}  // namespace
