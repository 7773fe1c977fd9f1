// What the sound and music tests share: a fresh current folder on the fake clock that leaves the
// libraries' faults as it found them, a stand-in window, the shared mixer rendered by hand (the tests
// run without an audio device), and the end of the program that a missing library causes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/Types.h"
#include "platform/win/process/Process.h"
#include "platform/win/threads/Time.h"
#include "tests/support/FileContents.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"
#include "tests/support/WavFile.h"

namespace Kit {
class MusicInterface;
}

namespace testsupport {

HWND FakeWindow();

// A mono 16-bit PCM WAV file at `rate` of `frames` samples first, first + step, first + 2 × step, ...
std::string MonoWav(int rate, int frames, int first, int step = 0);

// The next `frames` stereo frames of the shared mixer: the left channel.
std::vector<std::int16_t> RenderLeft(std::size_t frames);
int Peak(const std::vector<std::int16_t>& samples);
// The next stereo frame the shared mixer plays once it has caught up with the clock (left, right).
std::pair<int, int> Heard();

// Song `id` of `music` is SquareWaveMod({64, 32, 16}): plays it from order 0, then once from order 2,
// which is a quarter as loud, to its end. Returns the loudness of order 0.
int PlayModuleOrdersOnce(Kit::MusicInterface& music, int id);

// Runs `action`, which must end the program with a failure status after showing one message box; returns
// that box.
template <typename Action>
plat::ShownMessageBox FatalEnd(Action action) {
  plat::ScopedMessageBoxScript boxes;
  plat::ScopedExitCatcher catcher;
  try {
    action();
    ADD_FAILURE() << "the program went on";
  } catch (const plat::ProcessExit& exit) {
    EXPECT_EQ(exit.code, static_cast<UINT>(EXIT_FAILURE));
  }
  EXPECT_EQ(boxes.Shown().size(), 1u);
  return boxes.Shown().empty() ? plat::ShownMessageBox{} : boxes.Shown().front();
}

class AudioTest : public testing::Test {
 protected:
  ~AudioTest() override;

  TempDir dir;
  ScopedCurrentFolder inDir{dir.Path()};
  plat::FakeClock clock;
  plat::ScopedClock useClock{clock};
};

}  // namespace testsupport
