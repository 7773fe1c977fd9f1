// A small program built on the application object: it starts, loads on its loading thread, hands
// over to a screen that draws through the display, follows the injected pointer, and shuts down
// cleanly. And the fatal paths of Init, through the exit hook.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/widget/Widget.h"
#include "framework/widget/WidgetManager.h"
#include "platform/ddraw/PresentedFrame.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/input/InputInjector.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/process/DebugOutput.h"
#include "platform/win/process/Process.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/window/Window.h"
#include "tests/support/HeadlessApp.h"

namespace {

// The game's first screen: a green field that ends the program once it has been drawn twice.
class FieldScreen : public Kit::Widget {
 public:
  void Update() override {
    Widget::Update();
    MarkDirty();
    ++mTicks;
    if ((mTicks > 5 && mDraws > 1) || mTicks > 2000) Kit::gKitApp->Shutdown();
  }
  void Draw(Kit::Graphics* g) override {
    g->SetColor(Kit::Color(0, 255, 0));
    g->FillRect(0, 0, mWidth, mHeight);
    ++mDraws;
  }

  int mTicks = 0;
  int mDraws = 0;
};

class HeadlessGame : public testsupport::HeadlessApp {
 public:
  HeadlessGame() : HeadlessApp("HeadlessGame") { mTitle = "Headless"; }
  ~HeadlessGame() override {
    if (mScreen.mParent != nullptr) mWidgetManager->RemoveWidget(&mScreen);
  }
  void LoadingThreadProc() override {
    mNumLoadingThreadTasks = 4;
    for (int i = 0; i < 4; ++i) ++mCompletedLoadingThreadTasks;
  }
  void LoadingThreadCompleted() override {
    ++mHandOvers;
    mScreen.Resize(0, 0, mWidth, mHeight);
    mWidgetManager->AddWidget(&mScreen);
    mWidgetManager->SetFocus(&mScreen);
  }
  void ShutdownHook() override {
    mShownAtShutdown = plat::ReadPresentedFrame(mHWnd);
    mProgressAtShutdown = GetLoadingThreadProgress();
  }

  FieldScreen mScreen;
  int mHandOvers = 0;
  plat::PresentedFrame mShownAtShutdown;
  double mProgressAtShutdown = -1;
};

using HeadlessAppTest = testsupport::AppFixture;

TEST_F(HeadlessAppTest, StartsLoadsTicksDrawsAndShutsDown) {
  plat::ScopedDebugCapture debug;
  HeadlessGame game;
  game.Init();
  ASSERT_TRUE(game.mInitialized);
  ASSERT_NE(game.mHWnd, nullptr);
  ASSERT_NE(game.mDDInterface, nullptr);
  EXPECT_TRUE(game.mWindowedInUse);
  EXPECT_EQ(game.mWidgetManager->mImage, game.mDDInterface->GetScreenImage());

  game.Start();

  EXPECT_TRUE(game.mQuit);
  EXPECT_EQ(game.mHandOvers, 1);
  EXPECT_DOUBLE_EQ(game.mProgressAtShutdown, 1.0);
  EXPECT_GT(game.mScreen.mTicks, 5);
  EXPECT_GT(game.mDrawCount.load(), 1);
  ASSERT_EQ(game.mShownAtShutdown.width, 320);
  EXPECT_EQ(game.mShownAtShutdown.At(10, 10), 0x00FF00u) << "the window shows the screen's frame";

  const std::string text = debug.Text();
  EXPECT_NE(text.find("Resource Loading Time: "), std::string::npos);
  EXPECT_NE(text.find("Update Count  = " + std::to_string(game.mUpdateCount)), std::string::npos);
  EXPECT_NE(text.find("Draw Count    = "), std::string::npos);
}

// Follows the pointer into the window and out of it again.
class HoverScreen : public Kit::Widget {
 public:
  void Update() override {
    Widget::Update();
    ++mTicks;
    if (mTicks == 5) plat::inject::MouseMove(40, 30);
    if (mTicks == 40) plat::inject::MouseMove(-30, -30);
    if (mLeft || mTicks > 400) Kit::gKitApp->Shutdown();
  }
  void MouseEnter() override { mEntered = true; }
  void MouseLeave() override {
    if (mEntered) mLeft = true;
  }
  int mTicks = 0;
  bool mEntered = false;
  bool mLeft = false;
};

TEST_F(HeadlessAppTest, ThePointerLeavingTheWindowLeavesTheWidgets) {
  struct HoverGame : HeadlessGame {
    void LoadingThreadCompleted() override {
      mHover.Resize(0, 0, mWidth, mHeight);
      mWidgetManager->AddWidget(&mHover);
    }
    ~HoverGame() override { mWidgetManager->RemoveWidget(&mHover); }
    HoverScreen mHover;
  };
  HoverGame game;
  game.Init();
  game.Start();
  EXPECT_TRUE(game.mHover.mEntered);
  EXPECT_TRUE(game.mHover.mLeft) << "the timer's pointer test tells the widgets the pointer left";
  EXPECT_FALSE(game.mMouseIn);
}

TEST_F(HeadlessAppTest, InitAndStartDoNothingOnceQuitting) {
  HeadlessGame game;
  game.mQuit = true;
  game.Init();
  game.Start();
  EXPECT_FALSE(game.mInitialized);
  EXPECT_EQ(game.mHWnd, nullptr);
  EXPECT_FALSE(game.mLoadingThreadStarted);
}

TEST_F(HeadlessAppTest, WithoutDirectDrawTheUserIsToldAndTheProgramEndsWithAFailureStatus) {
  plat::SetModuleMissing("ddraw.dll", true);
  plat::ScopedMessageBoxScript boxes;
  plat::ScopedExitCatcher exits;
  {
    HeadlessGame game;
    try {
      game.Init();
      ADD_FAILURE() << "Init went on without DirectX";
    } catch (const plat::ProcessExit& exit) {
      EXPECT_EQ(exit.code, static_cast<UINT>(EXIT_FAILURE));
    }
    EXPECT_EQ(game.mHWnd, nullptr);
  }
  plat::SetModuleMissing("ddraw.dll", false);
  const auto shown = boxes.Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, "You need DirectX");
  EXPECT_EQ(shown[0].text.rfind("This application requires DirectX to run.  You can get DirectX at ", 0), 0u);
  EXPECT_TRUE(shown[0].type & MB_ICONERROR);
}

TEST_F(HeadlessAppTest, ASecondCopyNotifiesTheFirstAndEndsWithoutAWindow) {
  HeadlessGame first;
  first.Init();
  ASSERT_TRUE(first.mInitialized);
  plat::ScopedExitCatcher exits;
  auto* second = new HeadlessGame();
  try {
    second->Init();
    ADD_FAILURE() << "the second copy went on";
  } catch (const plat::ProcessExit& exit) {
    EXPECT_EQ(exit.code, 0u);
  }
  EXPECT_EQ(second->mHWnd, nullptr);
  // The second object never ran; only the first stays the application.
  second->mQuit = true;
  delete second;
  Kit::gKitApp = &first;
}

TEST_F(HeadlessAppTest, AManifestThatCannotBeReadIsShownAndEndsTheProgramWithAFailureStatus) {
  plat::ScopedMessageBoxScript boxes;
  plat::ScopedExitCatcher exits;
  HeadlessGame game;
  try {
    game.LoadResourceManifest("no-such-manifest.xml");
    ADD_FAILURE();
  } catch (const plat::ProcessExit& exit) {
    EXPECT_EQ(exit.code, static_cast<UINT>(EXIT_FAILURE));
  }
  const auto shown = boxes.Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, "FATAL ERROR");
  EXPECT_FALSE(shown[0].text.empty());
}

// The same error met on another thread (the loading thread's): nothing is shown there; the main thread
// shows it and ends the program with the same failure status.
TEST_F(HeadlessAppTest, AFatalResourceErrorOfAnotherThreadIsShownByTheMainThreadAndEndsWithAFailureStatus) {
  plat::ScopedMessageBoxScript boxes;
  plat::ScopedExitCatcher exits;
  HeadlessGame game;
  std::thread([&game] { game.LoadResourceManifest("no-such-manifest.xml"); }).join();
  EXPECT_TRUE(boxes.Shown().empty()) << "the other thread shows nothing";
  try {
    game.Process(false);
    ADD_FAILURE() << "the program went on";
  } catch (const plat::ProcessExit& exit) {
    EXPECT_EQ(exit.code, static_cast<UINT>(EXIT_FAILURE));
  }
  const auto shown = boxes.Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, "FATAL ERROR");
}

TEST_F(HeadlessAppTest, InfoTextNamesTheProductAndTheMode) {
  HeadlessGame game;
  game.mProductVersion = "1.0";
  const std::string text = game.GetAppInfoText();
  EXPECT_EQ(text.rfind("Product: " + game.mProdName + "\r\nVersion: 1.0\r\nTime Loaded: 00:00:0", 0), 0u);
  EXPECT_NE(text.find("\r\nFullscreen: No\r\nPrimary ThreadId: "), std::string::npos);
}

}  // namespace
