// CPU for one second of a game's sound: a tracker module of "bass.dll" (libopenmpt), an OGG stream of
// "bass.dll" (Tremor) and 32 resampled effect voices, all mixed by the shared mixer in 10 ms blocks;
// beside the least any player does for the same: libopenmpt and Tremor rendering straight into buffers,
// SDL_AudioStream resampling the voices and SDL_MixAudioFormat adding all of it up. An iteration is one
// second of sound, so its CPU time is the share of one core it takes (10 000 us = 1 %).
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <libopenmpt/libopenmpt.h>
#include <tremor/ivorbisfile.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/SoundSources.h"
#include "platform/audio/AudioOutput.h"
#include "platform/bass/Bass.h"
#include "tests/support/TrackerModule.h"

namespace {

constexpr int kRate = 44100;
constexpr int kBlockFrames = 441;
constexpr int kBlocksPerSecond = kRate / kBlockFrames;
constexpr int kVoices = benchsupport::kEffectVoices;
using benchsupport::EffectVoiceRate;

std::string TrackPath() {
  return (std::filesystem::path(__FILE__).parent_path().parent_path() / "tests/data/sound/tone_stereo_44100.ogg")
      .string();
}

std::string ModulePath() {
  std::string path = (std::filesystem::temp_directory_path() / "bench_module_mix.mod").string();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::string bytes = testsupport::SquareWaveMod({64, 48, 32, 16});
  if (file) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  return path;
}

void BM_KitModuleOggAnd32Voices(benchmark::State& state) {
  BASS_Init(0, kRate, 0, nullptr, nullptr);  // no device: the benchmark mixes by hand
  std::string track = TrackPath();
  std::string module = ModulePath();
  HSTREAM stream = BASS_StreamCreateFile(FALSE, track.c_str(), 0, 0, 0);
  HMUSIC music = BASS_MusicLoad(FALSE, module.c_str(), 0, 0, BASS_MUSIC_RAMP | BASS_SAMPLE_LOOP, 0);
  if (stream == 0 || music == 0) {
    state.SkipWithError("cannot open the test track or module");
    BASS_Free();
    return;
  }
  BASS_StreamPlay(stream, TRUE, BASS_SAMPLE_LOOP);
  BASS_MusicPlayEx(music, 0, BASS_SAMPLE_LOOP, TRUE);
  plat::audio::Mixer& mixer = plat::audio::SharedMixer();
  auto voices = benchsupport::PlayEffectVoices(mixer, 0.1f, 0.1f);
  std::vector<std::int16_t> out(2 * kBlockFrames);
  for (auto _ : state) {
    for (int block = 0; block < kBlocksPerSecond; ++block) {
      mixer.Mix(out.data(), kBlockFrames);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetLabel("per second of sound");
  voices.clear();
  BASS_Free();
}
BENCHMARK(BM_KitModuleOggAnd32Voices)->Unit(benchmark::kMicrosecond);

void BM_OpenmptTremorAndSdlMix(benchmark::State& state) {
  std::string track = TrackPath();
  std::FILE* oggFile = std::fopen(track.c_str(), "rb");
  OggVorbis_File vorbis;
  if (!oggFile || ov_open(oggFile, &vorbis, nullptr, 0) < 0) {
    if (oggFile) std::fclose(oggFile);
    state.SkipWithError("cannot open the test track");
    return;
  }
  std::string moduleBytes = testsupport::SquareWaveMod({64, 48, 32, 16});
  openmpt_module* mod = openmpt_module_create_from_memory2(moduleBytes.data(), moduleBytes.size(), nullptr, nullptr,
                                                           nullptr, nullptr, nullptr, nullptr, nullptr);
  openmpt_module_set_repeat_count(mod, -1);
  std::vector<SDL_AudioStream*> streams;
  std::vector<std::vector<std::int16_t>> tones;
  std::vector<std::size_t> places(kVoices, 0);
  for (int v = 0; v < kVoices; ++v) {
    streams.push_back(SDL_NewAudioStream(AUDIO_S16SYS, 1, EffectVoiceRate(v), AUDIO_S16SYS, 2, kRate));
    tones.push_back(benchsupport::EffectTone(v));
  }
  std::vector<std::uint8_t> decoded(kBlockFrames * 4);
  std::vector<std::int16_t> rendered(kBlockFrames * 2);
  std::vector<std::uint8_t> out(kBlockFrames * 4);
  for (auto _ : state) {
    for (int block = 0; block < kBlocksPerSecond; ++block) {
      std::fill(out.begin(), out.end(), 0);
      openmpt_module_read_interleaved_stereo(mod, kRate, kBlockFrames, rendered.data());
      SDL_MixAudioFormat(out.data(), reinterpret_cast<Uint8*>(rendered.data()), AUDIO_S16SYS,
                         static_cast<Uint32>(out.size()), SDL_MIX_MAXVOLUME);
      benchsupport::ReadLooping(vorbis, decoded);
      SDL_MixAudioFormat(out.data(), decoded.data(), AUDIO_S16SYS, static_cast<Uint32>(out.size()), SDL_MIX_MAXVOLUME);
      for (int v = 0; v < kVoices; ++v) {
        // Feed each voice's stream about what one block needs, then mix what it gives.
        std::vector<std::int16_t>& tone = tones[static_cast<std::size_t>(v)];
        std::size_t want = static_cast<std::size_t>(EffectVoiceRate(v) / kBlocksPerSecond) + 1;
        std::size_t& place = places[static_cast<std::size_t>(v)];
        if (place + want > tone.size()) place = 0;
        SDL_AudioStreamPut(streams[static_cast<std::size_t>(v)], tone.data() + place, static_cast<int>(want * 2));
        place += want;
        int got =
            SDL_AudioStreamGet(streams[static_cast<std::size_t>(v)], decoded.data(), static_cast<int>(decoded.size()));
        if (got > 0)
          SDL_MixAudioFormat(out.data(), decoded.data(), AUDIO_S16SYS, static_cast<Uint32>(got),
                             SDL_MIX_MAXVOLUME / 10);
      }
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetLabel("per second of sound");
  for (SDL_AudioStream* stream : streams) SDL_FreeAudioStream(stream);
  openmpt_module_destroy(mod);
  ov_clear(&vorbis);
}
BENCHMARK(BM_OpenmptTremorAndSdlMix)->Unit(benchmark::kMicrosecond);

}  // namespace
