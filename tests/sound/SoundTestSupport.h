// Shared pieces of the sound tests: Sun AU files written on the spot, a manager whose slots can be
// looked at, and the audio fixture with the DirectSound stand-in loaded.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "framework/sound/DSoundManager.h"
#include "tests/support/AudioFixture.h"

namespace soundtest {

using namespace testsupport;

// A Sun AU file with the given header numbers and data.
std::string AuFile(std::uint32_t encoding, std::uint32_t rate, std::uint32_t channels,
                   const std::vector<std::uint8_t>& data);

class InspectableDSoundManager : public Kit::DSoundManager {
 public:
  using DSoundManager::DSoundManager;
  LPDIRECTSOUNDBUFFER Source(unsigned int id) const { return mSourceSounds[id]; }
  DWORD DataSize(unsigned int id) const { return mSourceDataSizes[id]; }
  const std::string& Name(unsigned int id) const { return mSourceFileNames[id]; }
  LPDIRECTSOUNDBUFFER Primary() const { return mPrimaryBuffer; }
  int BusyChannels() const;
  // The bytes of the id's buffer and its format.
  std::vector<std::uint8_t> Bytes(unsigned int id) const;
  WAVEFORMATEX Format(unsigned int id) const;
};

class SoundTest : public AudioTest {
 protected:
  SoundTest();
  ~SoundTest() override;

  HMODULE dsound = nullptr;
};

}  // namespace soundtest
