// The Direct3D path in an application: the self-test's verdict at start-up picks 3D or 2D, a player
// can switch 3D on and off, a failed Direct3D call turns 3D off at the next present, and an image
// drops its pixels only once its textures hold them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/d3d/D3DHooks.h"
#include "platform/ddraw/DisplaySettings.h"
#include "platform/win/Errors.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Process.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/Threads.h"
#include "tests/support/ArgbReadback.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/ScreenFormats.h"
#include "tests/support/TempDir.h"

namespace {

class Auto3DApp : public testsupport::HeadlessApp {
 public:
  Auto3DApp() : HeadlessApp("Direct3DPath") {
    mRegKey = "Quarvel Test\\Direct3DPath";
    mAutoEnable3D = true;
  }
};

class D3DPathTest : public testing::Test {
 protected:
  D3DPathTest() : mRegistry((mFolder.Path() / "registry").string()), mCurrent(mFolder.Path()) {
    plat::SetInstanceScope(mFolder.Path().string());
    plat::SetCommandLine("game.exe");
  }
  ~D3DPathTest() override { plat::ResetCommandLine(); }

  // A pixel of the draw surface after the frame was presented, as 0xFFRRGGBB.
  static std::uint32_t PixelAt(Auto3DApp& app, int x, int y) {
    app.mDDInterface->Redraw();
    const auto pixels = testsupport::ReadSurfaceArgb(app.mDDInterface->mDrawSurface, x + 1, y + 1);
    return pixels.empty() ? 0 : pixels.back();
  }
  static constexpr std::uint32_t kGreen = 0xFF00FF00, kRed = 0xFFFF0000;

  // Fills the screen, presents it and tells whether the fill reached the draw surface.
  static bool DrawsAndPresents(Auto3DApp& app) {
    Kit::Graphics g(app.mDDInterface->GetScreenImage());
    g.SetColor(Kit::Color(0, 255, 0));
    g.FillRect(0, 0, 320, 240);
    return PixelAt(app, 0, 0) == kGreen;
  }

  testsupport::TempDir mFolder;
  plat::ScopedRegistryFile mRegistry;
  testsupport::ScopedCurrentFolder mCurrent;
  plat::ScopedDisplaySettings mDesktop{testsupport::TestDesktop(plat::DesktopFormat::Rgb565)};
  plat::ScopedD3DHooks mHooks;
};

TEST_F(D3DPathTest, TheSelfTestPicks3DAtStartAndAPlayersChoiceOutlivesTheRun) {
  struct Start {
    const char* cardList;  // "vhwb.dat", or null
    bool is3D, recommended;
  };
  for (const Start start : {Start{nullptr, true, true}, Start{"Software DirectDraw on SDL2\n", false, false}}) {
    SCOPED_TRACE(start.cardList ? "listed" : "unlisted");
    // A first start on this machine: no verdict cached yet.
    plat::ScopedRegistryFile registry((mFolder.Path() / (start.cardList ? "listed" : "unlisted")).string());
    std::filesystem::remove(mFolder.Path() / "vhwb.dat");
    if (start.cardList) std::ofstream(mFolder.Path() / "vhwb.dat") << start.cardList;
    plat::ScopedMessageBoxScript boxes({IDYES});
    {
      Auto3DApp app;
      app.Init();
      ASSERT_TRUE(app.mInitialized);
      EXPECT_EQ(app.Is3DAccelerated(), start.is3D);
      EXPECT_TRUE(app.Is3DAccelerationSupported());
      EXPECT_EQ(app.Is3DAccelerationRecommended(), start.recommended);
      EXPECT_TRUE(DrawsAndPresents(app));

      app.SwitchScreenModeWindowed(true);  // the same mode: only the 3D switches below change anything
      for (const bool is3D : {!start.is3D, start.is3D, true}) {  // ending in 3D
        app.SwitchScreenMode(true, is3D, false);
        EXPECT_EQ(app.Is3DAccelerated(), is3D);
        EXPECT_EQ(app.mDDInterface->mD3DInterface->mDevice != nullptr, is3D);
        EXPECT_TRUE(DrawsAndPresents(app));
      }
    }  // 3D that is not advised: asked whether to keep it, and kept for the next run
    ASSERT_EQ(boxes.Shown().size(), start.recommended ? 0u : 1u);
    for (const auto& box : boxes.Shown()) EXPECT_EQ(box.caption, " Hardware Acceleration Confirmation");
    Auto3DApp next;
    next.Init();
    EXPECT_TRUE(next.Is3DAccelerated());
    EXPECT_TRUE(DrawsAndPresents(next));
  }
}

TEST_F(D3DPathTest, AFailedCallEndsTheSceneAndTurns3DOffAtThePresent) {
  plat::ScopedMessageBoxScript boxes({IDNO});
  auto owned = std::make_unique<Auto3DApp>();
  Auto3DApp& app = *owned;
  app.Init();
  ASSERT_TRUE(app.Is3DAccelerated());
  Kit::D3DInterface& path = *app.mDDInterface->mD3DInterface;
  plat::InjectD3DFault("DrawPrimitive", DDERR_SURFACELOST);
  app.mDDInterface->GetScreenImage()->FillRect(Kit::Rect(0, 0, 10, 10), Kit::Color(255, 0, 0), 0);
  EXPECT_EQ(path.mLastError, "DrawPrimitive (Rect): DDERR_SURFACELOST");
  std::string recorded;
  EXPECT_TRUE(app.RegistryReadString("Test3D\\RuntimeError", &recorded));
  EXPECT_EQ(recorded, path.mLastError);

  EXPECT_FALSE(app.mDDInterface->Redraw());
  EXPECT_FALSE(app.mDDInterface->mIs3D);
  EXPECT_FALSE(path.mSceneBegun);        // the scene was ended before 3D went off
  EXPECT_TRUE(path.mLastError.empty());  // and the failure does not fail the 2D frames that follow
  EXPECT_TRUE(app.mDDInterface->Redraw());

  owned.reset();  // at the end the player may turn 3D off for the next run
  ASSERT_EQ(boxes.Shown().size(), 1u);
  EXPECT_NE(boxes.Shown()[0].text.find("may not have been working correctly"), std::string::npos);
  Auto3DApp next;
  bool stored = true;
  EXPECT_TRUE(next.RegistryReadBoolean("Is3D", &stored));
  EXPECT_FALSE(stored);
}

TEST_F(D3DPathTest, APolygonIsFilledWithinItsClipRectangle) {
  Auto3DApp app;
  app.Init();
  ASSERT_TRUE(DrawsAndPresents(app));
  Kit::DDImage* screen = app.mDDInterface->GetScreenImage();
  const Kit::Point triangle[] = {{0, 0}, {100, 0}, {0, 100}};
  EXPECT_TRUE(screen->PolyFill(triangle, 2, Kit::Rect(0, 0, 320, 240), Kit::Color(255, 0, 0), 0, 0, 0));
  EXPECT_EQ(PixelAt(app, 20, 5), kGreen);  // two points make no polygon
  EXPECT_TRUE(screen->PolyFill(triangle, 3, Kit::Rect(0, 0, 50, 50), Kit::Color(255, 0, 0), 0, 10, 10));
  EXPECT_EQ(PixelAt(app, 20, 20), kRed);
  EXPECT_EQ(PixelAt(app, 5, 5), kGreen);    // before the translation
  EXPECT_EQ(PixelAt(app, 60, 15), kGreen);  // beyond the clip rectangle
}

TEST_F(D3DPathTest, AnImageKeepsItsPixelsUntilAnUploadSucceeds) {
  Auto3DApp app;
  app.Init();
  ASSERT_TRUE(app.Is3DAccelerated());
  Kit::MemoryImage image(&app);
  image.Create(8, 8);
  std::vector<std::uint32_t> pixels(64);
  for (std::size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = 0x80000000u | static_cast<std::uint32_t>(i * 0x030507);  // alpha: 32-bit texels
  std::copy(pixels.begin(), pixels.end(), image.GetBits());
  image.BitsChanged();
  image.mPurgeBits = true;
  Kit::DDImage* screen = app.mDDInterface->GetScreenImage();

  plat::InjectD3DFault("SetTexture", DDERR_GENERIC);  // the texture surface cannot be made
  screen->Blt(&image, 0, 0, Kit::Rect(0, 0, 8, 8), Kit::Color::White, 0);
  ASSERT_NE(image.mD3DData, nullptr);
  EXPECT_EQ(image.mD3DData->mPixelFormat, 0);
  EXPECT_NE(image.mBits, nullptr);

  screen->Blt(&image, 0, 0, Kit::Rect(0, 0, 8, 8), Kit::Color::White, 0);
  EXPECT_NE(image.mD3DData->mPixelFormat, 0);
  EXPECT_EQ(image.mBits, nullptr);  // purged: the textures hold the pixels now
  const std::uint32_t* recovered = image.GetBits();
  ASSERT_NE(recovered, nullptr);
  EXPECT_EQ(std::vector<std::uint32_t>(recovered, recovered + 64), pixels);
}

TEST(D3DTextureLimits, FollowTheDeviceWithinBounds) {
  struct Limits {
    DWORD minWidth, maxWidth, aspect;
    int expectedMin, expectedMax, expectedAspect;
  } const table[] = {{0, 2048, 0, 1, 1024, 65536}, {0, 0, 8, 64, 64, 1}, {8, 256, 4, 8, 256, 4}};
  for (const Limits& row : table) {
    D3DDEVICEDESC7 desc{};
    desc.dwMinTextureWidth = desc.dwMinTextureHeight = row.minWidth;
    desc.dwMaxTextureWidth = desc.dwMaxTextureHeight = row.maxWidth;
    desc.dwMaxTextureAspectRatio = row.aspect;
    Kit::TextureCaps caps;
    Kit::D3DInterface::TakeTextureLimits(desc, caps);
    EXPECT_EQ(std::tuple(caps.minWidth, caps.minHeight, caps.maxWidth, caps.maxHeight, caps.maxAspectRatio),
              std::tuple(row.expectedMin, row.expectedMin, row.expectedMax, row.expectedMax, row.expectedAspect));
  }
}

}  // namespace
