#include "tests/support/WholeGame.h"

#include <cstdlib>

#include "game/front/ProfileStore.h"
#include "game/play/ActorScene.h"
#include "game/play/BackgroundAnim.h"
#include "game/play/Board.h"
#include "game/play/EmitterSet.h"
#include "game/play/GameApp.h"
#include "game/play/GlyphFont.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/PlayField.h"
#include "game/play/ResourceIds.h"
#include "platform/win/input/InputInjector.h"
#include "tests/support/PollUntil.h"

namespace testsupport {

namespace {

constexpr int kPointerY = 500;  // any height on the field: the paddle follows only x

}  // namespace

std::filesystem::path GameDataFolder() {
  return std::filesystem::canonical("/proc/self/exe").parent_path().parent_path();
}

bool HasGeneratedGameData() { return std::filesystem::exists(GameDataFolder() / "properties" / "resources.xml"); }

// The background draws its pauses from the generator as it stands before the entry function.
void ResetGameObjects() {
  gActorScene.Reset();
  gEmitterSet.Clear();
  gObjectLibrary.Reset();
  gGlyphFont.Reset();
  gBoard.ClearEffects();
  gProfileStore = ProfileStore();
  gEndGameFrameCount = 0;
  ResetResourceIds();
  std::srand(1);
  gBackgroundAnim = BackgroundAnim();
}

HeadlessGame::HeadlessGame() {
  ResetGameObjects();
  mCmdLineParsed = true;
  mOnlyAllowOneCopyToRun = false;
  mDifficulty = 3;
}

bool HeadlessGame::DrawFrame() {
  if (mUpdateCount % kDrawEveryTicks == 0) return GameApp::DrawFrame();
  mHasPendingDraw = false;
  return false;
}

void HeadlessGame::UpdateFrames() {
  EXPECT_TRUE(testsupport::PollUntil([this] { return !LoadingThreadRunning(); },
                                     [] {
                                       MSG msg{};
                                       PeekMessage(&msg, nullptr, 0, 0,
                                                   PM_NOREMOVE);  // work the loading thread hands to this thread
                                       testsupport::PauseBriefly();
                                     }));
  GameApp::UpdateFrames();
}

void InjectPointer(const PointerInput& input) {
  plat::inject::MouseMove(input.x, kPointerY);
  if (!input.click) return;
  plat::inject::MouseButton(1, true, input.x, kPointerY);
  plat::inject::MouseButton(1, false, input.x, kPointerY);
}

void ClickOn(const Kit::Widget& widget) {
  const int x = widget.mX + widget.mWidth / 2, y = widget.mY + widget.mHeight / 2;
  plat::inject::MouseMove(x, y);
  plat::inject::MouseButton(1, true, x, y);
  plat::inject::MouseButton(1, false, x, y);
}

WholeGameTest::WholeGameTest() : mRegistry(mHome.Path() / "registry"), mFolder(GameDataFolder()) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("XDG_DATA_HOME", (mHome.Path() / "data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (mHome.Path() / "config").c_str(), 1);
}

ScopedSearchFolders WholeGameTest::PlayerAndGameFolders() {
  std::filesystem::create_directories(mHome.Path() / "player");
  return ScopedSearchFolders(mHome.Path() / "player", GameDataFolder());
}

void WholeGameTest::SetUp() {
  if (!HasGeneratedGameData()) GTEST_SKIP() << "no generated data beside the program";
}

}  // namespace testsupport
