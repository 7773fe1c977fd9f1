#include "tests/support/WholeGame.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "game/front/ProfileStore.h"
#include "game/play/Actor.h"
#include "game/play/ActorScene.h"
#include "game/play/BackgroundAnim.h"
#include "game/play/Board.h"
#include "game/play/EmitterSet.h"
#include "game/play/GameApp.h"
#include "game/play/GlyphFont.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/PlayField.h"
#include "game/play/ResourceIds.h"
#include "platform/win/InputInjector.h"

namespace testsupport {

namespace {

constexpr int kLaunchX = 380;  // a little off the middle, where no brick column waits
constexpr int kPointerY = 500;
constexpr int kLaunchEveryTicks = 50;

const Actor* LowestBrick() {
  const Actor* lowest = nullptr;
  for (const Actor* brick : gActorScene.mBricks)
    if (brick->mAlive && IsTargetBrick(*brick) && (lowest == nullptr || brick->mY > lowest->mY)) lowest = brick;
  return lowest;
}

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
  while (LoadingThreadRunning()) {
    MSG msg{};
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);  // work the loading thread hands to this thread
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  GameApp::UpdateFrames();
}

void SteerPaddleUnderBall(GameApp& game) {
  PlayField* field = game.mPlayField;
  Actor* ball = field != nullptr ? field->FindBall() : nullptr;
  Actor* paddle = field != nullptr ? field->FindPaddle() : nullptr;
  if (ball == nullptr || paddle == nullptr) return;
  if (field->mState == PlayField::kBallOnPaddle) {
    plat::inject::MouseMove(kLaunchX, kPointerY);
    if (game.mUpdateCount % kLaunchEveryTicks == 0) {
      plat::inject::MouseButton(1, true, kLaunchX, kPointerY);
      plat::inject::MouseButton(1, false, kLaunchX, kPointerY);
    }
    return;
  }
  // The paddle turns an offset from its centre into an angle.
  const float ballX = ball->mX + ball->mRadius;
  float offset = 0.0f;
  if (const Actor* target = LowestBrick()) {
    const float across = target->mX + target->mWidth * 0.5f - ballX;
    const float up = paddle->mY - (target->mY + target->mHeight);
    const float angle = -std::atan2(across, up);
    offset = std::clamp(angle / (game.mPaddleAngleFactor * 0.45f), -0.8f, 0.8f);
  }
  plat::inject::MouseMove(static_cast<int>(ballX + offset * paddle->mWidth * 0.5f), kPointerY);
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

void WholeGameTest::SetUp() {
  if (!HasGeneratedGameData()) GTEST_SKIP() << "no generated data beside the program";
}

}  // namespace testsupport
