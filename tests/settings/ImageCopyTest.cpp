#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/widget/WidgetManager.h"
#include "platform/win/window/Window.h"
#include "tests/support/ScreenFixture.h"
#include "tests/support/TestWindow.h"

namespace {

// A 4 x 3 picture whose every pixel differs, split into two cels side by side.
std::unique_ptr<Kit::MemoryImage> Picture() {
  std::vector<std::uint32_t> bits(12);
  for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 0x101010);
  auto image = std::make_unique<Kit::MemoryImage>();
  image->SetBits(bits.data(), 4, 3);
  image->mNumCols = 2;
  return image;
}

std::vector<std::uint32_t> Pixels(Kit::MemoryImage& image) {
  const std::uint32_t* bits = image.GetBits();
  return {bits, bits + image.GetWidth() * image.GetHeight()};
}

TEST(ImageCopy, ARectangleIsCopiedWithTheCelGrid) {
  Kit::KitAppBase app;
  auto source = Picture();
  auto part = app.CopyImageRect(source.get(), Kit::Rect(1, 1, 2, 2));
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(part->GetWidth(), 2);
  EXPECT_EQ(part->GetHeight(), 2);
  const std::vector<std::uint32_t> all = Pixels(*source);
  EXPECT_EQ(Pixels(*part), (std::vector<std::uint32_t>{all[5], all[6], all[9], all[10]}));
  EXPECT_EQ(part->mNumCols, 2);

  auto whole = app.CopyImageRect(source.get(), Kit::Rect(0, 0, source->GetWidth(), source->GetHeight()));
  EXPECT_EQ(Pixels(*whole), all);
  // Reaching outside, the copy is transparent there.
  auto corner = app.CopyImageRect(source.get(), Kit::Rect(3, -1, 2, 2));
  EXPECT_EQ(Pixels(*corner), (std::vector<std::uint32_t>{0, 0, all[3], 0}));
  auto empty = app.CopyImageRect(source.get(), Kit::Rect(10, 10, 0, -4));
  EXPECT_EQ(empty->GetWidth(), 0);
  EXPECT_EQ(empty->GetHeight(), 0);
}

// An application with a display running in a window.
class RunningDisplay : public testing::Test {
 protected:
  RunningDisplay() {
    mApp.mDDInterface = std::make_unique<Kit::DDInterface>(&mHost);
    mHost.display = mApp.mDDInterface.get();
    EXPECT_EQ(mApp.mDDInterface->Init(mWindow, true), Kit::DDInterface::RESULT_OK);
    mApp.mWidgetManager->mImage = mApp.mDDInterface->GetScreenImage();
  }
  ~RunningDisplay() override {
    mApp.mWidgetManager->mImage = nullptr;
    mApp.mDDInterface.reset();
    mHost.display = nullptr;
    DestroyWindow(mWindow);
  }

  HWND mWindow = testsupport::CreateTestWindow("RunningDisplayTest", "game", 0, 0, 160, 96);
  testsupport::ScreenHost mHost{160, 96};
  Kit::KitAppBase mApp;
};

TEST_F(RunningDisplay, ACopyOfAnImageBelongsToTheDisplay) {
  auto source = Picture();
  std::unique_ptr<Kit::Image> copied = mApp.CopyImage(source.get());
  auto* copy = dynamic_cast<Kit::DDImage*>(copied.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->mDisplay, mApp.mDDInterface.get());
  EXPECT_EQ(mApp.mDDInterface->mDDImageSet.count(copy), 1u);
  EXPECT_EQ(Pixels(*copy), Pixels(*source));
}

TEST_F(RunningDisplay, TheWidgetsFollowTheDisplaysNewScreenImageInVideoOnlyDrawing) {
  mApp.SetVideoOnlyDraw(true);
  EXPECT_TRUE(mApp.mDDInterface->mVideoOnlyDraw);
  EXPECT_EQ(mApp.mWidgetManager->mImage, mApp.mDDInterface->GetScreenImage());
  mApp.SetVideoOnlyDraw(false);
  EXPECT_FALSE(mApp.mDDInterface->mVideoOnlyDraw);
  EXPECT_EQ(mApp.mWidgetManager->mImage, mApp.mDDInterface->GetScreenImage());
  Kit::KitAppBase withoutDisplay;
  withoutDisplay.SetVideoOnlyDraw(true);  // only the wish is kept
  EXPECT_TRUE(withoutDisplay.mVideoOnlyDraw);
}

}  // namespace
