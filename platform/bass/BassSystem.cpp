// The calls of the layer's "bass.dll". Streams and modules are channels of one kind (a decoder played by a
// voice) under one numbering; handles are never handed out twice, so a stale handle finds nothing instead of
// another channel.
#include <algorithm>
#include <map>
#include <mutex>

#include "platform/audio/AudioOutput.h"
#include "platform/bass/Bass.h"
#include "platform/bass/BassStream.h"
#include "platform/win/files/PathMap.h"

namespace {

using plat::bass::BassStream;

constexpr int kFullVolume = 100;
constexpr int kLeaveVolume = -1;
constexpr int kLeaveFrequency = -1;
constexpr int kLeavePan = -101;
constexpr DWORD kMinBufferMs = 10;
constexpr DWORD kMaxBufferMs = 5000;

struct BassState {
  std::mutex mutex;
  bool initialised = false;
  bool started = true;
  DWORD bufferMs = 500;
  plat::BassGlobalVolumes volumes;
  struct Channel {
    std::unique_ptr<BassStream> stream;
    bool music = false;
    int volume = kFullVolume;
    int pan = 0;
    int amplify = kFullVolume;  // modules only
  };
  std::map<DWORD, Channel> channels;
  DWORD nextHandle = 1;
};

BassState& State() {
  static BassState* state = new BassState;  // streams may still be freed during static destruction
  return *state;
}

BassState::Channel* FindLocked(BassState& state, DWORD handle) {
  auto it = state.channels.find(handle);
  return it == state.channels.end() ? nullptr : &it->second;
}

float Fraction(int volume) { return static_cast<float>(volume) / kFullVolume; }

void ApplyGainLocked(const BassState& state, BassState::Channel& channel) {
  float kind =
      channel.music ? Fraction(state.volumes.music) * Fraction(channel.amplify) : Fraction(state.volumes.stream);
  float gain = Fraction(channel.volume) * kind * Fraction(state.volumes.output);
  // Pan -100 is full left, 100 full right; the far side fades out linearly.
  float left = channel.pan > 0 ? static_cast<float>(100 - channel.pan) / 100.0f : 1.0f;
  float right = channel.pan < 0 ? static_cast<float>(100 + channel.pan) / 100.0f : 1.0f;
  channel.stream->SetGain(gain * left, gain * right);
}

void ApplyAllGainsLocked(BassState& state) {
  for (auto& [handle, channel] : state.channels) ApplyGainLocked(state, channel);
}

int ClampVolume(int volume) { return std::clamp(volume, 0, kFullVolume); }

// Volumes passed as DWORD come from signed arithmetic in callers: a negative one is silence, not full.
int VolumeFromDword(DWORD volume) {
  auto signedVolume = static_cast<std::int32_t>(volume);
  return ClampVolume(signedVolume < 0 ? 0 : static_cast<int>(signedVolume));
}

DWORD NewHandleLocked(BassState& state) {
  while (state.nextHandle == 0 || state.channels.count(state.nextHandle) > 0) ++state.nextHandle;
  return state.nextHandle++;
}

enum class Kind { Any, Stream, Music };

// Runs `action` on a live channel of the kind under the library's lock; FALSE for any other handle.
template <typename Action>
BOOL WithChannel(DWORD handle, Kind kind, Action action) {
  plat::audio::CatchUp();
  BassState& state = State();
  std::lock_guard lock(state.mutex);
  BassState::Channel* channel = FindLocked(state, handle);
  if (!channel || (kind != Kind::Any && channel->music != (kind == Kind::Music))) return FALSE;
  return action(state, *channel) ? TRUE : FALSE;
}

// Adds a channel for an opened decoder; 0 when the library was freed meanwhile.
DWORD AddChannel(std::unique_ptr<plat::bass::StreamDecoder> decoder, bool music, DWORD flags) {
  auto stream = std::make_unique<BassStream>(std::move(decoder));
  BassState& state = State();
  std::lock_guard lock(state.mutex);
  if (!state.initialised) return 0;
  stream->SetOutputRunning(state.started);
  DWORD handle = NewHandleLocked(state);
  BassState::Channel& channel = state.channels[handle];
  channel.stream = std::move(stream);
  channel.music = music;
  ApplyGainLocked(state, channel);
  channel.stream->SetLooping((flags & BASS_SAMPLE_LOOP) != 0);
  return handle;
}

// Opens a file as BASS_StreamCreateFile and BASS_MusicLoad take it: the whole file, by name.
template <typename Open>
DWORD OpenChannel(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags, bool music, Open open) {
  // Channels start at the file's own start and run to its end; parts of files are not supported.
  if (memory || !file || offset != 0 || length != 0) return 0;
  {
    std::lock_guard lock(State().mutex);
    if (!State().initialised) return 0;
  }
  // Opening reads and parses; it runs without the lock so that playing goes on.
  auto decoder = open(plat::MapPath(static_cast<const char*>(file)));
  if (!decoder) return 0;
  return AddChannel(std::move(decoder), music, flags);
}

// Order numbers of modules: (DWORD)-1 stands for "where it is now".
constexpr DWORD kCurrentPosition = static_cast<DWORD>(-1);
constexpr DWORD kMaxOrder = 0xffff;

HMUSIC LoadMusic(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags, DWORD frequency) {
  int rate = frequency == 0
                 ? plat::audio::SharedMixer().OutputRate()
                 : static_cast<int>(std::clamp<DWORD>(frequency, plat::audio::kMinRate, plat::audio::kMaxRate));
  return OpenChannel(memory, file, offset, length, flags, true,
                     [rate](const std::string& path) { return plat::bass::OpenModuleStream(path, rate); });
}

BOOL Init(int device, HWND) {
  BassState& state = State();
  std::lock_guard lock(state.mutex);
  // -1 is the default device, 1 the first real one, 0 no sound at all.
  if (state.initialised || device < -1 || device > 1) return FALSE;
  if (device != 0) plat::audio::StartOutput();
  state.initialised = true;
  state.started = true;
  state.volumes = {};
  return TRUE;
}

}  // namespace

BOOL BASS_Init(int device, DWORD, DWORD, HWND window) { return Init(device, window); }

BOOL BASS_Init(int device, DWORD, DWORD, HWND window, const GUID*) { return Init(device, window); }

BOOL BASS_Free() {
  plat::audio::CatchUp();
  BassState& state = State();
  std::lock_guard lock(state.mutex);
  if (!state.initialised) return FALSE;
  state.channels.clear();
  state.initialised = false;
  return TRUE;
}

BOOL BASS_Stop() {
  plat::audio::CatchUp();
  BassState& state = State();
  std::lock_guard lock(state.mutex);
  if (!state.initialised) return FALSE;
  state.started = false;
  for (auto& [handle, channel] : state.channels) channel.stream->SetOutputRunning(false);
  return TRUE;
}

BOOL BASS_Start() {
  plat::audio::CatchUp();
  BassState& state = State();
  std::lock_guard lock(state.mutex);
  if (!state.initialised) return FALSE;
  state.started = true;
  for (auto& [handle, channel] : state.channels) channel.stream->SetOutputRunning(true);
  return TRUE;
}

BOOL BASS_SetGlobalVolumes(int music, int sample, int stream) {
  BassState& state = State();
  std::lock_guard lock(state.mutex);
  if (music != kLeaveVolume) state.volumes.music = ClampVolume(music);
  if (sample != kLeaveVolume) state.volumes.sample = ClampVolume(sample);
  if (stream != kLeaveVolume) state.volumes.stream = ClampVolume(stream);
  ApplyAllGainsLocked(state);
  return TRUE;
}

BOOL BASS_SetVolume(DWORD volume) {
  BassState& state = State();
  std::lock_guard lock(state.mutex);
  state.volumes.output = VolumeFromDword(volume);
  ApplyAllGainsLocked(state);
  return TRUE;
}

DWORD BASS_SetConfig(DWORD option, DWORD value) {
  BassState& state = State();
  std::lock_guard lock(state.mutex);
  int volume = VolumeFromDword(value);
  switch (option) {
    case BASS_CONFIG_BUFFER:
      state.bufferMs = std::clamp(value, kMinBufferMs, kMaxBufferMs);
      return state.bufferMs;
    case BASS_CONFIG_GVOL_SAMPLE:
      state.volumes.sample = volume;
      return static_cast<DWORD>(volume);
    case BASS_CONFIG_GVOL_STREAM:
      state.volumes.stream = volume;
      ApplyAllGainsLocked(state);
      return static_cast<DWORD>(volume);
    case BASS_CONFIG_GVOL_MUSIC:
      state.volumes.music = volume;
      ApplyAllGainsLocked(state);
      return static_cast<DWORD>(volume);
    default:
      return static_cast<DWORD>(-1);
  }
}

BOOL BASS_ChannelStop(DWORD channel) {
  return WithChannel(channel, Kind::Any, [](BassState&, BassState::Channel& c) {
    c.stream->Stop();
    return true;
  });
}

BOOL BASS_ChannelPause(DWORD channel) {
  return WithChannel(channel, Kind::Any, [](BassState&, BassState::Channel& c) {
    if (!c.stream->IsPlaying()) return false;
    c.stream->Pause();
    return true;
  });
}

BOOL BASS_ChannelResume(DWORD channel) {
  return WithChannel(channel, Kind::Any, [](BassState&, BassState::Channel& c) {
    if (!c.stream->IsPaused()) return false;
    c.stream->Resume();
    return true;
  });
}

BOOL BASS_ChannelSetAttributes(DWORD channel, int frequency, int volume, int pan) {
  return WithChannel(channel, Kind::Any, [&](BassState& state, BassState::Channel& c) {
    if (frequency == 0) {
      c.stream->SetFrequency(c.stream->Format().rate);
    } else if (frequency != kLeaveFrequency) {
      c.stream->SetFrequency(std::clamp(frequency, plat::audio::kMinRate, plat::audio::kMaxRate));
    }
    if (volume != kLeaveVolume) c.volume = ClampVolume(volume);
    if (pan != kLeavePan) c.pan = std::clamp(pan, -100, 100);
    ApplyGainLocked(state, c);
    return true;
  });
}

BOOL BASS_ChannelSetPosition(DWORD channel, QWORD position) {
  return WithChannel(channel, Kind::Any, [&](BassState&, BassState::Channel& c) {
    if (c.music) return position <= kMaxOrder && c.stream->SetOrder(static_cast<int>(position));
    return c.stream->SetPosition(position / c.stream->Format().FrameBytes());
  });
}

DWORD BASS_ChannelIsActive(DWORD channel) {
  DWORD active = BASS_ACTIVE_STOPPED;
  WithChannel(channel, Kind::Any, [&](BassState&, BassState::Channel& c) {
    if (c.stream->IsPlaying()) active = c.stream->IsPaused() ? BASS_ACTIVE_PAUSED : BASS_ACTIVE_PLAYING;
    return true;
  });
  return active;
}

HMUSIC BASS_MusicLoad(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags) {
  return LoadMusic(memory, file, offset, length, flags, 0);
}

HMUSIC BASS_MusicLoad(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags, DWORD frequency) {
  return LoadMusic(memory, file, offset, length, flags, frequency);
}

BOOL BASS_MusicPlay(HMUSIC music) {
  return WithChannel(music, Kind::Music, [](BassState&, BassState::Channel& c) {
    c.stream->Play(false, c.stream->IsLooping());
    return true;
  });
}

BOOL BASS_MusicPlayEx(HMUSIC music, DWORD position, int flags, BOOL) {
  return WithChannel(music, Kind::Music, [&](BassState&, BassState::Channel& c) {
    bool looping = (static_cast<DWORD>(flags) & BASS_SAMPLE_LOOP) != 0;
    if (position == kCurrentPosition) {
      c.stream->Play(false, looping);
      return true;
    }
    return position <= kMaxOrder && c.stream->PlayFromOrder(static_cast<int>(position), looping);
  });
}

void BASS_MusicFree(HMUSIC music) {
  plat::audio::CatchUp();
  BassState& state = State();
  std::lock_guard lock(state.mutex);
  BassState::Channel* channel = FindLocked(state, music);
  if (channel && channel->music) state.channels.erase(music);
}

BOOL BASS_MusicSetAmplify(HMUSIC music, DWORD amplify) {
  return WithChannel(music, Kind::Music, [&](BassState& state, BassState::Channel& c) {
    c.amplify = VolumeFromDword(amplify);
    ApplyGainLocked(state, c);
    return true;
  });
}

HSTREAM BASS_StreamCreateFile(BOOL memory, const void* file, DWORD offset, DWORD length, DWORD flags) {
  return OpenChannel(memory, file, offset, length, flags, false, plat::bass::OpenStreamDecoder);
}

void BASS_StreamFree(HSTREAM stream) {
  plat::audio::CatchUp();
  BassState& state = State();
  std::lock_guard lock(state.mutex);
  BassState::Channel* channel = FindLocked(state, stream);
  if (channel && !channel->music) state.channels.erase(stream);
}

BOOL BASS_StreamPlay(HSTREAM stream, BOOL flush, DWORD flags) {
  return WithChannel(stream, Kind::Stream, [&](BassState&, BassState::Channel& c) {
    c.stream->Play(flush != FALSE, (flags & BASS_SAMPLE_LOOP) != 0);
    return true;
  });
}

namespace plat {

BassGlobalVolumes BassVolumes() {
  std::lock_guard lock(State().mutex);
  return State().volumes;
}

bool BassIsInitialised() {
  std::lock_guard lock(State().mutex);
  return State().initialised;
}

bool BassIsStarted() {
  std::lock_guard lock(State().mutex);
  return State().initialised && State().started;
}

int BassStreamCount() {
  std::lock_guard lock(State().mutex);
  return static_cast<int>(State().channels.size());
}

bool BassChannelAttributes(DWORD channel, BassChannelState& out) {
  std::lock_guard lock(State().mutex);
  BassState::Channel* found = FindLocked(State(), channel);
  if (!found) return false;
  out.volume = found->volume;
  out.pan = found->pan;
  out.frequency = found->stream->Frequency();
  out.looping = found->stream->IsLooping();
  return true;
}

}  // namespace plat
