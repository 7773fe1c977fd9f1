// The screens in a real window: the game, on its generated data, runs against a private Xvfb server with
// SDL's X11 driver and is played into a level; the main menu, the scene select, the level in play, the
// in-game menu, the options dialog and the warning its 3D box opens are presented and read back from the X window. Each
// shot must show, at known places, the pixels of the images that screen draws there. On the way the help screen's
// "More" asks the desktop for the help page, and the options switch to full screen and back to the window. The shots
// that the README shows (main menu, scene select, options) are written at half size as PNG files into
// QUARVEL_SHOTS_DIR when it is set. Skipped without Xvfb.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "framework/widget/Checkbox.h"
#include "framework/widget/Dialog.h"
#include "framework/widget/DialogButton.h"
#include "framework/widget/EditWidget.h"
#include "framework/widget/WidgetManager.h"
#include "game/front/EnterNameDialog.h"
#include "game/front/HelpScreen.h"
#include "game/front/InGameMenuDialog.h"
#include "game/front/MainMenuScreen.h"
#include "game/front/OptionsDialog.h"
#include "game/front/ProfileStore.h"
#include "game/front/SceneSelectScreen.h"
#include "game/play/GameApp.h"
#include "game/play/PlayField.h"
#include "game/play/ResourceIds.h"
#include "platform/shell/Shell.h"
#include "platform/win/input/InputInjector.h"
#include "platform/win/window/SdlWindow.h"
#include "tests/screens/WindowShot.h"
#include "tests/support/ScopedSearchFolders.h"
#include "tests/support/WholeGame.h"
#include "tests/support/XWindowPixels.h"
#include "tests/support/XvfbServer.h"

namespace {

using testsupport::KnownPixel;

constexpr const char* kChildMark = "QUARVEL_SHOTS_XVFB_CHILD";
// The shots of this test that the README shows (the tour makes the others).
const std::vector<std::string> kReadmeShots = {"mainmenu", "sceneselect", "options"};
// Plays into the first level as a player would and shoots each screen once it is up and drawn.
class ShotGame : public testsupport::HeadlessGame {
 public:
  static constexpr int kSettleTicks = 20;  // a screen is shot this long after it came

  // Only the shots are drawn: presenting frames through X would only make the run longer.
  bool DrawFrame() override {
    mHasPendingDraw = false;
    return false;
  }
  void UpdateFrames() override {
    HeadlessGame::UpdateFrames();
    if (mQuit || mShutdownRequested) return;
    if (mUpdateCount >= kMaxTicks) Shutdown();
    if (mUpdateCount - mLastStepTick < kSettleTicks) return;
    mLastStepTick = mUpdateCount;
    Step();
  }

  std::vector<std::string> mShot;       // names of the screens shot, in order
  std::pair<int, int> mFullScreenSize;  // the window's size while full screen

 private:
  void Shoot(const std::string& name, const std::vector<KnownPixel>& known) {
    // The screen as it stands is drawn and presented, then read back from the X server.
    mWidgetManager->MarkAllDirty();
    GameApp::DrawFrame();
    const testsupport::WindowShot shot{mWidth, mHeight,
                                       testsupport::ReadXWindowPixels(plat::SdlWindowOf(mHWnd), mWidth, mHeight)};
    ASSERT_FALSE(shot.argb.empty()) << name << ": the window could not be read";
    testsupport::ExpectShows(shot, name, known);
    testsupport::WriteReadmeShot(shot, name, kReadmeShots);
    mShot.push_back(name);
  }
  // The framework's own message box over the game: its header in white, its lines in yellow and its one
  // button, a grey face with a black label, each where the box lays them out.
  void ExpectReadableWarning(const Kit::Dialog& warning) {
    const testsupport::WindowShot shot{mWidth, mHeight,
                                       testsupport::ReadXWindowPixels(plat::SdlWindowOf(mHWnd), mWidth, mHeight)};
    ASSERT_FALSE(shot.argb.empty());
    auto count = [&](int left, int top, int right, int bottom, auto matches) {
      int found = 0;
      for (int y = std::max(top, 0); y < std::min(bottom, mHeight); ++y)
        for (int x = std::max(left, 0); x < std::min(right, mWidth); ++x) found += matches(shot.At(x, y));
      return found;
    };
    auto near = [](std::uint32_t colour) {
      return [colour](std::uint32_t pixel) { return testsupport::NearColour(pixel, colour); };
    };
    // Smoothed text is dark where its strokes are, black only where they are wide.
    auto dark = [](std::uint32_t pixel) {
      return (pixel & 0xFF) < 0x60 && (pixel >> 8 & 0xFF) < 0x60 && (pixel >> 16 & 0xFF) < 0x60;
    };
    const Kit::Widget& button = *warning.mYesButton;
    const int textTop = warning.mY + warning.mContentInsets.mTop;
    // Inside the box's white outline.
    const int left = warning.mX + 13;
    const int right = warning.mX + warning.mWidth - 15;
    EXPECT_GT(count(left, textTop, right, textTop + 20, near(0xFFFFFF)), 40) << "the header in white";
    EXPECT_GT(count(left, textTop + 20, right, button.mY, near(0xFFFF00)), 100) << "the lines in yellow";
    const int buttonRight = button.mX + button.mWidth;
    const int buttonBottom = button.mY + button.mHeight;
    EXPECT_GT(count(button.mX, button.mY, buttonRight, buttonBottom, near(0xD4D4D4)),
              button.mWidth * button.mHeight / 2)
        << "the button's face";
    EXPECT_GT(count(button.mX + 2, button.mY + 2, buttonRight - 2, buttonBottom - 2, dark), 20) << "the button's label";
  }
  // A click in the middle of the widget, where the window shows it (full screen scales the frame up).
  void Click(const Kit::Widget& widget) {
    int width = mWidth, height = mHeight;
    SDL_GetWindowSize(plat::SdlWindowOf(mHWnd), &width, &height);
    const int x = (widget.mX + widget.mWidth / 2) * width / mWidth;
    const int y = (widget.mY + widget.mHeight / 2) * height / mHeight;
    plat::inject::MouseMove(x, y);
    plat::inject::MouseButton(1, true, x, y);
    plat::inject::MouseButton(1, false, x, y);
  }
  bool Shot(const std::string& name) const { return std::find(mShot.begin(), mShot.end(), name) != mShot.end(); }

  // One step of the player at a time, each screen shot once before it is left.
  void Step() {
    if (mMainMenuScreen == nullptr) return;
    if (auto* name = dynamic_cast<EnterNameDialog*>(GetDialog(kEnterNameDialogId))) {
      name->mEdit->mText.empty() ? (void)plat::inject::Text("Anna") : Click(*name->mOkButton);
      return;
    }
    if (Kit::Dialog* warning = GetDialog(kOptionsWarningDialogId)) {
      Shoot("warning", {});
      ExpectReadableWarning(*warning);
      Click(*warning->mYesButton);
    } else if (auto* options = dynamic_cast<OptionsDialog*>(GetDialog(kOptionsDialogId))) {
      // 3D on, which warns, and off again; full screen on, and at the next visit off again.
      const Kit::Checkbox* hard = options->Box(OptionsDialog::kHardCheckbox);
      const int half = IMAGE_CHECKBOX->GetWidth() / 2;
      if (!Shot("options")) {
        Shoot("options", {{IMAGE_CHECKBOX, hard->mX - half, hard->mY, half + half / 2, hard->mHeight / 2}});
        Click(*options->Box(OptionsDialog::k3DCheckbox));
        return;
      }
      if (Shot("warning") && options->Box(OptionsDialog::k3DCheckbox)->mChecked)
        Click(*options->Box(OptionsDialog::k3DCheckbox));
      Click(*options->Box(OptionsDialog::kFullScreenCheckbox));
      Click(*options->mYesButton);
    } else if (auto* menu = dynamic_cast<InGameMenuDialog*>(GetDialog(kInGameMenuDialogId))) {
      const Kit::Widget* resume = menu->mButtons.Find(InGameMenuDialog::kResumeButton);
      const KnownPixel resumeUp{IMAGE_BTN_RESUME_UP, resume->mX, resume->mY, resume->mWidth / 2, 10};
      if (!mWindowedInUse) {
        SDL_GetWindowSize(plat::SdlWindowOf(mHWnd), &mFullScreenSize.first, &mFullScreenSize.second);
      } else if (Shot("options")) {
        Shoot("windowedagain", {resumeUp});
        Shutdown();
        return;
      } else {
        Shoot("ingamemenu", {resumeUp});
      }
      Click(*menu->mButtons.Find(InGameMenuDialog::kOptionsButton));
    } else if (mPlayField != nullptr && mPlayField->mState == PlayField::kBallOnPaddle) {
      Shoot("level", {{IMAGE_HINTBAR, 0, 0, 40, 4}});
      plat::inject::Tap("Escape");
    } else if (mSceneSelectScreen != nullptr && mSceneSelectScreen->mState == SceneSelectScreen::kWaiting) {
      Shoot("sceneselect", {{IMAGE_BTN_SCENE1_UP, 11, 62, 90, 30}, {IMAGE_BTN_SCENE10_UP, 411, 462, 90, 30}});
      Click(*mSceneSelectScreen->mButtons.Find(SceneSelectScreen::kFirstSceneButton));
    } else if (mHelpScreen != nullptr) {
      // "More" asks for the help page, and the screen stays for Ok.
      Click(*(mURLOpenPending ? mHelpScreen->mOkButton : mHelpScreen->mMoreButton));
    } else if (GetDialogCount() == 0 && !Shot("mainmenu")) {
      Shoot("mainmenu", {{IMAGE_BTN_START_UP, 630, 171, 70, 10}, {IMAGE_BTN_QUIT_UP, 630, 407, 70, 10}});
      Click(*mMainMenuScreen->mButtons.Find(MainMenuScreen::kPlayButton));
    }
  }

  int mLastStepTick = 0;
};

using ScreenShots = testsupport::WholeGameTest;

TEST_F(ScreenShots, ShotsShowTheMainMenuSceneSelectALevelTheInGameMenuAndTheOptions) {
  if (!testsupport::InRealWindowRun(kChildMark)) return;
  setenv("SDL_VIDEODRIVER", "x11", 1);
  const testsupport::ScopedSearchFolders folders = PlayerAndGameFolders();
  {
    plat::ScopedShellLog shell;
    ShotGame game;
    game.Init();
    game.Start();
    EXPECT_EQ(game.mShot, (std::vector<std::string>{"mainmenu", "sceneselect", "level", "ingamemenu", "options",
                                                    "warning", "windowedagain"}));
    EXPECT_EQ(game.mFullScreenSize, std::make_pair(1024, 768)) << "full screen covers the Xvfb screen";
    const std::vector<std::string> opened = shell.Record().opened;
    ASSERT_EQ(opened.size(), 1u) << "the help page is asked for once";
    EXPECT_TRUE(opened[0].ends_with("/doc/gamehelp.htm") && std::filesystem::exists(opened[0])) << opened[0];
  }
}

}  // namespace
