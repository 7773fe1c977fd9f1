// The loading screen's bar: as much of the bar image as the loading thread has loaded of the group.
#include "game/front/LoadingScreen.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/widget/WidgetManager.h"

#include "framework/graphics/Graphics.h"
#include "game/play/ResourceIds.h"
#include "tests/play/PlayFixture.h"
#include "tests/support/Canvas.h"

namespace {

constexpr std::uint32_t kBarPixel = 0xFFFF0000;
constexpr std::uint32_t kLogoPixel = 0xFF000080;
constexpr int kBarWidthPx = 100;

// Completed resources of 8, and how many columns of the bar show.
class LoadingBar : public testing::TestWithParam<std::pair<int, int>> {
 protected:
  LoadingBar() {
    IMAGE_LOADER_BAR = mBar.get();
    IMAGE_LOADER_LOGO = mLogo.get();
  }
  ~LoadingBar() override {
    mGame.mLoadingThreadStarted = false;  // no thread to wait for at the end
    ResetResourceIds();
  }

  playtest::SoundLoggingGame mGame;
  std::unique_ptr<Kit::MemoryImage> mBar = testsupport::Canvas(kBarWidthPx, 10, kBarPixel);
  std::unique_ptr<Kit::MemoryImage> mLogo = testsupport::Canvas(800, 600, kLogoPixel);
};

TEST_P(LoadingBar, ShowsTheLoadedShareOfTheBarImage) {
  mGame.mLoadingThreadStarted = true;
  mGame.mNumLoadingThreadTasks = 8;
  mGame.mCompletedLoadingThreadTasks = GetParam().first;
  LoadingScreen screen(&mGame);
  screen.Resize(0, 0, 800, 600);
  auto shown = testsupport::Canvas(800, 600, 0);
  Kit::Graphics g(shown.get());
  screen.Draw(&g);
  const std::uint32_t* row = shown->GetBits() + LoadingScreen::kBarY * 800 + LoadingScreen::kBarX;
  int columns = 0;
  while (columns < kBarWidthPx && row[columns] == kBarPixel) ++columns;
  EXPECT_EQ(columns, GetParam().second);
  EXPECT_EQ(row[columns], kLogoPixel) << "the logo beyond the bar";
}

INSTANTIATE_TEST_SUITE_P(Progress, LoadingBar,
                         testing::Values(std::pair{0, 0}, std::pair{4, kBarWidthPx / 2}, std::pair{8, kBarWidthPx}),
                         [](const testing::TestParamInfo<std::pair<int, int>>& info) {
                           return "Loaded" + std::to_string(info.param.first) + "Of8";
                         });

TEST(LoadingHandOver, DoesNotHappenOnceTheShutdownHasBegun) {
  // A failed load asks for the shutdown, which the loop begins before the completion hook runs.
  playtest::SoundLoggingGame game;
  game.mLoadingScreen = new LoadingScreen(&game);
  game.mWidgetManager->AddWidget(game.mLoadingScreen);
  game.mQuit = true;
  game.LoadingThreadCompleted();
  EXPECT_NE(game.mLoadingScreen, nullptr) << "no hand-over: the ids of \"Game\" were never bound";
}

}  // namespace
