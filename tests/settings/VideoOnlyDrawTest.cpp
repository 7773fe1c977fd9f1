#include <gtest/gtest.h>

#include "framework/app/KitAppBase.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/widget/WidgetManager.h"
#include "platform/win/Window.h"
#include "tests/support/ScreenFixture.h"
#include "tests/support/TestWindow.h"

namespace {

TEST(VideoOnlyDraw, TheWidgetsFollowTheDisplaysNewScreenImage) {
  HWND window = testsupport::CreateTestWindow("VideoOnlyDrawTest", "game", 0, 0, 160, 96);
  ASSERT_NE(window, nullptr);
  testsupport::ScreenHost host(160, 96);
  {
    Kit::KitAppBase app;
    app.SetVideoOnlyDraw(true);  // no display yet: only the wish is kept
    EXPECT_TRUE(app.mVideoOnlyDraw);
    app.SetVideoOnlyDraw(false);

    app.mDDInterface = std::make_unique<Kit::DDInterface>(&host);
    host.display = app.mDDInterface.get();
    ASSERT_EQ(app.mDDInterface->Init(window, true), Kit::DDInterface::RESULT_OK);
    app.mWidgetManager->mImage = app.mDDInterface->GetScreenImage();

    app.SetVideoOnlyDraw(true);
    EXPECT_TRUE(app.mDDInterface->mVideoOnlyDraw);
    EXPECT_EQ(app.mWidgetManager->mImage, app.mDDInterface->GetScreenImage());
    app.SetVideoOnlyDraw(false);
    EXPECT_FALSE(app.mDDInterface->mVideoOnlyDraw);
    EXPECT_EQ(app.mWidgetManager->mImage, app.mDDInterface->GetScreenImage());
    app.mWidgetManager->mImage = nullptr;
    app.mDDInterface.reset();
    host.display = nullptr;
  }
  DestroyWindow(window);
}

}  // namespace
