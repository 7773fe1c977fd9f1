#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/audio/AudioOutput.h"
#include "platform/dsound/DSound.h"
#include "tests/support/PollUntil.h"
#include "tests/support/TempDir.h"

namespace {

// Whether the raw 16-bit samples written to the file so far hold the value.
bool FileHoldsSample(const std::string& path, std::int16_t value) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (std::size_t i = 0; i + 1 < written.size(); i += 2) {
    std::int16_t sample;
    std::memcpy(&sample, &written[i], 2);
    if (sample == value) return true;
  }
  return false;
}

// Plays a square wave through DirectSound on the disk driver; 0 when the device wrote it out.
int PlayToneThroughDiskDevice(const std::string& output) {
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
  LPDIRECTSOUND ds = nullptr;
  if (DirectSoundCreate(nullptr, &ds, nullptr) != DS_OK) return 2;
  if (!plat::audio::HasOutputDevice()) {
    ds->Release();
    return 2;
  }
  WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
  DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_STATIC, 88200, 0, &format};
  LPDIRECTSOUNDBUFFER buffer = nullptr;
  ds->CreateSoundBuffer(&desc, &buffer, nullptr);
  void* data = nullptr;
  DWORD bytes = 0;
  buffer->Lock(0, 88200, &data, &bytes, nullptr, nullptr, 0);
  std::vector<std::int16_t> tone(44100);
  for (std::size_t i = 0; i < tone.size(); ++i) tone[i] = (i / 50) % 2 ? 8000 : -8000;
  std::memcpy(data, tone.data(), bytes);
  buffer->Unlock(data, bytes, nullptr, 0);
  buffer->Play(0, 0, 0);
  // The driver writes in real time, a chunk at a time: look until the tone has reached the file.
  const bool played = testsupport::PollUntil([&] { return FileHoldsSample(output, 8000); });
  buffer->Release();
  ds->Release();
  return played ? 0 : 3;
}

// In a fresh process (the threadsafe death-test style re-runs the binary), SDL's "disk" driver stands in
// for a sound card: it writes what the device plays to a file, in real time. The child runs this body
// afresh, with a folder of its own, which it removes itself: exit skips its destructor.
TEST(AudioDeviceDeathTest, ADeviceDriverPlaysTheMixerOut) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  testsupport::TempDir dir;
  std::string output = dir / "device.raw";
  EXPECT_EXIT(
      {
        const int status = PlayToneThroughDiskDevice(output);
        std::filesystem::remove_all(dir.Path());
        std::exit(status);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
