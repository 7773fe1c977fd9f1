#include "platform/audio/AudioOutput.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/win/process/DebugOutput.h"
#include "platform/win/threads/FaultStack.h"
#include "platform/win/threads/Time.h"

namespace plat::audio {

namespace {

constexpr int kOutputRate = 44100;
// About 12 ms per block: short enough for effects to feel immediate, long enough not to starve.
constexpr Uint16 kDeviceBlockFrames = 512;

struct OutputState {
  std::mutex mutex;
  bool started = false;
  SDL_AudioDeviceID device = 0;
  bool clockStarted = false;
  std::uint64_t lastMicros = 0;
  std::uint64_t microRemainder = 0;  // micros × rate not yet turned into a whole frame
};

OutputState& State() {
  static OutputState* state = new OutputState;  // outlives every static destructor that may still play
  return *state;
}

// Runs on SDL's audio thread, which the program did not start: it takes its fault stack here.
void FillFromMixer(void*, Uint8* stream, int length) {
  plat::UseFaultStack();
  SharedMixer().Mix(reinterpret_cast<std::int16_t*>(stream), static_cast<std::size_t>(length) / 4);
}

void CloseDevice() {
  OutputState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.device) {
    SDL_CloseAudioDevice(state.device);
    state.device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
}

// While it lives, what the audio libraries print on the standard error goes nowhere: a machine without
// a sound card makes them print a page of their own errors, where one line of ours says it all.
class QuietStandardError {
 public:
  QuietStandardError() : mSaved(dup(STDERR_FILENO)) {
    const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (mSaved >= 0 && nowhere >= 0) dup2(nowhere, STDERR_FILENO);
    if (nowhere >= 0) close(nowhere);
  }
  ~QuietStandardError() {
    if (mSaved < 0) return;
    dup2(mSaved, STDERR_FILENO);
    close(mSaved);
  }
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  int mSaved;
};

void SayRunningSilent() {
  OutputDebugString(("No sound device (" + std::string(SDL_GetError()) + "): running silent.\n").c_str());
}

SDL_AudioDeviceID OpenQuietly(const SDL_AudioSpec& wanted, SDL_AudioSpec& obtained) {
  QuietStandardError quiet;
  return SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
}

SDL_AudioDeviceID OpenDevice() {
  bool initialised = false;
  {
    QuietStandardError quiet;
    initialised = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  }
  if (!initialised) {
    SayRunningSilent();
    return 0;
  }
  const char* driver = SDL_GetCurrentAudioDriver();
  // The dummy driver plays into nothing at a pace of its own; the clock-driven silent mode is exact.
  if (!driver || std::strcmp(driver, "dummy") == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
  SDL_AudioSpec wanted{};
  wanted.freq = kOutputRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 2;
  wanted.samples = kDeviceBlockFrames;
  wanted.callback = FillFromMixer;
  SDL_AudioSpec obtained{};
  SDL_AudioDeviceID device = OpenQuietly(wanted, obtained);
  if (device == 0) {
    SayRunningSilent();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
  SDL_PauseAudioDevice(device, 0);
  return device;
}

}  // namespace

Mixer& SharedMixer() {
  static Mixer* mixer = new Mixer(kOutputRate);  // the audio thread may mix until the process is gone
  return *mixer;
}

bool StartOutput() {
  OutputState& state = State();
  std::lock_guard lock(state.mutex);
  if (!state.started) {
    state.started = true;
    state.device = OpenDevice();
    if (state.device) std::atexit(CloseDevice);
  }
  return state.device != 0;
}

bool HasOutputDevice() {
  OutputState& state = State();
  std::lock_guard lock(state.mutex);
  return state.device != 0;
}

void CatchUp() {
  OutputState& state = State();
  std::uint64_t frames = 0;
  {
    std::lock_guard lock(state.mutex);
    if (state.device) return;
    std::uint64_t now = CurrentClock().NowMicros();
    // A clock swapped for another (tests) may jump backwards: start counting afresh from it.
    if (!state.clockStarted || now < state.lastMicros) {
      state.clockStarted = true;
      state.lastMicros = now;
      state.microRemainder = 0;
      return;
    }
    std::uint64_t scaled = (now - state.lastMicros) * kOutputRate + state.microRemainder;
    state.lastMicros = now;
    frames = scaled / 1'000'000;
    state.microRemainder = scaled % 1'000'000;
  }
  if (frames > 0) SharedMixer().Skip(frames);
}

}  // namespace plat::audio
