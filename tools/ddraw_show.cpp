// Shows DirectDraw frames in a real window: a windowed frame blitted to the primary surface; a
// full-screen flip chain whose back buffer is filled and flipped, then flipped back to the system's
// (GDI) surface; a windowed frame again in the window given back its place and size. Each frame is
// read back from the window's renderer and compared with what was drawn.
//
//   ddraw_show [--bits 16|32] [--hold <ms>]
//
// Exit status: 0 when every frame was shown as drawn, 1 when one was not, 77 when no display can be
// opened (the check is skipped).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/ddraw/DDraw.h"
#include "platform/ddraw/PresentedFrame.h"
#include "platform/win/system/DisplaySettings.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/SdlWindow.h"
#include "platform/win/window/Window.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kSkipped = 77;

void PumpFor(DWORD millis) {
  const DWORD end = GetTickCount() + millis;
  do {
    MSG message;
    while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&message);
    Sleep(5);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

DWORD Pack(const DDPIXELFORMAT& format, int r, int g, int b) {
  auto channel = [](DWORD mask, int value) {
    const int bits = __builtin_popcount(mask);
    const int shift = __builtin_ctz(mask);
    return (static_cast<DWORD>(value) >> (8 - bits) << shift) & mask;
  };
  return channel(format.dwRBitMask, r) | channel(format.dwGBitMask, g) | channel(format.dwBBitMask, b);
}

HRESULT Fill(IDirectDrawSurface7* surface, RECT* rect, DWORD value) {
  DDBLTFX fx{};
  fx.dwSize = sizeof(fx);
  fx.dwFillColor = value;
  return surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

// Compares a shown pixel (frame coordinates scaled onto the output) with a drawn value.
bool Expect(const plat::PresentedFrame& shown, int frameWidth, int frameHeight, int x, int y, DWORD drawn,
            const DDPIXELFORMAT& format, const char* what) {
  if (shown.width <= 0 || shown.height <= 0) {
    std::fprintf(stderr, "%s: nothing was shown\n", what);
    return false;
  }
  const double scale =
      std::min(static_cast<double>(shown.width) / frameWidth, static_cast<double>(shown.height) / frameHeight);
  const int left = static_cast<int>((shown.width - frameWidth * scale) / 2);
  const int top = static_cast<int>((shown.height - frameHeight * scale) / 2);
  const int sx = left + static_cast<int>((x + 0.5) * scale);
  const int sy = top + static_cast<int>((y + 0.5) * scale);
  const DWORD expected = plat::ShownColorOf(drawn, format);
  const DWORD got = shown.At(sx, sy);
  if (!plat::ShowsPixel(got, drawn, format)) {
    std::fprintf(stderr, "%s: pixel %d,%d shows %06x, drawn %06x\n", what, x, y, static_cast<unsigned>(got),
                 static_cast<unsigned>(expected));
    return false;
  }
  return true;
}

bool ShowWindowed(IDirectDraw7* dd, HWND window, DWORD hold, const char* what) {
  dd->SetCooperativeLevel(window, DDSCL_NORMAL);
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  IDirectDrawSurface7* primary = nullptr;
  if (dd->CreateSurface(&desc, &primary, nullptr) != DD_OK) return false;
  IDirectDrawClipper* clipper = nullptr;
  dd->CreateClipper(0, &clipper, nullptr);
  clipper->SetHWnd(0, window);
  primary->SetClipper(clipper);
  clipper->Release();

  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = kWidth;
  desc.dwHeight = kHeight;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  IDirectDrawSurface7* frame = nullptr;
  dd->CreateSurface(&desc, &frame, nullptr);
  DDPIXELFORMAT format{};
  frame->GetPixelFormat(&format);
  const DWORD red = Pack(format, 255, 0, 0);
  const DWORD white = Pack(format, 255, 255, 255);
  Fill(frame, nullptr, red);
  RECT box{100, 80, 220, 160};
  Fill(frame, &box, white);

  RECT client{};
  const bool placed = plat::GetClientRectOnScreen(window, &client);
  if (!placed) std::fprintf(stderr, "%s: the window's client area is not on the screen\n", what);
  const bool blitted = primary->Blt(&client, frame, nullptr, DDBLT_WAIT, nullptr) == DD_OK;
  if (!blitted) std::fprintf(stderr, "%s: the frame could not be blitted to the primary surface\n", what);
  PumpFor(hold);
  const plat::PresentedFrame shown = plat::ReadPresentedFrame(window);
  if (shown.width != kWidth || shown.height != kHeight) {
    std::fprintf(stderr, "%s: shown at %dx%d, the window is %dx%d\n", what, shown.width, shown.height, kWidth, kHeight);
  }
  const bool ok = placed && blitted && shown.width == kWidth && shown.height == kHeight &&
                  Expect(shown, kWidth, kHeight, 10, 10, red, format, what) &&
                  Expect(shown, kWidth, kHeight, 160, 120, white, format, what) &&
                  Expect(shown, kWidth, kHeight, kWidth - 1, kHeight - 1, red, format, what);
  frame->Release();
  primary->Release();
  return ok;
}

bool ShowFlipped(IDirectDraw7* dd, HWND window, int bits, DWORD hold) {
  if (dd->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK) return false;
  if (dd->SetDisplayMode(800, 600, static_cast<DWORD>(bits), 0, 0) != DD_OK) return false;
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  IDirectDrawSurface7* primary = nullptr;
  if (dd->CreateSurface(&desc, &primary, nullptr) != DD_OK) return false;
  DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
  IDirectDrawSurface7* back = nullptr;
  primary->GetAttachedSurface(&caps, &back);
  DDPIXELFORMAT format{};
  back->GetPixelFormat(&format);
  const DWORD blue = Pack(format, 0, 0, 255);
  const DWORD green = Pack(format, 0, 255, 0);
  const DWORD yellow = Pack(format, 255, 255, 0);
  // The surface the system draws on (its dialogs) is the one shown first.
  Fill(primary, nullptr, yellow);
  Fill(back, nullptr, blue);
  RECT quarter{400, 300, 800, 600};
  Fill(back, &quarter, green);
  const bool flipped = primary->Flip(nullptr, DDFLIP_WAIT) == DD_OK;
  if (!flipped) std::fprintf(stderr, "flipped: the flip chain could not be flipped\n");
  PumpFor(hold);
  const plat::PresentedFrame shown = plat::ReadPresentedFrame(window);
  bool ok = flipped && Expect(shown, 800, 600, 200, 150, blue, format, "flipped") &&
            Expect(shown, 800, 600, 600, 450, green, format, "flipped");
  // Back to the system's surface, as before a dialog is shown over the game.
  dd->FlipToGDISurface();
  PumpFor(hold);
  const plat::PresentedFrame gdi = plat::ReadPresentedFrame(window);
  ok = Expect(gdi, 800, 600, 200, 150, yellow, format, "GDI surface") &&
       Expect(gdi, 800, 600, 600, 450, yellow, format, "GDI surface") && ok;
  back->Release();
  primary->Release();
  dd->SetCooperativeLevel(window, DDSCL_NORMAL);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  int bits = 32;
  DWORD hold = 300;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--bits") == 0) bits = std::atoi(argv[i + 1]) == 16 ? 16 : 32;
    if (std::strcmp(argv[i], "--hold") == 0) hold = static_cast<DWORD>(std::strtoul(argv[i + 1], nullptr, 10));
  }
  plat::DisplaySettings settings = plat::CurrentDisplaySettings();
  settings.format = bits == 16 ? plat::DesktopFormat::Rgb565 : plat::DesktopFormat::Xrgb8888;
  plat::SetDisplaySettings(settings);

  WNDCLASS windowClass{};
  windowClass.lpfnWndProc = DefWindowProc;
  windowClass.lpszClassName = "DDrawShow";
  RegisterClass(&windowClass);
  HWND window = CreateWindowEx(0, "DDrawShow", "DirectDraw check", WS_POPUP | WS_VISIBLE, 100, 100, kWidth, kHeight,
                               nullptr, nullptr, nullptr, nullptr);
  if (!window || !plat::SdlWindowOf(window)) {
    std::fprintf(stderr, "no display to show the window on\n");
    return kSkipped;
  }
  void* object = nullptr;
  if (DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr) != DD_OK) return 1;
  auto* dd = static_cast<IDirectDraw7*>(object);
  PumpFor(hold);
  const bool windowed = ShowWindowed(dd, window, hold, "windowed");
  const bool flipped = ShowFlipped(dd, window, bits, hold);
  PumpFor(hold);
  const bool restored = ShowWindowed(dd, window, hold, "windowed again");
  dd->Release();
  PumpFor(50);
  DestroyWindow(window);
  std::printf("windowed %s, flipped %s, windowed again %s (%d-bit)\n", windowed ? "shown" : "WRONG",
              flipped ? "shown" : "WRONG", restored ? "shown" : "WRONG", bits);
  return windowed && flipped && restored ? 0 : 1;
}
