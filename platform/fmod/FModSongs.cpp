// FMUSIC: tracker modules rendered by libopenmpt as they play, each through a stream voice of the shared
// mixer. Every handle passed in is checked against the live songs, so a stale pointer is refused.
#include "platform/fmod/FModSongs.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <set>

#include "platform/audio/AudioOutput.h"
#include "platform/bass/BassStream.h"
#include "platform/fmod/FMod.h"
#include "platform/win/files/PathMap.h"

struct FMUSIC_MODULE {
  std::unique_ptr<plat::bass::BassStream> song;
  // Songs loop unless told otherwise.
  bool looping = true;
};

namespace {

struct SongState {
  std::mutex mutex;
  std::set<FMUSIC_MODULE*> songs;
};

SongState& State() {
  static SongState* state = new SongState;  // songs may be released during static destruction
  return *state;
}

// Runs `action` on a live song under the songs' lock; 0 for any other pointer.
template <typename Action>
F_BOOL WithSong(FMUSIC_MODULE* module, Action action) {
  plat::audio::CatchUp();
  SongState& state = State();
  std::lock_guard lock(state.mutex);
  if (!module || state.songs.count(module) == 0) return 0;
  return action(*module) ? 1 : 0;
}

}  // namespace

FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) {
  if (!name) return nullptr;
  // Parsing takes a while; it runs without the lock so that playing goes on meanwhile.
  auto decoder = plat::bass::OpenModuleStream(plat::MapPath(name), plat::audio::SharedMixer().OutputRate());
  if (!decoder) return nullptr;
  auto module = std::make_unique<FMUSIC_MODULE>();
  module->song = std::make_unique<plat::bass::BassStream>(std::move(decoder));
  SongState& state = State();
  std::lock_guard lock(state.mutex);
  state.songs.insert(module.get());
  return module.release();
}

F_BOOL FMUSIC_PlaySong(FMUSIC_MODULE* module) {
  return WithSong(module, [](FMUSIC_MODULE& m) { return m.song->PlayFromOrder(0, m.looping); });
}

F_BOOL FMUSIC_StopSong(FMUSIC_MODULE* module) {
  return WithSong(module, [](FMUSIC_MODULE& m) {
    m.song->Stop();
    return true;
  });
}

// The looping values follow the sample loop modes: FSOUND_LOOP_NORMAL loops, FSOUND_LOOP_OFF (or 0) plays
// the song once.
F_BOOL FMUSIC_SetLooping(FMUSIC_MODULE* module, F_BOOL looping) {
  return WithSong(module, [looping](FMUSIC_MODULE& m) {
    m.looping = (static_cast<unsigned int>(looping) & FSOUND_LOOP_NORMAL) != 0;
    m.song->SetLooping(m.looping);
    return true;
  });
}

F_BOOL FMUSIC_SetOrder(FMUSIC_MODULE* module, int order) {
  return WithSong(module, [order](FMUSIC_MODULE& m) { return m.song->SetOrder(order); });
}

F_BOOL FMUSIC_SetPaused(FMUSIC_MODULE* module, F_BOOL paused) {
  return WithSong(module, [paused](FMUSIC_MODULE& m) {
    if (paused != 0) {
      m.song->Pause();
    } else {
      m.song->Resume();
    }
    return true;
  });
}

F_BOOL FMUSIC_SetMasterVolume(FMUSIC_MODULE* module, int volume) {
  return WithSong(module, [volume](FMUSIC_MODULE& m) {
    float gain = static_cast<float>(std::clamp(volume, 0, FSOUND_FULL_VOLUME)) / FSOUND_FULL_VOLUME;
    m.song->SetGain(gain, gain);
    return true;
  });
}

F_BOOL FMUSIC_IsPlaying(FMUSIC_MODULE* module) {
  return WithSong(module, [](FMUSIC_MODULE& m) { return m.song->IsPlaying(); });
}

namespace plat::fmod {

void FreeAllSongs() {
  SongState& state = State();
  std::lock_guard lock(state.mutex);
  for (FMUSIC_MODULE* module : state.songs) delete module;
  state.songs.clear();
}

}  // namespace plat::fmod
