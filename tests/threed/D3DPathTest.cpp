// The Direct3D path in an application. The display's self-test against the platform's software device:
// its verdicts, the cached verdict in the registry, the card lists and the replay of a recorded verdict.
// Then the whole road: the verdict at start-up picks 3D or 2D, a player can switch 3D on and off, a
// failed Direct3D call turns 3D off at the next present, and an image drops its pixels only once its
// textures hold them. And the picture of every scene with 3D on against the one with 3D off.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "framework/font/SysFont.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/TriVertex.h"
#include "framework/graphics/d3d/D3DTester.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "platform/d3d/D3DHooks.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/Errors.h"
#include "platform/win/files/ReplacedFilesLog.h"
#include "platform/win/process/Process.h"
#include "platform/win/process/SingleInstance.h"
#include "platform/win/registry/RegistryStore.h"
#include "platform/win/system/DisplaySettings.h"
#include "platform/win/threads/Threads.h"
#include "tests/support/ArgbReadback.h"
#include "tests/support/ComPtr.h"
#include "tests/support/DirectDrawObject.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/ScreenFormats.h"
#include "tests/support/ScreenHost.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestWindow.h"

namespace {

using testsupport::Com;

// An application that is not playing a demo back, or one that replays the recorded verdict.
class TestHost : public Kit::D3DTestHost {
 public:
  std::string GetRegistryKey() override { return "Quarvel Test\\SelfTest\\"; }
  bool IsPlayingDemo() override { return mPlayback; }
  void DemoSyncString(std::string& text) override {
    if (mPlayback)
      text = mRecordedTexts.at(mNextText++);
    else
      mRecordedTexts.push_back(text);
  }
  void DemoSyncBool(bool& value) override {
    if (mPlayback)
      value = mRecordedBool;
    else
      mRecordedBool = value;
  }

  bool mPlayback = false;
  std::vector<std::string> mRecordedTexts;
  std::size_t mNextText = 0;
  bool mRecordedBool = false;
};

class SelfTest : public testing::Test {
 protected:
  struct Outcome {
    bool changed;
    std::string failure, warning;
    bool ranScenes, scenesEnded, calledDevice;
    std::size_t settingsWrites;  // of the settings file
  };

  // One start of the display's test, as the display runs it, on a fresh DirectDraw object.
  Outcome Run(std::uint32_t minMB = 6, std::uint32_t recMB = 14) {
    Com<IDirectDraw7> ddraw(testsupport::CreateDirectDraw7());
    EXPECT_NE(ddraw, nullptr);
    Kit::D3DTester tester(&mHost);
    tester.SetVidMemoryConstraints(minMB, recMB);
    (void)mHooks.TakeLog();  // empties the log: only the calls of this start count
    const plat::ScopedReplacedFilesLog written;
    const bool changed = tester.TestD3D(nullptr, ddraw.get());
    const auto log = mHooks.TakeLog();
    const auto calls = [&log](const char* name) {  // that succeeded
      return std::count_if(log.begin(), log.end(), [name](auto& c) { return c.call == name && c.result == D3D_OK; });
    };
    return {changed,
            tester.mFailureReason,
            tester.mWarning,
            calls("BeginScene") > 0,
            calls("BeginScene") == calls("EndScene"),
            !log.empty(),
            written.ReplacedAt(mFolder / "registry").size()};
  }

  void UseDesktop(plat::DesktopFormat format, DWORD videoMemory = 64u << 20) {
    auto settings = testsupport::TestDesktop(format);
    settings.videoMemoryBytes = videoMemory;
    mDesktop.reset();  // the old settings are given back before the new ones are taken
    mDesktop = std::make_unique<plat::ScopedDisplaySettings>(settings);
  }

  // Overwrites a value of the cached verdict.
  void SetCached(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quarvel Test\\SelfTest\\Test3D", 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
  }

  testsupport::TempDir mFolder;
  testsupport::ScopedCurrentFolder mCurrent{mFolder.Path()};
  plat::ScopedRegistryFile mRegistry{mFolder / "registry"};
  std::unique_ptr<plat::ScopedDisplaySettings> mDesktop = testsupport::UseTestDesktop(plat::DesktopFormat::Rgb565);
  plat::ScopedD3DHooks mHooks;
  TestHost mHost;
};

struct CacheChange {
  const char* name;
  std::uint32_t minMB, recMB;  // of the second start
  const char* value;           // a stored value overwritten before it, or null
};

void PrintTo(const CacheChange& c, std::ostream* out) { *out << c.name; }

class SelfTestCacheChange : public SelfTest, public testing::WithParamInterface<CacheChange> {};

TEST_P(SelfTestCacheChange, RunsTheScenesAgain) {
  Run();
  const CacheChange& change = GetParam();
  if (change.value) {
    const DWORD other[4] = {1, 2, 3, 4};
    SetCached(change.value, std::strcmp(change.value, "Version") ? REG_BINARY : REG_DWORD, other,
              std::strcmp(change.value, "Version") ? 16 : 4);
  }
  const Outcome again = Run(change.minMB, change.recMB);
  EXPECT_TRUE(again.ranScenes);
  EXPECT_TRUE(again.changed);
  EXPECT_EQ(again.failure, "");
  EXPECT_EQ(again.settingsWrites, 1u);
  EXPECT_FALSE(Run(change.minMB, change.recMB).ranScenes);  // and cached once more
}

INSTANTIATE_TEST_SUITE_P(Changes, SelfTestCacheChange,
                         testing::Values(CacheChange{"Threshold", 6, 15, nullptr},
                                         CacheChange{"Adapter", 6, 14, "DisplayGUID"},
                                         CacheChange{"Version", 6, 14, "Version"}),
                         testing::PrintToStringParamName());

struct Verdict {
  const char* name;
  plat::DesktopFormat format;
  DWORD videoMemory;
  std::uint32_t minMB, recMB;
  const char* fault;  // a device call that does nothing...
  int skip;           // ...after this many such calls
  HRESULT result;
  const char* failure;
  const char* warning;
};

void PrintTo(const Verdict& c, std::ostream* out) { *out << c.name; }

class SelfTestVerdict : public SelfTest, public testing::WithParamInterface<Verdict> {};

TEST_P(SelfTestVerdict, IsReportedAndCached) {
  const Verdict& v = GetParam();
  UseDesktop(v.format, v.videoMemory);
  if (v.fault) plat::InjectD3DFault(v.fault, v.result, v.skip);
  const Outcome first = Run(v.minMB, v.recMB);
  EXPECT_EQ(first.failure, v.failure);
  EXPECT_EQ(first.warning, v.warning);
  EXPECT_TRUE(first.changed);
  EXPECT_TRUE(first.scenesEnded);  // a failed test too ends the scene it began
  EXPECT_EQ(first.settingsWrites, 1u) << "the test's key and its six results, together";

  const Outcome cached = Run(v.minMB, v.recMB);
  EXPECT_FALSE(cached.ranScenes);
  EXPECT_FALSE(cached.changed);
  EXPECT_EQ(cached.failure, v.failure);
  EXPECT_EQ(cached.warning, v.warning);
  EXPECT_EQ(cached.settingsWrites, 0u) << "the results stored again as they stand";
  // Both starts were recorded for a demo: the two texts each time, and the last changed flag.
  EXPECT_EQ(mHost.mRecordedTexts, (std::vector<std::string>{v.failure, v.warning, v.failure, v.warning}));
  EXPECT_FALSE(mHost.mRecordedBool);

  // A replay takes the recorded verdict without calling the device.
  mHost.mPlayback = true;
  mHost.mRecordedBool = true;
  const Outcome replayed = Run();
  EXPECT_EQ(replayed.failure, v.failure);
  EXPECT_EQ(replayed.warning, v.warning);
  EXPECT_TRUE(replayed.changed);
  EXPECT_FALSE(replayed.calledDevice);
  EXPECT_EQ(replayed.settingsWrites, 0u);
}

constexpr auto k565 = plat::DesktopFormat::Rgb565;
constexpr DWORD k64MB = 64u << 20;

// The blend scenes draw twice each: skipping the second draw of a scene leaves its first colour.
INSTANTIATE_TEST_SUITE_P(
    Verdicts, SelfTestVerdict,
    testing::Values(
        Verdict{"Passes565", k565, k64MB, 6, 14, nullptr, 0, S_OK, "", ""},
        Verdict{"Passes555", plat::DesktopFormat::Rgb555, k64MB, 6, 14, nullptr, 0, S_OK, "", ""},
        Verdict{"AlphaBroken", k565, k64MB, 6, 14, "DrawPrimitive", 1, S_OK, "Alpha blend Not Supported", ""},
        Verdict{"AdditiveBroken", k565, k64MB, 6, 14, "DrawPrimitive", 3, S_OK, "Additive blend not supported.", ""},
        Verdict{"AlphaAddBroken", k565, k64MB, 6, 14, "DrawPrimitive", 5, S_OK, "AlphaAdd blend not supported.", ""},
        Verdict{"AlphaModulatedBroken", k565, k64MB, 6, 14, "DrawPrimitive", 7, S_OK,
                "AlphaModulated blend not supported.", ""},
        Verdict{"ClipBroken", k565, k64MB, 6, 14, "DrawPrimitive", 8, S_OK, "", "Clip problem detected."},
        Verdict{"StateRefused", k565, k64MB, 6, 14, "SetRenderState", 4, D3DERR_CONFLICTINGRENDERSTATE,
                "DXError - D3DRENDERSTATE_ALPHABLENDENABLE, TRUE: D3DERR_CONFLICTINGRENDERSTATE", ""},
        Verdict{"NoDirect3D", k565, k64MB, 6, 14, "QueryInterface", 0, E_NOINTERFACE,
                "DXError - QueryInterface IID_IDirect3D7: DSERR_NOINTERFACE", ""},
        Verdict{"NoDevice", k565, k64MB, 6, 14, "CreateDevice", 0, DDERR_INVALIDPIXELFORMAT,
                "DXError - CreateDevice: DDERR_INVALIDPIXELFORMAT", ""},
        Verdict{"NotEnoughMemory", k565, k64MB, 80, 100, nullptr, 0, S_OK, "Not enough video memory.", ""},
        Verdict{"LowMemory", k565, k64MB, 6, 80, nullptr, 0, S_OK, "", "Low video memory."},
        // 4 GB of video memory and the screen do not wrap around to a few megabytes.
        Verdict{"HugeMemory", plat::DesktopFormat::Xrgb8888, 0xFFFFFFFF, 4000, 4000, nullptr, 0, S_OK, "", ""},
        Verdict{"TwentyFourBits", plat::DesktopFormat::Rgb888, k64MB, 6, 14, nullptr, 0, S_OK,
                "Can't test 24-bit mode.", ""}),
    testing::PrintToStringParamName());

TEST_F(SelfTest, UnlocksTheSurfaceOfADepthItCannotRead) {
  UseDesktop(plat::DesktopFormat::Rgb888);
  Com<IDirectDraw7> ddraw(testsupport::CreateDirectDraw7());
  Kit::D3DTester tester(&mHost);
  ASSERT_TRUE(tester.Init(nullptr, ddraw.get()));
  EXPECT_THROW(tester.CopyPrimary(), Kit::D3DTester::TestException);
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  EXPECT_EQ(tester.mTestSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  tester.mTestSurface->Unlock(nullptr);
}

struct CardCase {
  const char* name;
  const char* blocked;    // contents of "vhwb.dat", or null for none
  const char* supported;  // contents of "vhw.dat", or null for none
  const char* description;
  int driverYear;
  bool expected;
};

void PrintTo(const CardCase& c, std::ostream* out) { *out << c.name; }

class CardListTest : public SelfTest, public testing::WithParamInterface<CardCase> {};

TEST_P(CardListTest, DecidesTheCard) {
  const CardCase& c = GetParam();
  if (c.blocked) mFolder.Write("vhwb.dat", c.blocked);
  if (c.supported) mFolder.Write("vhw.dat", c.supported);
  Kit::D3DTester tester(&mHost);
  tester.mDriverYear = c.driverYear;
  EXPECT_EQ(tester.IsSupportedCard(c.description), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cards, CardListTest,
                         testing::Values(CardCase{"Blocked", "\n  radeon  \n", "RADEON\n", "ATI RADEON 9800", 2004,
                                                  false},
                                         CardCase{"Listed", nullptr, "\n geforce4\n", "NVIDIA GeForce4 Ti", 2001, true},
                                         CardCase{"NotListed", nullptr, "geforce4\n", "NVIDIA Riva TNT", 2004, false},
                                         CardCase{"OldUnknown", nullptr, nullptr, "S3 Savage", 2001, false},
                                         CardCase{"NewUnknown", nullptr, nullptr, "S3 Savage", 2002, true},
                                         CardCase{"OldKnownMaker", nullptr, nullptr, "Ati Rage 128", 2000, true},
                                         CardCase{"ATIWithoutSpace", nullptr, nullptr, "Matisse", 2000, false}),
                         testing::PrintToStringParamName());

class Auto3DApp : public testsupport::HeadlessApp {
 public:
  Auto3DApp() : HeadlessApp("Direct3DPath") {
    mRegKey = "Quarvel Test\\Direct3DPath";
    mAutoEnable3D = true;
  }
};

// An application's whole road, as the player starts it.
class D3DPathTest : public SelfTest {
 protected:
  D3DPathTest() {
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
    EXPECT_EQ(std::tuple(caps.mMinTextureWidth, caps.mMinTextureHeight, caps.mMaxTextureWidth, caps.mMaxTextureHeight,
                         caps.mMaxTextureAspectRatio),
              std::tuple(row.expectedMin, row.expectedMin, row.expectedMax, row.expectedMax, row.expectedAspect));
  }
}

// The Direct3D path draws the picture the 2D path draws: each scene is drawn on a display with 3D
// off and on a display with 3D on, in 5-6-5, 5-5-5 and 32 bits, and the two pictures agree within a small
// difference per channel.
constexpr int kWidth = 160, kHeight = 96;

// Source pictures: an opaque gradient, or one whose alpha ramps from clear to opaque, each pixel then
// changed by `adjust` (given the pixel, x and y).
std::unique_ptr<Kit::MemoryImage> MakePicture(
    Kit::ImageHost* host, int width, int height, bool alpha,
    const std::function<std::uint32_t(std::uint32_t, int, int)>& adjust = [](std::uint32_t p, int, int) { return p; }) {
  auto image = std::make_unique<Kit::MemoryImage>(host);
  image->Create(width, height);
  std::uint32_t* bits = image->GetBits();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint32_t a = alpha ? static_cast<std::uint32_t>(255 * x / (width - 1)) : 255;
      bits[y * width + x] = adjust((a << 24) | (static_cast<std::uint32_t>(40 + 200 * x / width) << 16) |
                                       (static_cast<std::uint32_t>(220 - 180 * y / height) << 8) | 0x60,
                                   x, y);
    }
  image->BitsChanged();
  return image;
}

// A picture of 16 colours with a colour table: 8-bit palette textures.
std::unique_ptr<Kit::MemoryImage> MakePalettized(Kit::ImageHost* host) {
  auto image = MakePicture(host, 36, 24, false, [](std::uint32_t, int x, int y) {
    const int i = y * 36 + x;
    return (i % 7 == 0 ? 0x60000000u : 0xFF000000u) | (0x113355u * ((i / 5) % 8));
  });
  image->Palletize();
  return image;
}

// Colours and alpha that four bits hold exactly, for 16-bit A4R4G4B4 textures.
std::unique_ptr<Kit::MemoryImage> MakeFourBit(Kit::ImageHost* host) {
  auto image = MakePicture(host, 32, 32, true,
                           [](std::uint32_t p, int, int) { return (p & 0xF0F0F0F0u) | ((p & 0xF0F0F0F0u) >> 4); });
  image->mD3DFlags = Kit::UseA4R4G4B4;
  return image;
}

struct Pictures {
  explicit Pictures(Kit::ImageHost* host)
      : opaque(MakePicture(host, 40, 30, false)),
        alpha(MakePicture(host, 48, 32, true)),
        wide(MakePicture(host, 150, 20, false)),
        palettized(MakePalettized(host)),
        fourBit(MakeFourBit(host)),
        // With a clear frame: the 2D sub-pixel blit leaves out the outermost texels, the 3D one draws
        // them. The frame keeps its colours, so that filtering does not darken the edge towards black.
        framed(MakePicture(host, 36, 24, false, [](std::uint32_t p, int x, int y) {
          return x == 0 || y == 0 || x == 35 || y == 23 ? p & 0xFFFFFF : p;
        })) {}
  std::unique_ptr<Kit::MemoryImage> opaque, alpha;
  // Wider than one texture piece, so that two pieces meet inside the picture.
  std::unique_ptr<Kit::MemoryImage> wide;
  std::unique_ptr<Kit::MemoryImage> palettized, fourBit, framed;
};

// Triangles over the wide picture's pieces, two of them reaching outside the clip rectangle and one
// with no texture place at all; then untextured triangles in their vertex colours.
void DrawTriangles(Kit::Graphics& g, Pictures& p) {
  const float nan = std::nanf("");
  const Kit::TriVertex triangles[][3] = {{{0, 0, 0, 0}, {150, 0, 1, 0}, {0, 40, 0, 1}},
                                         {{150, 0, 1, 0}, {150, 40, 1, 1}, {0, 40, 0, 1}},
                                         {{100, 50, 0.9f, 0.2f}, {170, 60, 0.1f, 0.9f}, {120, 110, 0.5f, 0.5f}},
                                         {{10, 10, nan, 0}, {60, 10, 1, nan}, {10, 60, 0, 1}}};
  g.mDestImage->BltTrianglesTex(p.wide.get(), triangles, 4, Kit::Rect(8, 4, 140, 80), Kit::Color::White, 0, 5.25f,
                                30.375f, false);
  const Kit::TriVertex coloured[][3] = {
      {{3.5f, 2.25f, 0, 0, 0xFFFF0000}, {60.5f, 8.25f, 0, 0, 0xFF00FF00}, {20.5f, 28.25f, 0, 0, 0xFF8000FF}}};
  g.mDestImage->BltTrianglesTex(nullptr, coloured, 1, Kit::Rect(0, 0, 160, 96), Kit::Color::White, 0, 0, 0, false);
}

struct Scene {
  const char* name;
  std::function<void(Kit::Graphics&, Pictures&)> draw;
  // Filtered edges at sub-pixel places: each 3D pixel lies within the range of the 2D pixels around
  // it, so that the two samplings may cover an edge pixel apart but nothing moves by a whole pixel.
  bool edgesMayDiffer = false;
};

const Scene kScenes[] = {
    {"Opaque", [](Kit::Graphics& g, Pictures& p) { g.DrawImage(p.opaque.get(), 10, 12); }},
    {"Alpha", [](Kit::Graphics& g, Pictures& p) { g.DrawImage(p.alpha.get(), 30, 20); }},
    {"Pieces", [](Kit::Graphics& g, Pictures& p) { g.DrawImage(p.wide.get(), 4, 60); }},
    {"Palette", [](Kit::Graphics& g, Pictures& p) { g.DrawImage(p.palettized.get(), 100, 50); }},
    {"FourBit", [](Kit::Graphics& g, Pictures& p) { g.DrawImage(p.fourBit.get(), 90, 40); }},
    {"Additive",
     [](Kit::Graphics& g, Pictures& p) {
       g.SetDrawMode(Kit::Graphics::kDrawModeAdditive);
       g.DrawImage(p.opaque.get(), 50, 40);
       g.DrawImage(p.alpha.get(), 100, 10);
     }},
    {"Colourised",
     [](Kit::Graphics& g, Pictures& p) {
       g.SetColorizeImages(true);
       g.SetColor(Kit::Color(255, 128, 64, 160));
       g.DrawImage(p.alpha.get(), 70, 10);
     }},
    {"Fills",
     [](Kit::Graphics& g, Pictures&) {
       g.SetColor(Kit::Color(200, 30, 90));
       g.FillRect(5, 5, 40, 20);
       g.SetColor(Kit::Color(20, 200, 90, 128));
       g.FillRect(25, 15, 50, 30);
       g.SetDrawMode(Kit::Graphics::kDrawModeAdditive);
       g.SetColor(Kit::Color(60, 60, 160));
       g.FillRect(60, 30, 40, 40);
     }},
    {"Lines",
     [](Kit::Graphics& g, Pictures&) {
       g.SetColor(Kit::Color(250, 250, 40));
       g.DrawLine(10, 10, 150, 10);
       g.DrawLine(20, 5, 20, 90);
       g.DrawLine(30, 30, 90, 50);   // no pixel centre lies halfway between two rows
       g.DrawLine(40, 85, 150, 75);  // rising: drawn from its right end
     }},
    {"Text",
     [](Kit::Graphics& g, Pictures&) {
       static Kit::SysFont font(nullptr, "DejaVu Sans", 10);
       g.SetFont(&font);
       g.SetColor(Kit::Color(255, 255, 255));
       g.FillRect(0, 0, 4, 4);  // opens the scene that the text must not be hidden under
       g.DrawString("Quarvel 3D", 10, 40);
     }},
    {"TextInAnImage",
     [](Kit::Graphics& g, Pictures&) {
       // A label made apart from the screen and written on again, as the frame-rate overlay is every
       // second: filled, then the text. It is shown before its text too (with 3D on, from a texture
       // that the text must renew), and at last tinted (from a texture again).
       static Kit::SysFont font(nullptr, "DejaVu Sans", 10);
       Kit::DDImage label(static_cast<Kit::DDImage*>(g.mDestImage)->mDisplay);
       label.Create(80, 16);
       Kit::Graphics onLabel(&label);
       onLabel.SetFont(&font);
       for (const char* text : {"FPS: 0", "FPS: 60"}) {
         onLabel.SetColor(Kit::Color(0, 0, 0));
         onLabel.FillRect(0, 0, 80, 16);
         g.DrawImage(&label, 30, 20);
         onLabel.SetColor(Kit::Color(255, 255, 255));
         onLabel.DrawString(text, 2, font.GetAscent());
       }
       g.SetColorizeImages(true);
       g.SetColor(Kit::Color(255, 255, 0));
       g.DrawImage(&label, 30, 40);
     }},
    {"SubPixelClipped",
     [](Kit::Graphics& g, Pictures& p) {
       g.mDestImage->BltF(p.framed.get(), 12, 50, Kit::Rect(0, 0, 36, 24), Kit::Rect(20, 0, 100, 66), Kit::Color::White,
                          0);
       g.mDestImage->BltF(p.framed.get(), 100, 10, Kit::Rect(0, 0, 36, 24), Kit::Rect(0, 0, 160, 96),
                          Kit::Color(255, 255, 255, 128), 1);
     }},
    {"Matrix",
     [](Kit::Graphics& g, Pictures& p) {
       Kit::Matrix3 m;  // 1.5 times as large, turned by half a radian
       m.m[0][0] = m.m[1][1] = 1.5f * std::cos(0.5f);
       m.m[1][0] = 1.5f * std::sin(0.5f);
       m.m[0][1] = -m.m[1][0];
       g.mDestImage->BltMatrix(p.opaque.get(), 60, 50, m, Kit::Rect(10, 10, 120, 70), Kit::Color::White, 0,
                               Kit::Rect(0, 0, 40, 30), false);
     }},
    {"Triangles", DrawTriangles},
    {"Rotated", [](Kit::Graphics& g, Pictures& p) { g.DrawImageRotatedF(p.framed.get(), 50.5f, 30.25f, 0.7); }, true},
    {"Mirrored", [](Kit::Graphics& g, Pictures& p) { g.DrawImageMirror(p.alpha.get(), 60, 20); }},
    {"Stretched",
     [](Kit::Graphics& g, Pictures& p) {
       g.SetFastStretch(true);
       g.DrawImage(p.opaque.get(), Kit::Rect(5, 5, 80, 45), Kit::Rect(0, 0, 40, 30));
       // Mirrored nearest-texel stretches at whole scales: the paths round fractional places apart.
       g.mDestImage->StretchBltMirror(p.opaque.get(), Kit::Rect(10, 55, 80, 30), Kit::Rect(0, 0, 40, 15),
                                      Kit::Rect(0, 0, 160, 96), Kit::Color::White, 0, true);
     }},
    {"SmoothStretch",
     [](Kit::Graphics& g, Pictures& p) {
       g.SetFastStretch(false);
       g.DrawImage(p.framed.get(), Kit::Rect(90, 40, 60, 50), Kit::Rect(0, 0, 36, 24));
     },
     true},
};

void PrintTo(const Scene& scene, std::ostream* out) { *out << scene.name; }

class DrawComparisonTest : public testing::TestWithParam<std::tuple<testsupport::ScreenFormat, Scene>> {
 protected:
  // The scene on a fresh display over a patterned background, read back as 0xFFRRGGBB.
  std::vector<std::uint32_t> Draw(bool use3D) {
    static HWND window = testsupport::CreateTestWindow("DrawComparison", "3D", 0, 0, kWidth, kHeight);
    testsupport::ScreenHost host(kWidth, kHeight);
    Kit::DDInterface display(&host);
    host.display = &display;
    display.mIs3D = use3D;
    EXPECT_EQ(display.Init(window, true), Kit::DDInterface::RESULT_OK) << display.mErrorString;
    EXPECT_EQ(display.mIs3D, use3D);
    Pictures pictures(&host);
    {
      Kit::Graphics g(display.GetScreenImage());
      for (int band = 0; band < 4; ++band) {
        g.SetColor(Kit::Color(30 + 60 * band, 90, 150 - 30 * band));
        g.FillRect(band * kWidth / 4, 0, kWidth / 4, kHeight);
      }
      std::get<1>(GetParam()).draw(g, pictures);
    }
    EXPECT_TRUE(display.Redraw());
    return testsupport::ReadSurfaceArgb(display.mDrawSurface, kWidth, kHeight);
  }
};

TEST_P(DrawComparisonTest, ThreeDDrawsWhatTwoDDraws) {
  const plat::DesktopFormat format = std::get<0>(GetParam()).format;
  const auto desktop = testsupport::UseTestDesktop(format);
  const std::vector<std::uint32_t> twoD = Draw(false), threeD = Draw(true);
  ASSERT_EQ(twoD.size(), static_cast<std::size_t>(kWidth * kHeight));
  ASSERT_EQ(threeD.size(), twoD.size());
  // Opaque pictures become 5-6-5 textures, one 5-bit step (8) from their 32-bit pixels; on a 16-bit
  // screen the 2D blend works with 5-bit alpha and lands up to two 5-bit steps (17 once widened) away.
  const int tolerance = format == plat::DesktopFormat::Xrgb8888 ? 8 : 17;
  const bool edges = std::get<1>(GetParam()).edgesMayDiffer;
  const auto channel = [](std::uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); };
  int worst = 0, worstAt = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      for (int shift = 0; shift < 24; shift += 8) {
        const int i = y * kWidth + x, v = channel(threeD[i], shift);
        int low = channel(twoD[i], shift), high = low;
        for (int ny = std::max(y - 1, 0); edges && ny <= std::min(y + 1, kHeight - 1); ++ny)
          for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, kWidth - 1); ++nx) {
            low = std::min(low, channel(twoD[ny * kWidth + nx], shift));
            high = std::max(high, channel(twoD[ny * kWidth + nx], shift));
          }
        const int d = std::max({0, low - v, v - high});
        if (d > worst) worst = d, worstAt = i;
      }
  EXPECT_LE(worst, tolerance) << "at (" << worstAt % kWidth << ", " << worstAt / kWidth << "): 2D " << std::hex
                              << twoD[worstAt] << ", 3D " << threeD[worstAt];
}

INSTANTIATE_TEST_SUITE_P(Scenes, DrawComparisonTest,
                         testing::Combine(testing::ValuesIn(testsupport::kScreenFormats), testing::ValuesIn(kScenes)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

}  // namespace
