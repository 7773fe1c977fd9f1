// The frame-rate overlay (F3) and the screenshot (F11) on a running display, with 3D off and on: what
// the developer sees in the window and finds in the screenshot folder, and the message when a
// screenshot cannot be written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/resource/PNGReader.h"
#include "framework/widget/Widget.h"
#include "framework/widget/WidgetManager.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/input/VirtualKeys.h"
#include "platform/win/registry/RegistryStore.h"
#include "tests/support/ArgbReadback.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"

namespace {

// Four bands of colour over the whole screen, none of them black or white.
class BandsScreen : public Kit::Widget {
 public:
  void Draw(Kit::Graphics* g) override {
    for (int band = 0; band < 4; ++band) {
      g->SetColor(Kit::Color(40 + 60 * band, 200 - 50 * band, 90));
      g->FillRect(band * mWidth / 4, 0, mWidth / 4, mHeight);
    }
  }
};

class ToolsOnScreen : public testsupport::AppFixture {
 protected:
  ToolsOnScreen() {
    mApp.mRegKey = "Quarvel Test\\ToolsOnScreen";
    mApp.Init();
    mBands.Resize(0, 0, mApp.mWidth, mApp.mHeight);
    mApp.mWidgetManager->AddWidget(&mBands);
  }
  ~ToolsOnScreen() override { mApp.mWidgetManager->RemoveWidget(&mBands); }

  void Use3D(bool on) {
    mApp.SwitchScreenMode(true, on, false);
    ASSERT_EQ(mApp.Is3DAccelerated(), on);
  }
  // One frame drawn and presented, as the draw surface holds it (0xFFRRGGBB).
  std::vector<std::uint32_t> DrawFrame() {
    mApp.mWidgetManager->MarkAllDirty();
    EXPECT_TRUE(mApp.DrawFrame());
    return testsupport::ReadSurfaceArgb(mApp.mDDInterface->mDrawSurface, mApp.mWidth, mApp.mHeight);
  }
  // The overlay's corner of the screen: the bottom right, 80 x 40 pixels.
  std::vector<std::uint32_t> Corner(const std::vector<std::uint32_t>& screen) const {
    std::vector<std::uint32_t> corner;
    for (int y = mApp.mHeight - 40; y < mApp.mHeight; ++y)
      for (int x = mApp.mWidth - 80; x < mApp.mWidth; ++x)
        corner.push_back(screen.at(static_cast<std::size_t>(y) * mApp.mWidth + x));
    return corner;
  }
  std::vector<std::uint32_t> ReadScreenshot(int number) const {
    const auto file = ImageLib::GetPNGImage(mHome / ("_screenshots/image" + std::to_string(number) + ".png"));
    if (!file) return {};
    return {file->GetBits(), file->GetBits() + file->GetPixelCount()};
  }

  testsupport::TempDir mHome;
  testsupport::ScopedCurrentFolder mInHome{mHome.Path()};
  plat::ScopedRegistryFile mRegistry{mHome / "registry"};
  plat::ScopedMessageBoxScript mBoxes;
  testsupport::HeadlessApp mApp{"ToolsOnScreen"};
  BandsScreen mBands;
};

TEST_F(ToolsOnScreen, TheFrameRateOverlayShowsItsTextWith3DOffAndOn) {
  std::vector<std::uint32_t> corners[2];
  for (const bool on : {false, true}) {
    SCOPED_TRACE(on ? "3D" : "2D");
    Use3D(on);
    mApp.DebugKeyDown(VK_F3);
    ASSERT_TRUE(mApp.mShowFPS);
    corners[on] = Corner(DrawFrame());  // "FPS: 0", the first frame after the switch
    mApp.DebugKeyDown(VK_F3);
  }
  const auto count = [](const std::vector<std::uint32_t>& pixels, auto matches) {
    return std::count_if(pixels.begin(), pixels.end(), matches);
  };
  EXPECT_GT(count(corners[0], [](std::uint32_t p) { return p == 0xFF000000u; }), 200) << "the black box";
  // Smoothed small text: white where its strokes are, light grey at their edges.
  const auto light = [](std::uint32_t p) { return (p & 0x808080u) == 0x808080u; };
  EXPECT_GT(count(corners[0], light), 20) << "the white text";
  EXPECT_EQ(corners[1], corners[0]) << "3D shows the overlay as 2D does";
}

TEST_F(ToolsOnScreen, F11WritesWhatTheScreenShowsWith3DOffAndOn) {
  int number = 0;
  for (const bool on : {false, true}) {
    SCOPED_TRACE(on ? "3D" : "2D");
    Use3D(on);
    const std::vector<std::uint32_t> shown = DrawFrame();
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(mApp.DebugKeyDown(VK_F11));
    EXPECT_EQ(ReadScreenshot(++number), shown);
  }
  for (const auto& box : mBoxes.Shown()) EXPECT_NE(box.caption, "Screenshot") << box.text;
}

TEST_F(ToolsOnScreen, AScreenshotThatCannotBeWrittenIsReported) {
  std::ofstream(mHome / "_screenshots") << "a file where the folder belongs";
  DrawFrame();
  mApp.DebugKeyDown(VK_F11);
  ASSERT_EQ(mBoxes.Shown().size(), 1u);
  EXPECT_EQ(mBoxes.Shown()[0].caption, "Screenshot");
  EXPECT_NE(mBoxes.Shown()[0].text.find("_screenshots/image1.png"), std::string::npos) << mBoxes.Shown()[0].text;
}

}  // namespace
