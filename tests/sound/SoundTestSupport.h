// Shared pieces of the sound tests: sound files written on the spot, a manager whose slots can be
// looked at, and a fixture that works in a fresh current folder on the fake clock.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "framework/sound/DSoundManager.h"
#include "platform/win/Time.h"
#include "tests/support/FileContents.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"
#include "tests/support/WavFile.h"

namespace soundtest {

using testsupport::Pcm16;
using testsupport::WavFile;

// A Sun AU file with the given header numbers and data.
std::string AuFile(std::uint32_t encoding, std::uint32_t rate, std::uint32_t channels,
                   const std::vector<std::uint8_t>& data);
using testsupport::ReadFileContents;
using testsupport::ReadTestData;

class InspectableDSoundManager : public Kit::DSoundManager {
 public:
  using DSoundManager::DSoundManager;
  LPDIRECTSOUNDBUFFER Source(unsigned int id) const { return sourceSounds[id]; }
  DWORD DataSize(unsigned int id) const { return sourceDataSizes[id]; }
  const std::string& Name(unsigned int id) const { return sourceFileNames[id]; }
  LPDIRECTSOUNDBUFFER Primary() const { return primaryBuffer; }
  int BusyChannels() const;
  // The bytes of the id's buffer and its format.
  std::vector<std::uint8_t> Bytes(unsigned int id) const;
  WAVEFORMATEX Format(unsigned int id) const;
};

HWND FakeWindow();

// The next stereo frame the shared mixer plays (left, right).
std::pair<int, int> Heard();

class SoundTest : public testing::Test {
 protected:
  SoundTest();
  ~SoundTest() override;

  testsupport::TempDir dir;
  testsupport::ScopedCurrentFolder inDir{dir.Path()};
  plat::FakeClock clock;
  plat::ScopedClock useClock{clock};
  HMODULE dsound = nullptr;
};

}  // namespace soundtest
