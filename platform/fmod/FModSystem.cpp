// The sample and channel calls of the layer's "fmod.dll". Every handle the program passes in is
// checked against the live ones, so a stale or foreign pointer is refused instead of followed.
#include <algorithm>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "platform/audio/AudioOutput.h"
#include "platform/fmod/FMod.h"
#include "platform/fmod/FModSample.h"
#include "platform/fmod/FModSongs.h"
#include "platform/fmod/SoundFileDecoder.h"

namespace {

constexpr int kMaxChannels = 1024;

struct Channel {
  std::unique_ptr<plat::audio::Voice> voice;
  int volume = FSOUND_FULL_VOLUME;
  int pan = 128;
};

struct FModState {
  std::mutex mutex;
  bool initialised = false;
  std::vector<Channel> channels;
  std::set<FSOUND_SAMPLE*> samples;
};

FModState& State() {
  static FModState* state = new FModState;  // handles may be released during static destruction
  return *state;
}

bool LiveLocked(FModState& state, FSOUND_SAMPLE* sample) { return sample && state.samples.count(sample) > 0; }

Channel* ChannelLocked(FModState& state, int channel) {
  if (channel < 0 || static_cast<std::size_t>(channel) >= state.channels.size()) return nullptr;
  return &state.channels[static_cast<std::size_t>(channel)];
}

void ApplyGain(Channel& channel) {
  float gain = static_cast<float>(std::clamp(channel.volume, 0, FSOUND_FULL_VOLUME)) / FSOUND_FULL_VOLUME;
  // Pan 0 is full left, 255 full right, 128 the middle; the far side fades out linearly.
  int pan = std::clamp(channel.pan, 0, 255);
  float left = pan <= 128 ? 1.0f : static_cast<float>(255 - pan) / 127.0f;
  float right = pan >= 128 ? 1.0f : static_cast<float>(pan) / 128.0f;
  channel.voice->SetGain(gain * left, gain * right);
}

void CloseLocked(FModState& state) {
  state.channels.clear();
  for (FSOUND_SAMPLE* sample : state.samples) delete sample;
  state.samples.clear();
  state.initialised = false;
}

FSOUND_SAMPLE* AddSampleLocked(FModState& state, std::shared_ptr<plat::audio::SampleBuffer> buffer) {
  auto* sample = new FSOUND_SAMPLE;
  sample->defaultFrequency = buffer->Format().rate;
  sample->samples = std::move(buffer);
  state.samples.insert(sample);
  return sample;
}

}  // namespace

// The shared mixer sets the output's latency and needs no window: both settings are accepted as given.
F_BOOL FSOUND_SetBufferSize(int milliseconds) { return milliseconds >= 0 ? 1 : 0; }

F_BOOL FSOUND_SetHWND(void*) { return 1; }

F_BOOL FSOUND_Init(int mixRate, int maxChannels, unsigned int) {
  if (mixRate < plat::audio::kMinRate || mixRate > plat::audio::kMaxRate || maxChannels < 1 ||
      maxChannels > kMaxChannels) {
    return 0;
  }
  plat::audio::StartOutput();
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  state.channels.clear();
  state.channels.resize(static_cast<std::size_t>(maxChannels));
  state.initialised = true;
  return 1;
}

void FSOUND_Close() {
  plat::fmod::FreeAllSongs();
  std::lock_guard lock(State().mutex);
  CloseLocked(State());
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int, const char* name, unsigned int mode, int) {
  if (!name) return nullptr;
  // Decoding takes a while; it runs without the lock so that playing goes on meanwhile.
  std::shared_ptr<plat::audio::SampleBuffer> buffer = plat::fmod::DecodeSoundFile(name);
  if (!buffer) return nullptr;
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  FSOUND_SAMPLE* sample = AddSampleLocked(state, std::move(buffer));
  sample->looping = (mode & FSOUND_LOOP_NORMAL) != 0;
  return sample;
}

FSOUND_SAMPLE* FSOUND_Sample_Alloc(int, int length, unsigned int mode, int frequency, int volume, int pan,
                                   int priority) {
  plat::audio::PcmFormat format{(mode & FSOUND_MONO) ? 1 : 2, frequency, (mode & FSOUND_8BITS) ? 8 : 16};
  if (length <= 0 || !format.IsValid()) return nullptr;
  std::size_t bytes = static_cast<std::size_t>(length) * format.FrameBytes();
  if (bytes > plat::fmod::kMaxDecodedBytes) return nullptr;
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  FSOUND_SAMPLE* sample = AddSampleLocked(state, std::make_shared<plat::audio::SampleBuffer>(format, bytes));
  sample->defaultVolume = volume;
  sample->defaultPan = pan;
  sample->priority = priority;
  sample->looping = (mode & FSOUND_LOOP_NORMAL) != 0;
  return sample;
}

void FSOUND_Sample_Free(FSOUND_SAMPLE* sample) {
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  if (!LiveLocked(state, sample)) return;
  // Channels playing it keep the data alive through their own reference until they are reused.
  for (int i = 0; i < sample->openLocks; ++i) sample->samples->EndWrite();
  state.samples.erase(sample);
  delete sample;
}

F_BOOL FSOUND_Sample_Lock(FSOUND_SAMPLE* sample, int offset, int length, void** part1, void** part2,
                          unsigned int* length1, unsigned int* length2) {
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  if (!LiveLocked(state, sample) || !part1 || !length1 || offset < 0 || length <= 0) return 0;
  std::size_t size = sample->samples->Bytes();
  if (static_cast<std::size_t>(offset) >= size) return 0;
  sample->samples->BeginWrite();
  ++sample->openLocks;
  *part1 = sample->samples->Data() + offset;
  *length1 =
      static_cast<unsigned int>(std::min(static_cast<std::size_t>(length), size - static_cast<std::size_t>(offset)));
  if (part2) *part2 = nullptr;
  if (length2) *length2 = 0;
  return 1;
}

F_BOOL FSOUND_Sample_Unlock(FSOUND_SAMPLE* sample, void*, void*, unsigned int, unsigned int) {
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  if (!LiveLocked(state, sample) || sample->openLocks == 0) return 0;
  --sample->openLocks;
  sample->samples->EndWrite();
  return 1;
}

F_BOOL FSOUND_Sample_SetLoopPoints(FSOUND_SAMPLE* sample, int loopStart, int loopEnd) {
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  if (!LiveLocked(state, sample) || loopStart < 0 || loopEnd < loopStart ||
      static_cast<std::size_t>(loopEnd) >= sample->samples->Frames()) {
    return 0;
  }
  sample->loopStart = static_cast<std::size_t>(loopStart);
  sample->loopEnd = static_cast<std::size_t>(loopEnd);
  return 1;
}

unsigned int FSOUND_Sample_GetLength(FSOUND_SAMPLE* sample) {
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  return LiveLocked(state, sample) ? static_cast<unsigned int>(sample->samples->Frames()) : 0;
}

F_BOOL FSOUND_Sample_GetDefaults(FSOUND_SAMPLE* sample, int* frequency, int* volume, int* pan, int* priority) {
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  if (!LiveLocked(state, sample)) return 0;
  if (frequency) *frequency = sample->defaultFrequency;
  if (volume) *volume = sample->defaultVolume;
  if (pan) *pan = sample->defaultPan;
  if (priority) *priority = sample->priority;
  return 1;
}

unsigned int FSOUND_Sample_GetMode(FSOUND_SAMPLE* sample) {
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  if (!LiveLocked(state, sample)) return 0;
  const plat::audio::PcmFormat& format = sample->samples->Format();
  return (sample->looping ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF) | (format.bits == 8 ? FSOUND_8BITS : FSOUND_16BITS) |
         (format.channels == 1 ? FSOUND_MONO : FSOUND_STEREO);
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
  plat::audio::CatchUp();
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  if (!state.initialised || !LiveLocked(state, sample)) return -1;
  if (channel == FSOUND_FREE) {
    auto idle = std::find_if(state.channels.begin(), state.channels.end(),
                             [](const Channel& c) { return !c.voice || !c.voice->IsPlaying(); });
    if (idle == state.channels.end()) return -1;
    channel = static_cast<int>(idle - state.channels.begin());
  }
  Channel* target = ChannelLocked(state, channel);
  if (!target) return -1;
  target->voice = plat::audio::SharedMixer().CreateVoice(sample->samples);
  target->volume = std::min(sample->defaultVolume, FSOUND_FULL_VOLUME);
  target->pan = sample->defaultPan;
  ApplyGain(*target);
  target->voice->SetFrequency(sample->defaultFrequency);
  if (sample->loopStart != 0 || sample->loopEnd != 0)
    target->voice->SetLoopRegion(sample->loopStart, sample->loopEnd + 1);
  target->voice->Play(sample->looping);
  return channel;
}

F_BOOL FSOUND_StopSound(int channel) {
  plat::audio::CatchUp();
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  Channel* target = ChannelLocked(state, channel);
  if (!target) return 0;
  if (target->voice) target->voice->Stop();
  return 1;
}

F_BOOL FSOUND_SetVolume(int channel, int volume) {
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  Channel* target = ChannelLocked(state, channel);
  if (!target || !target->voice) return 0;
  target->volume = volume;
  ApplyGain(*target);
  return 1;
}

F_BOOL FSOUND_SetPaused(int channel, F_BOOL paused) {
  plat::audio::CatchUp();
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  Channel* target = ChannelLocked(state, channel);
  if (!target || !target->voice) return 0;
  target->voice->SetPaused(paused != 0);
  return 1;
}

F_BOOL FSOUND_SetLoopMode(int channel, unsigned int loopMode) {
  plat::audio::CatchUp();
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  Channel* target = ChannelLocked(state, channel);
  if (!target || !target->voice) return 0;
  target->voice->SetLooping((loopMode & FSOUND_LOOP_NORMAL) != 0);
  return 1;
}

F_BOOL FSOUND_IsPlaying(int channel) {
  plat::audio::CatchUp();
  FModState& state = State();
  std::lock_guard lock(state.mutex);
  Channel* target = ChannelLocked(state, channel);
  return target && target->voice && target->voice->IsPlaying() ? 1 : 0;
}

FSOUND_STREAM* FSOUND_Stream_OpenFile(const char*, unsigned int, int) { return nullptr; }
F_BOOL FSOUND_Stream_Close(FSOUND_STREAM*) { return 0; }
int FSOUND_Stream_Play(int, FSOUND_STREAM*) { return -1; }
