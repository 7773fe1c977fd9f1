// Shared pieces of the music tests: WAV files written on the spot, the shared mixer rendered by hand
// (the tests run without an audio device), and a fixture that works in a fresh current folder on the
// fake clock and leaves the music libraries as it found them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/Time.h"
#include "platform/win/Types.h"
#include "tests/support/FileContents.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"
#include "tests/support/WavFile.h"

namespace Kit {
class MusicInterface;
}

namespace musictest {

// A 16-bit PCM WAV of interleaved samples.
std::string Wav16(int channels, int rate, const std::vector<std::int16_t>& samples);
// `frames` mono samples first, first + step, first + 2 × step, ...
std::vector<std::int16_t> Ramp(int frames, int first, int step);
std::vector<std::int16_t> Constant(int frames, std::int16_t value);
using testsupport::ReadFileContents;
using testsupport::ReadTestData;

// Renders `frames` stereo frames of the shared mixer; returns the left channel.
std::vector<std::int16_t> RenderLeft(std::size_t frames);
int Peak(const std::vector<std::int16_t>& samples);

HWND FakeWindow();

// Song `id` of `music` is testsupport::SquareWaveMod({64, 32, 16}): plays it from order 0, then once from
// order 2, which is a quarter as loud, to its end. Returns the loudness of order 0.
int PlayModuleOrdersOnce(Kit::MusicInterface& music, int id);

class MusicTest : public testing::Test {
 protected:
  MusicTest();
  ~MusicTest() override;

  testsupport::TempDir dir;
  testsupport::ScopedCurrentFolder inDir{dir.Path()};
  plat::FakeClock clock;
  plat::ScopedClock useClock{clock};
};

}  // namespace musictest
