// The whole game on its generated data, headless on a fake clock, for the tests that play it end to end:
// the data folder beside the test programs, the game's single objects as a fresh program has them, a
// player's folder, registry and clock of the test's own, and the autopilot's pointer as injected (and so
// recorded) mouse input.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/registry/RegistryStore.h"
#include "platform/win/threads/Time.h"
#include "tests/support/Autopilot.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/ScopedSearchFolders.h"
#include "tests/support/TempDir.h"

#include "game/play/GameApp.h"

namespace Kit {
class Widget;
}

namespace testsupport {

// The game's data folder: beside the program, one level above the test programs.
std::filesystem::path GameDataFolder();
bool HasGeneratedGameData();
// The game's single objects as they are when the program starts.
void ResetGameObjects();
// Moves the pointer to the input's x, and clicks there when it asks, as queued input.
void InjectPointer(const PointerInput& input);
// Moves the pointer to the middle of the widget and clicks there, as queued input.
void ClickOn(const Kit::Widget& widget);

// The game as the whole-game tests run it: a fresh program's single objects, no command line, no lock
// against other copies, the hardest difficulty (the fastest ball: the shortest game), and only one frame in
// kDrawEveryTicks drawn (drawing changes nothing in the game; a final picture is drawn afresh).
class HeadlessGame : public GameApp {
 public:
  static constexpr int kMaxTicks = 60000;  // ten minutes of game time
  static constexpr int kDrawEveryTicks = 50;

  HeadlessGame();
  bool ChangeDirHook(const char*) override { return true; }  // the test runs in the data folder
  bool DrawFrame() override;
  // A tick waits (in real time) for the loading thread to end, so that loading takes the same ticks in
  // every run however busy the machine is, and the game that follows draws the same random numbers.
  void UpdateFrames() override;
};

// The player's folder, registry and clock of one test; headless.
class WholeGameTest : public testing::Test {
 protected:
  WholeGameTest();
  void SetUp() override;
  // The player's folder below mHome (made here) searched before the game's data, while the result lives.
  ScopedSearchFolders PlayerAndGameFolders();

  TempDir mHome;
  plat::ScopedRegistryFile mRegistry;
  ScopedCurrentFolder mFolder;
  plat::FakeClock mClock;
  plat::ScopedClock mScopedClock{mClock};
  plat::ScopedMessageBoxScript mBoxes{{}};
};

}  // namespace testsupport
