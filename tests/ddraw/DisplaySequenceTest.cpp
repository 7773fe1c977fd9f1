// The display's own use of DirectDraw, start to end, through the version-1 interfaces it holds: made
// with DirectDrawCreateEx and converted, or with DirectDrawCreate where the newer entry point is missing.
#include "DDrawFixture.h"
#include "MainWindow.h"
#include "platform/ddraw/PresentedFrame.h"
#include "platform/win/Modules.h"
#include "platform/win/SdlWindow.h"
#include "platform/win/Window.h"

namespace ddraw_test {
namespace {

// What the display keeps between its start and its clean-up.
struct Display {
  Com<IDirectDraw> dd;
  Com<IDirectDraw7> dd7;
  Com<IDirectDrawSurface> primary;
  Com<IDirectDrawSurface> back;
  Com<IDirectDrawSurface> draw;
  Com<IDirectDrawSurface> cursorArea;
};

class DisplaySequenceTest : public DDrawTest {
 protected:
  void SetUp() override {
    DDrawTest::SetUp();
    mDD.reset();
    mWindow = MainWindow();
    ASSERT_NE(plat::SdlWindowOf(mWindow), nullptr);
    ASSERT_TRUE(plat::GetClientRectOnScreen(mWindow, &mClient));
  }
  void TearDown() override {
    plat::ResetModuleFaults();
    Pump();
    DDrawTest::TearDown();
  }

  // Creates a surface the way the display does: through IDirectDraw7 and a conversion when it has
  // one, else through IDirectDraw with the older description.
  HRESULT Create(Display& display, DWORD flags, DWORD caps, DWORD width, DWORD height, DWORD backBuffers,
                 Com<IDirectDrawSurface>& out) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = flags;
    desc.ddsCaps.dwCaps = caps;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.dwBackBufferCount = backBuffers;
    if (display.dd7) {
      IDirectDrawSurface7* seven = nullptr;
      HRESULT hr = display.dd7->CreateSurface(&desc, &seven, nullptr);
      if (FAILED(hr)) return hr;
      IDirectDrawSurface* one = nullptr;
      hr = seven->QueryInterface(IID_IDirectDrawSurface, reinterpret_cast<void**>(&one));
      seven->Release();
      out.reset(one);
      return hr;
    }
    DDSURFACEDESC older{};
    older.dwSize = sizeof(older);
    older.dwFlags = desc.dwFlags;
    older.dwWidth = width;
    older.dwHeight = height;
    older.dwBackBufferCount = backBuffers;
    older.ddsCaps.dwCaps = caps;
    IDirectDrawSurface* one = nullptr;
    const HRESULT hr = display.dd->CreateSurface(&older, &one, nullptr);
    out.reset(one);
    return hr;
  }

  void Start(Display& display, bool withCreateEx, bool windowed) {
    HMODULE module = LoadLibrary("ddraw.dll");
    ASSERT_NE(module, nullptr);
    if (!withCreateEx) plat::SetExportMissing("ddraw.dll", "DirectDrawCreateEx", true);
    auto createEx = reinterpret_cast<LPDIRECTDRAWCREATEEX>(GetProcAddress(module, "DirectDrawCreateEx"));
    if (createEx) {
      void* object = nullptr;
      ASSERT_EQ(createEx(nullptr, &object, IID_IDirectDraw7, nullptr), DD_OK);
      display.dd7.reset(static_cast<IDirectDraw7*>(object));
      IDirectDraw* one = nullptr;
      ASSERT_EQ(display.dd7->QueryInterface(IID_IDirectDraw, reinterpret_cast<void**>(&one)), S_OK);
      display.dd.reset(one);
    } else {
      auto create = reinterpret_cast<LPDIRECTDRAWCREATE>(GetProcAddress(module, "DirectDrawCreate"));
      ASSERT_NE(create, nullptr);
      IDirectDraw* one = nullptr;
      ASSERT_EQ(create(nullptr, &one, nullptr), DD_OK);
      display.dd.reset(one);
    }
    FreeLibrary(module);

    if (windowed) {
      display.dd->SetCooperativeLevel(mWindow, DDSCL_NORMAL);
      ASSERT_EQ(Create(display, DDSD_CAPS, DDSCAPS_PRIMARYSURFACE, 0, 0, 0, display.primary), DD_OK);
    } else {
      ASSERT_EQ(display.dd->SetCooperativeLevel(mWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
      ASSERT_EQ(display.dd->SetDisplayMode(800, 600, road().bytesPerPixel * 8), DD_OK);
      ASSERT_EQ(Create(display, DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
                       DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX, 0, 0, 1, display.primary),
                DD_OK);
      DDSCAPS caps{DDSCAPS_BACKBUFFER};
      IDirectDrawSurface* back = nullptr;
      ASSERT_EQ(display.primary->GetAttachedSurface(&caps, &back), DD_OK);
      display.back.reset(back);
    }
    const DWORD width = windowed ? kClientWidth : 800;
    const DWORD height = windowed ? kClientHeight : 600;
    ASSERT_EQ(Create(display, DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY,
                     width, height, 0, display.draw),
              DD_OK);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(display.dd->CreateClipper(0, &clipper, nullptr), DD_OK);
    if (clipper->SetHWnd(0, mWindow) == DD_OK) display.primary->SetClipper(clipper);
    clipper->Release();
    DWORD hz = 0;
    ASSERT_EQ(display.dd->GetMonitorFrequency(&hz), DD_OK);
    EXPECT_EQ(hz, 60u);
    ASSERT_EQ(Create(display, DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, 64,
                     64, 0, display.cursorArea),
              DD_OK);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(display.primary->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, static_cast<DWORD>(road().bytesPerPixel * 8));
    EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, road().red);
  }

  // Draws a frame into the draw surface through a lock: a colour per quarter.
  void DrawFrame(Display& display, DWORD value) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(display.draw->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
      for (DWORD x = 0; x < desc.dwWidth; ++x) {
        const DWORD pixel = x < desc.dwWidth / 2 ? value : Pack(road(), 255, 255, 255);
        std::memcpy(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch + x * road().bytesPerPixel, &pixel,
                    road().bytesPerPixel);
      }
    ASSERT_EQ(display.draw->Unlock(desc.lpSurface), DD_OK);
  }

  HRESULT RedrawWindowed(Display& display) {
    RECT source{0, 0, kClientWidth, kClientHeight};
    RECT target = mClient;
    return display.primary->Blt(&target, display.draw.get(), &source, DDBLT_WAIT, nullptr);
  }

  void ExpectShown(DWORD left, int frameWidth, int frameHeight, const DDPIXELFORMAT& format) {
    const plat::PresentedFrame shown = plat::ReadPresentedFrame(mWindow);
    ASSERT_GT(shown.width, 0);
    const double scale = std::min(shown.width / double(frameWidth), shown.height / double(frameHeight));
    const int x0 = static_cast<int>((shown.width - frameWidth * scale) / 2);
    EXPECT_TRUE(
        plat::ShowsPixel(shown.At(x0 + static_cast<int>(frameWidth / 4 * scale), shown.height / 2), left, format));
    EXPECT_TRUE(plat::ShowsPixel(shown.At(x0 + static_cast<int>(frameWidth * 3 / 4 * scale), shown.height / 2),
                                 Pack(road(), 255, 255, 255), format));
  }

  HWND mWindow = nullptr;
  RECT mClient{};
};

TEST_P(DisplaySequenceTest, WindowedStartRedrawLossRestartAndCleanup) {
  for (bool withCreateEx : {true, false}) {
    SCOPED_TRACE(withCreateEx ? "DirectDrawCreateEx" : "DirectDrawCreate");
    Display display;
    Start(display, withCreateEx, true);
    DDPIXELFORMAT format{};
    display.primary->GetPixelFormat(&format);
    const DWORD red = Pack(road(), 255, 0, 0);
    DrawFrame(display, red);
    ASSERT_EQ(RedrawWindowed(display), DD_OK);
    ExpectShown(red, kClientWidth, kClientHeight, format);

    // The cursor's background is saved from the primary; a rectangle past the screen's edge fails and
    // is retried clipped to the primary's own size.
    RECT save{-10, -10, 54, 54};
    RECT into{0, 0, 64, 64};
    EXPECT_EQ(display.cursorArea->Blt(&into, display.primary.get(), &save, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    RECT clipped{0, 0, 54, 54};
    RECT part{10, 10, 64, 64};
    EXPECT_EQ(display.cursorArea->Blt(&part, display.primary.get(), &clipped, DDBLT_WAIT, nullptr), DD_OK);

    // Another program takes the display: the present fails and the display starts again.
    plat::FailNextWithSurfaceLost();
    EXPECT_EQ(RedrawWindowed(display), DDERR_SURFACELOST);
    display.dd->SetCooperativeLevel(mWindow, DDSCL_NORMAL);
    display = Display{};
    plat::ResetModuleFaults();
    Start(display, withCreateEx, true);
    const DWORD blue = Pack(road(), 0, 0, 255);
    DrawFrame(display, blue);
    ASSERT_EQ(RedrawWindowed(display), DD_OK);
    ExpectShown(blue, kClientWidth, kClientHeight, format);
    display.dd->SetCooperativeLevel(mWindow, DDSCL_NORMAL);
    plat::ResetModuleFaults();
  }
}

TEST_P(DisplaySequenceTest, FullScreenFlipsAndShowsPopupsOnTheGdiSurface) {
  // The full-screen window covers the mode from the screen's corner, as the application makes it.
  ASSERT_TRUE(MoveWindow(mWindow, 0, 0, 800, 600, TRUE));
  struct PutBack {
    HWND window;
    ~PutBack() { MoveWindow(window, kWindowX, kWindowY, kClientWidth, kClientHeight, TRUE); }
  } putBack{mWindow};
  for (bool withCreateEx : {true, false}) {
    SCOPED_TRACE(withCreateEx ? "DirectDrawCreateEx" : "DirectDrawCreate");
    Display display;
    Start(display, withCreateEx, false);
    DDPIXELFORMAT format{};
    display.primary->GetPixelFormat(&format);
    const DWORD green = Pack(road(), 0, 255, 0);
    DrawFrame(display, green);
    ASSERT_EQ(display.back->Blt(nullptr, display.draw.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
    ASSERT_EQ(display.primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    ExpectShown(green, 800, 600, format);

    // A pop-up over the game: the GDI surface comes to the front and frames are blitted straight to it.
    ASSERT_EQ(display.dd->FlipToGDISurface(), DD_OK);
    const DWORD red = Pack(road(), 255, 0, 0);
    DrawFrame(display, red);
    ASSERT_EQ(display.primary->Blt(nullptr, display.draw.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
    ExpectShown(red, 800, 600, format);

    // Clean-up in the display's order: surfaces, normal level, the objects.
    display.cursorArea.reset();
    display.draw.reset();
    display.back.reset();
    display.primary.reset();
    ASSERT_EQ(display.dd->SetCooperativeLevel(mWindow, DDSCL_NORMAL), DD_OK);
    display = Display{};
    Pump();
    plat::ResetModuleFaults();
  }
}

INSTANTIATE_TEST_SUITE_P(Roads, DisplaySequenceTest, testing::ValuesIn(kRoads), RoadName);

}  // namespace
}  // namespace ddraw_test
