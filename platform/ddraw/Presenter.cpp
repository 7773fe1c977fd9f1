#include "platform/ddraw/Presenter.h"

#include <SDL.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <initializer_list>

#include "platform/ddraw/FrameRows.h"
#include "platform/ddraw/PresentedFrame.h"
#include "platform/ddraw/RendererChoice.h"
#include "platform/win/window/SdlWindow.h"

namespace plat::ddraw {
namespace {

Uint32 SdlFormatOf(const PixelLayout& layout) {
  if (layout.palettized) return SDL_PIXELFORMAT_UNKNOWN;
  // The alpha bits are not shown: the format is built from the colour masks alone.
  return SDL_MasksToPixelFormatEnum(layout.bytesPerPixel * 8, layout.redMask, layout.greenMask, layout.blueMask, 0);
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool IsWideFormat(Uint32 format) { return format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888; }

// Writes the frame's rows into out, each pixel through `row` (count pixels of the surface at a time),
// black where the area lies outside the surface. A feed puts each row in place just before.
template <typename WriteRow>
void WriteFrame(const FrameSource& frame, BYTE* out, int pitch, int outBytesPerPixel, WriteRow row,
                RowFeed* feed = nullptr) {
  const PixelView& surface = frame.surface;
  const LONG width = frame.area.right - frame.area.left;
  const LONG left = std::max<LONG>(frame.area.left, 0), right = std::min<LONG>(frame.area.right, surface.width);
  for (LONG y = frame.area.top; y < frame.area.bottom; ++y, out += pitch) {
    if (feed) feed->Through(y + 1);
    if (y < 0 || y >= surface.height || left >= right) {
      std::memset(out, 0, static_cast<size_t>(width) * outBytesPerPixel);
      continue;
    }
    const size_t before = static_cast<size_t>(left - frame.area.left) * outBytesPerPixel;
    std::memset(out, 0, before);
    row(surface.pixels + static_cast<size_t>(y) * surface.pitch + static_cast<size_t>(left) * surface.bytesPerPixel,
        out + before, static_cast<int>(right - left));
    std::memset(out + before + static_cast<size_t>(right - left) * outBytesPerPixel, 0,
                static_cast<size_t>(frame.area.right - right) * outBytesPerPixel);
  }
}

// Widens count frame pixels into 32-bit pixels.
auto WideningRun(FrameFormat widen) {
  return [widen](const BYTE* from, BYTE* to, int count) {
    WidenRow(widen, from, reinterpret_cast<std::uint32_t*>(to), count);
  };
}

}  // namespace

Presenter::~Presenter() { Detach(); }

bool Presenter::Attach(HWND window) {
  // The window may have been destroyed since, and SDL with it freed the renderer: forget both.
  if (mWindow && SdlWindowOf(mWindow) != mSdlWindow) Forget();
  if (window == mWindow && mRenderer) return true;
  Detach();
  SDL_Window* sdlWindow = window ? SdlWindowOf(window) : nullptr;
  if (!sdlWindow) return false;
  SDL_Renderer* renderer = SDL_GetRenderer(sdlWindow);
  mOwnsRenderer = !renderer;
  if (!renderer) renderer = CreateWindowRenderer(sdlWindow);
  if (!renderer) return false;
  mWindow = window;
  mSdlWindow = sdlWindow;
  mRenderer = renderer;
  SDL_RendererInfo info{};
  SDL_GetRendererInfo(renderer, &info);
  mSoftware = (info.flags & SDL_RENDERER_SOFTWARE) != 0;
  const auto takes = [&info](Uint32 format) {
    for (Uint32 i = 0; i < info.num_texture_formats; ++i)
      if (info.texture_formats[i] == format) return true;
    return false;
  };
  mWideFormat = SDL_PIXELFORMAT_UNKNOWN;
  for (Uint32 format :
       {SDL_GetWindowPixelFormat(sdlWindow), Uint32{SDL_PIXELFORMAT_RGB888}, Uint32{SDL_PIXELFORMAT_ARGB8888}}) {
    if (IsWideFormat(format) && takes(format)) {
      mWideFormat = format;
      break;
    }
  }
  return true;
}

void Presenter::Detach() {
  if (!mWindow) return;
  if (SdlWindowOf(mWindow) == mSdlWindow) {
    if (mTexture) SDL_DestroyTexture(mTexture);
    if (mFullScreen) LeaveFullScreen();
    if (mOwnsRenderer) {
      SDL_DestroyRenderer(mRenderer);
    } else {
      SDL_RenderSetLogicalSize(mRenderer, 0, 0);
    }
  }
  Forget();
}

void Presenter::Forget() {
  mWindow = nullptr;
  mSdlWindow = nullptr;
  mRenderer = nullptr;
  mTexture = nullptr;
  mTextureFormat = 0;
  mPrepared = false;
  mFilled = false;
  mInWindow = false;
  mShownSurface = nullptr;
  mClearedWidth = mClearedHeight = -1;
  mFullScreen = false;
  mLogicalWidth = 0;
  mLogicalHeight = 0;
}

void Presenter::EnterFullScreen() {
  SDL_GetWindowPosition(mSdlWindow, &mWindowedX, &mWindowedY);
  SDL_GetWindowSize(mSdlWindow, &mWindowedWidth, &mWindowedHeight);
  mWindowedBorderless = (SDL_GetWindowFlags(mSdlWindow) & SDL_WINDOW_BORDERLESS) != 0;
  // Desktop full screen is a request to the window manager: SDL takes the window for screen-sized at
  // once, while the window keeps its old size until a manager grants it, and without one (a bare X
  // server) never. The renderer would lay the frame out for a size the window does not have and show
  // black. So the window first covers the screen by itself; the request then only adds what a window
  // manager does for full-screen windows.
  SDL_Rect screen{0, 0, mWindowedWidth, mWindowedHeight};
  const int display = SDL_GetWindowDisplayIndex(mSdlWindow);
  if (display >= 0) SDL_GetDisplayBounds(display, &screen);
  SDL_SetWindowBordered(mSdlWindow, SDL_FALSE);
  SDL_SetWindowPosition(mSdlWindow, screen.x, screen.y);
  SDL_SetWindowSize(mSdlWindow, screen.w, screen.h);
  SDL_SetWindowFullscreen(mSdlWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void Presenter::LeaveFullScreen() {
  SDL_SetWindowFullscreen(mSdlWindow, 0);
  // Not every video driver gives the window its place and size back by itself.
  SDL_SetWindowBordered(mSdlWindow, mWindowedBorderless ? SDL_FALSE : SDL_TRUE);
  SDL_SetWindowSize(mSdlWindow, mWindowedWidth, mWindowedHeight);
  SDL_SetWindowPosition(mSdlWindow, mWindowedX, mWindowedY);
}

void Presenter::SetScreenMode(HWND window, bool fullScreen, int width, int height) {
  if (!Attach(window)) return;
  if (fullScreen != mFullScreen) {
    if (fullScreen) {
      EnterFullScreen();
    } else {
      LeaveFullScreen();
    }
    mFullScreen = fullScreen;
  }
  const int logicalWidth = fullScreen ? width : 0;
  const int logicalHeight = fullScreen ? height : 0;
  if (logicalWidth != mLogicalWidth || logicalHeight != mLogicalHeight) {
    SDL_RenderSetLogicalSize(mRenderer, logicalWidth, logicalHeight);
    mClearedWidth = mClearedHeight = -1;
    mLogicalWidth = logicalWidth;
    mLogicalHeight = logicalHeight;
  }
}

Uint32 Presenter::TextureFormatFor(const PixelLayout& layout) const {
  const Uint32 own = SdlFormatOf(layout);
  if (own == SDL_GetWindowPixelFormat(mSdlWindow) || mWideFormat == SDL_PIXELFORMAT_UNKNOWN || !FrameFormatOf(layout))
    return own;
  return mWideFormat;
}

bool Presenter::HoldTexture(Uint32 format, int width, int height) {
  if (mTexture && mTextureWidth == width && mTextureHeight == height && mTextureFormat == format) return true;
  if (mTexture) SDL_DestroyTexture(mTexture);
  mTexture = SDL_CreateTexture(mRenderer, format, SDL_TEXTUREACCESS_STREAMING, width, height);
  mTextureFormat = mTexture ? format : 0;
  mFilled = false;
  if (!mTexture) return false;
  SDL_SetTextureBlendMode(mTexture, SDL_BLENDMODE_NONE);
  mTextureWidth = width;
  mTextureHeight = height;
  return true;
}

std::optional<RECT> Presenter::PartToWrite(const RECT& area, const RECT* changed) const {
  if (!changed || !mFilled || !SameRect(mFilledArea, area)) return area;
  const RECT part{std::max(area.left, changed->left), std::max(area.top, changed->top),
                  std::min(area.right, changed->right), std::min(area.bottom, changed->bottom)};
  if (part.left >= part.right || part.top >= part.bottom) return std::nullopt;
  return part;
}

bool Presenter::Prepare(HWND window, const FrameSource& frame, const RECT* changed, RowFeed* feed,
                        bool feedHoldsAllChanges) {
  mPrepared = false;
  const int width = frame.area.right - frame.area.left, height = frame.area.bottom - frame.area.top;
  if (width <= 0 || height <= 0 || !Attach(window)) return false;
  // A software renderer of our own draws into the window's surface: the frame is written there itself.
  if (const auto widen = FrameFormatOf(frame.layout); widen && mSoftware && mOwnsRenderer) {
    SDL_Surface* surface = SDL_GetWindowSurface(mSdlWindow);
    if (surface && IsWideFormat(surface->format->format)) {
      if (!mInWindow) mFilled = false;
      mInWindow = true;
      return mPrepared = PrepareInWindow(*surface, frame, *widen, changed, feed, feedHoldsAllChanges);
    }
  }
  if (feed) feed->Through(frame.surface.height);
  if (mInWindow) mFilled = false;
  mInWindow = false;
  const Uint32 format = TextureFormatFor(frame.layout);
  if (format == SDL_PIXELFORMAT_UNKNOWN || !HoldTexture(format, width, height)) return false;
  const RECT& area = frame.area;
  const std::optional<RECT> part = PartToWrite(area, changed);
  if (!part) return false;
  const SDL_Rect lockRect{part->left - area.left, part->top - area.top, part->right - part->left,
                          part->bottom - part->top};
  void* pixels = nullptr;
  int pitch = 0;
  mFilled = false;
  if (SDL_LockTexture(mTexture, &lockRect, &pixels, &pitch) != 0) return false;
  BYTE* out = static_cast<BYTE*>(pixels);
  const FrameSource partSource{frame.surface, frame.layout, *part};
  if (format != SdlFormatOf(frame.layout)) {
    // Only a frame format with a widening is given a texture of another format.
    WriteFrame(partSource, out, pitch, 4, WideningRun(*FrameFormatOf(frame.layout)));
  } else {
    const int bytes = frame.layout.bytesPerPixel;
    WriteFrame(partSource, out, pitch, bytes, [bytes](const BYTE* from, BYTE* to, int count) {
      std::memcpy(to, from, static_cast<size_t>(count) * bytes);
    });
  }
  SDL_UnlockTexture(mTexture);
  mFilled = true;
  mFilledArea = area;
  mPrepared = true;
  return true;
}

SDL_Rect Presenter::ShownRect(int width, int height) const {
  if (!mLogicalWidth || !mLogicalHeight) return SDL_Rect{0, 0, width, height};
  // Where the renderer shows its logical size, so that pointer positions map onto the same pixels.
  int left = 0, top = 0, right = 0, bottom = 0;
  SDL_RenderLogicalToWindow(mRenderer, 0, 0, &left, &top);
  SDL_RenderLogicalToWindow(mRenderer, static_cast<float>(mLogicalWidth), static_cast<float>(mLogicalHeight), &right,
                            &bottom);
  left = std::clamp(left, 0, width);
  top = std::clamp(top, 0, height);
  return SDL_Rect{left, top, std::clamp(right, left, width) - left, std::clamp(bottom, top, height) - top};
}

bool Presenter::PrepareInWindow(SDL_Surface& surface, const FrameSource& frame, FrameFormat widen, const RECT* changed,
                                RowFeed* feed, bool feedHoldsAllChanges) {
  const SDL_Rect to = ShownRect(surface.w, surface.h);
  const bool unscaled = to.w == frame.area.right - frame.area.left && to.h == frame.area.bottom - frame.area.top;
  // Only the unscaled frame is written in the surface's row order; scaling reads rows out of order.
  if (feed && !unscaled) feed->Through(frame.surface.height);
  if (to.w <= 0 || to.h <= 0) return false;
  if (SDL_MUSTLOCK(&surface) && SDL_LockSurface(&surface) != 0) return false;
  BYTE* pixels = static_cast<BYTE*>(surface.pixels);
  const bool newPlace = &surface != mShownSurface || surface.w != mShownSize.cx || surface.h != mShownSize.cy ||
                        !SDL_RectEquals(&to, &mShownRect);
  if (newPlace) {
    // A new surface, size or layout: black around the frame, and all of the frame written. The bytes
    // are cleared directly: the renderer may have left a clip rectangle on its surface.
    for (int y = 0; y < surface.h; ++y) std::memset(pixels + static_cast<size_t>(y) * surface.pitch, 0, surface.w * 4);
    mShownSurface = &surface;
    mShownSize = SIZE{surface.w, surface.h};
    mShownRect = to;
    mFilled = false;
  }
  BYTE* origin = pixels + static_cast<size_t>(to.y) * surface.pitch + static_cast<size_t>(to.x) * 4;
  const RECT& area = frame.area;
  bool written = true;
  mWholeWindow = true;
  mWindowRects.clear();
  if (unscaled) {
    // The window shows this frame but for what changed: only that is written and sent to the screen;
    // with the feed's rows all that changed, only their changed columns.
    const bool holdsFrame = changed && mFilled && SameRect(mFilledArea, area);
    const std::optional<RECT> part = PartToWrite(area, changed);
    if (part && holdsFrame && feed && feedHoldsAllChanges) {
      mWholeWindow = false;
      WriteChangedColumns(FrameSource{frame.surface, frame.layout, *part}, widen, origin, area, to, surface.pitch,
                          *feed);
    } else if (part) {
      if (holdsFrame) {
        mWholeWindow = false;
        mWindowRects.push_back(
            SDL_Rect{to.x + static_cast<int>(part->left - area.left), to.y + static_cast<int>(part->top - area.top),
                     static_cast<int>(part->right - part->left), static_cast<int>(part->bottom - part->top)});
      }
      WriteFrame(FrameSource{frame.surface, frame.layout, *part},
                 origin + static_cast<size_t>(part->top - area.top) * surface.pitch +
                     static_cast<size_t>(part->left - area.left) * 4,
                 surface.pitch, 4, WideningRun(widen), feed);
    } else {
      written = false;
    }
  } else {
    WriteScaled(frame, widen, origin, surface.pitch, to.w, to.h);
  }
  if (SDL_MUSTLOCK(&surface)) SDL_UnlockSurface(&surface);
  mFilled = true;
  mFilledArea = area;
  return written;
}

void Presenter::WriteChangedColumns(const FrameSource& part, FrameFormat widen, BYTE* origin, const RECT& area,
                                    const SDL_Rect& to, int pitch, RowFeed& feed) {
  const PixelView& surface = part.surface;
  // What changed in each band of rows, as one rectangle of the window for Show to send; a band that
  // goes on below one of the same columns joins its rectangle (a frame changed everywhere is one).
  LONG bandTop = part.area.top, bandLeft = part.area.right, bandRight = part.area.left;
  const auto endBand = [&](LONG bandBottom) {
    if (bandLeft < bandRight) {
      const SDL_Rect band{to.x + static_cast<int>(bandLeft - area.left), to.y + static_cast<int>(bandTop - area.top),
                          static_cast<int>(bandRight - bandLeft), static_cast<int>(bandBottom - bandTop)};
      SDL_Rect* above = mWindowRects.empty() ? nullptr : &mWindowRects.back();
      if (above && above->x == band.x && above->w == band.w && above->y + above->h == band.y)
        above->h += band.h;
      else
        mWindowRects.push_back(band);
    }
    bandTop = bandBottom;
    bandLeft = part.area.right;
    bandRight = part.area.left;
  };
  // A 32-bit frame's rows the feed copies whole it writes here too, as it copies them.
  if (widen == FrameFormat::kXrgb8888)
    feed.AlsoOpaqueInto(OpaqueRows{origin + static_cast<std::ptrdiff_t>(part.area.top - area.top) * pitch +
                                       static_cast<std::ptrdiff_t>(part.area.left - area.left) * 4,
                                   pitch, part.area});
  for (LONG y = part.area.top; y < part.area.bottom; ++y) {
    if (y - bandTop == kWindowRectRows) endBand(y);
    feed.Through(y + 1);
    BYTE* out = origin + static_cast<std::ptrdiff_t>(y - area.top) * pitch;
    const bool written = feed.WroteOpaque(y);
    for (const ColumnRun& run : feed.ChangedColumns(y)) {
      const LONG left = std::max(run.left, part.area.left), right = std::min(run.right, part.area.right);
      if (left >= right) continue;
      if (!written)
        WidenRow(widen, surface.pixels + static_cast<std::ptrdiff_t>(y) * surface.pitch + left * surface.bytesPerPixel,
                 reinterpret_cast<std::uint32_t*>(out + static_cast<std::ptrdiff_t>(left - area.left) * 4),
                 right - left);
      bandLeft = std::min(bandLeft, left);
      bandRight = std::max(bandRight, right);
    }
  }
  endBand(part.area.bottom);
  feed.AlsoOpaqueInto(std::nullopt);
}

void Presenter::WriteScaled(const FrameSource& frame, FrameFormat widen, BYTE* out, int pitch, int width, int height) {
  // Each pixel shows the frame pixel under its centre: one widened frame row at a time, spread over
  // the row; a row that shows the same frame row again copies the row above.
  const LONG frameWidth = frame.area.right - frame.area.left, frameHeight = frame.area.bottom - frame.area.top;
  if (mColumns.size() != static_cast<size_t>(width) || mColumnsFrameWidth != frameWidth) {
    mColumns.resize(width);
    for (int x = 0; x < width; ++x)
      mColumns[x] = static_cast<int>((2 * static_cast<std::int64_t>(x) + 1) * frameWidth / (2 * width));
    mColumnsFrameWidth = frameWidth;
  }
  mRow.resize(frameWidth);
  LONG shownRow = -1;
  for (int y = 0; y < height; ++y, out += pitch) {
    const LONG row = static_cast<LONG>((2 * static_cast<std::int64_t>(y) + 1) * frameHeight / (2 * height));
    if (row == shownRow) {
      std::memcpy(out, out - pitch, static_cast<size_t>(width) * 4);
      continue;
    }
    shownRow = row;
    FrameSource line = frame;
    line.area.top += row;
    line.area.bottom = line.area.top + 1;
    WriteFrame(line, reinterpret_cast<BYTE*>(mRow.data()), 0, 4, WideningRun(widen));
    SpreadRow(mRow.data(), mColumns.data(), reinterpret_cast<std::uint32_t*>(out), width);
  }
}

void Presenter::WindowLostPixels() {
  mShownSurface = nullptr;
  mFilled = false;
  mClearedWidth = mClearedHeight = -1;
}

void Presenter::Show() {
  if (!mPrepared || !mRenderer) return;
  mPrepared = false;
  if (mInWindow) {
    if (mWholeWindow) {
      SDL_UpdateWindowSurface(mSdlWindow);
    } else if (!mWindowRects.empty()) {
      SDL_UpdateWindowSurfaceRects(mSdlWindow, mWindowRects.data(), static_cast<int>(mWindowRects.size()));
    }
    return;
  }
  int width = 0, height = 0;
  SDL_GetRendererOutputSize(mRenderer, &width, &height);
  if (!mSoftware || width != mClearedWidth || height != mClearedHeight) {
    SDL_SetRenderDrawColor(mRenderer, 0, 0, 0, 255);
    SDL_RenderClear(mRenderer);
    mClearedWidth = width;
    mClearedHeight = height;
  }
  SDL_RenderCopy(mRenderer, mTexture, nullptr, nullptr);
  SDL_RenderPresent(mRenderer);
}

std::optional<SIZE> ScreenSize() {
  if (!IsMainThread() || !SDL_WasInit(SDL_INIT_VIDEO)) return std::nullopt;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0 || mode.w <= 0 || mode.h <= 0) return std::nullopt;
  return SIZE{mode.w, mode.h};
}

}  // namespace plat::ddraw

namespace plat {

PresentedFrame ReadPresentedFrame(HWND window) {
  PresentedFrame frame;
  SDL_Window* sdlWindow = window ? SdlWindowOf(window) : nullptr;
  SDL_Renderer* renderer = sdlWindow ? SDL_GetRenderer(sdlWindow) : nullptr;
  if (!renderer) return frame;
  int width = 0;
  int height = 0;
  if (SDL_GetRendererOutputSize(renderer, &width, &height) != 0 || width <= 0 || height <= 0) return frame;
  // Read the whole output, also outside a logical size.
  int logicalWidth = 0;
  int logicalHeight = 0;
  SDL_RenderGetLogicalSize(renderer, &logicalWidth, &logicalHeight);
  if (logicalWidth) SDL_RenderSetLogicalSize(renderer, 0, 0);
  frame.pixels.resize(static_cast<size_t>(width) * height);
  const bool read =
      SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, frame.pixels.data(), width * 4) == 0;
  if (logicalWidth) SDL_RenderSetLogicalSize(renderer, logicalWidth, logicalHeight);
  if (!read) {
    frame.pixels.clear();
    return frame;
  }
  for (DWORD& pixel : frame.pixels) pixel &= 0xFFFFFF;
  frame.width = width;
  frame.height = height;
  return frame;
}

DWORD ShownColorOf(DWORD pixel, const DDPIXELFORMAT& format) {
  const Uint32 sdlFormat = SDL_MasksToPixelFormatEnum(static_cast<int>(format.dwRGBBitCount), format.dwRBitMask,
                                                      format.dwGBitMask, format.dwBBitMask, 0);
  if (sdlFormat == SDL_PIXELFORMAT_UNKNOWN) return 0;
  // Widened by the same conversion the software renderer uses on its way to the window.
  Uint32 shown = 0;
  if (SDL_ConvertPixels(1, 1, sdlFormat, &pixel, 4, SDL_PIXELFORMAT_RGB888, &shown, 4) != 0) return 0;
  return shown & 0xFFFFFF;
}

bool ShowsPixel(DWORD shown, DWORD pixel, const DDPIXELFORMAT& format) {
  const DWORD masks[] = {format.dwRBitMask, format.dwGBitMask, format.dwBBitMask};
  for (int channel = 0; channel < 3; ++channel) {
    const DWORD mask = masks[channel];
    if (!mask) return false;
    const int bits = std::popcount(mask);
    const DWORD value = (pixel & mask) >> std::countr_zero(mask);
    const DWORD shownValue = (shown >> (16 - 8 * channel)) & 0xFF;
    if (bits >= 8 ? shownValue != (value >> (bits - 8)) : (shownValue >> (8 - bits)) != value) return false;
  }
  return true;
}

}  // namespace plat
