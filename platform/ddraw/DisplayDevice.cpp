#include "platform/ddraw/DisplayDevice.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/ddraw/Presenter.h"
#include "platform/ddraw/RepaintWatch.h"
#include "platform/ddraw/Surface.h"
#include "platform/win/window/SdlWindow.h"

namespace plat::ddraw {
namespace {

constexpr int kFallbackScreenWidth = 1024;
constexpr int kFallbackScreenHeight = 768;

PixelLayout LayoutOf(DesktopFormat format) {
  switch (format) {
    case DesktopFormat::Rgb565:
      return PixelLayout::Rgb565();
    case DesktopFormat::Rgb555:
      return PixelLayout::Rgb555();
    case DesktopFormat::Rgb888:
      return PixelLayout::Rgb888();
    case DesktopFormat::Palette8:
      return PixelLayout::Palette8();
    case DesktopFormat::Xrgb8888:
      break;
  }
  return PixelLayout::Xrgb8888();
}

}  // namespace

DisplayDevice::DisplayDevice(const DisplaySettings& settings) {
  mDesktop.layout = LayoutOf(settings.format);
  mDesktop.refreshHz = settings.refreshHz;
  if (settings.desktopWidth > 0 && settings.desktopHeight > 0) {
    mDesktop.width = settings.desktopWidth;
    mDesktop.height = settings.desktopHeight;
  } else if (auto screen = ScreenSize()) {
    mDesktop.width = screen->cx;
    mDesktop.height = screen->cy;
  } else {
    mDesktop.width = kFallbackScreenWidth;
    mDesktop.height = kFallbackScreenHeight;
  }
  mMode = mDesktop;
  mVideoMemoryTotal = settings.videoMemoryBytes;
  // What the window showed is gone after a resize (entering or leaving full screen) or when it was
  // covered: show the primary again rather than leave the window black until the program's next present.
  mRepaintWatch = std::make_unique<RepaintWatch>([this] {
    if (auto self = weak_from_this().lock()) {
      self->mWindowLostPixels.store(true);
      self->QueuePresent();
    }
  });
}

DisplayDevice::~DisplayDevice() = default;

void DisplayDevice::SetMode(const DisplayMode& mode) {
  const bool changed = mode.width != mMode.width || mode.height != mMode.height || !(mode.layout == mMode.layout);
  mMode = mode;
  if (changed && mPrimary) mPrimary->MarkLost();
}

void DisplayDevice::SetCooperation(HWND window, bool exclusive) {
  mFocusWindow = window;
  mExclusive = exclusive;
}

bool DisplayDevice::ReserveVideoMemory(size_t bytes) {
  if (bytes > VideoMemoryFree()) return false;
  mVideoMemoryUsed += static_cast<DWORD>(bytes);
  return true;
}

void DisplayDevice::ReturnVideoMemory(size_t bytes) { mVideoMemoryUsed -= static_cast<DWORD>(bytes); }

HWND DisplayDevice::PresentationWindow() const {
  if (mPrimary) {
    if (HWND window = mPrimary->ClipperWindow()) return window;
  }
  return mFocusWindow;
}

void DisplayDevice::RunOnMainThread(void (DisplayDevice::*work)()) {
  if (IsMainThread()) {
    (this->*work)();
    return;
  }
  // The queued work keeps the device alive until the main thread has run it.
  PostToMainThread([self = shared_from_this(), work] { ((*self).*work)(); });
}

void DisplayDevice::NoteChanged(const RECT* changed) {
  if (!changed) {
    mChangedAll = true;
  } else if (mChanged.left >= mChanged.right || mChanged.top >= mChanged.bottom) {
    mChanged = *changed;
  } else {
    mChanged = RECT{std::min(mChanged.left, changed->left), std::min(mChanged.top, changed->top),
                    std::max(mChanged.right, changed->right), std::max(mChanged.bottom, changed->bottom)};
  }
}

void DisplayDevice::PresentPrimary(const RECT* changed) {
  {
    std::lock_guard lock(mMutex);
    NoteChanged(changed);
    // Nothing to show in: nothing to queue.
    if (!IsMainThread() && (mShutDown || !mPrimary || !PresentationWindow())) return;
  }
  if (IsMainThread()) {
    PresentOnMainThread();
  } else {
    QueuePresent();
  }
}

void DisplayDevice::QueuePresent() {
  // One queued present at a time: it shows whatever the primary holds when it runs.
  if (mPresentQueued.exchange(true)) return;
  PostToMainThread([self = shared_from_this()] {
    self->mPresentQueued.store(false);
    self->PresentOnMainThread();
  });
}

void DisplayDevice::PresentOnMainThread() {
  bool prepared;
  {
    std::lock_guard lock(mMutex);
    prepared = PrepareLocked(nullptr);
  }
  if (prepared) ShowPrepared();
}

bool DisplayDevice::PresentFedLocked(const RECT& changed, RowFeed& feed) {
  const bool onlyFeed = !mChangedAll && (mChanged.left >= mChanged.right || mChanged.top >= mChanged.bottom);
  NoteChanged(&changed);
  const bool prepared = PrepareLocked(&feed, onlyFeed);
  feed.Through(std::numeric_limits<LONG>::max());
  return prepared;
}

bool DisplayDevice::PrepareLocked(RowFeed* feed, bool feedHoldsAllChanges) {
  if (mShutDown || !mPrimary || mPrimary->Lost() || mPrimary->Busy()) return false;
  const HWND window = PresentationWindow();
  if (!window) return false;
  RECT area{0, 0, mPrimary->Width(), mPrimary->Height()};
  // A windowed primary holds the whole desktop; the window shows its client area of it.
  if (!mExclusive && !GetClientRectOnScreen(window, &area)) return false;
  // The frame goes from the primary's memory into the window's texture in one pass, and only the part
  // that changed since the last present; a window that lost its pixels is given the whole frame.
  const bool lost = mWindowLostPixels.exchange(false);
  const bool all = std::exchange(mChangedAll, false) || lost;
  const RECT changed = std::exchange(mChanged, RECT{});
  if (!mPresenter) mPresenter = std::make_unique<Presenter>();
  if (lost) mPresenter->WindowLostPixels();
  return mPresenter->Prepare(window, FrameSource{mPrimary->View(), mPrimary->Layout(), area}, all ? nullptr : &changed,
                             feed, feedHoldsAllChanges);
}

void DisplayDevice::ShowPrepared() { mPresenter->Show(); }

void DisplayDevice::UpdateScreenMode() { RunOnMainThread(&DisplayDevice::ApplyScreenModeOnMainThread); }

void DisplayDevice::ApplyScreenModeOnMainThread() {
  HWND window;
  bool fullScreen;
  int width;
  int height;
  {
    std::lock_guard lock(mMutex);
    if (mShutDown) return;
    window = mFocusWindow;
    fullScreen = mExclusive;
    width = mMode.width;
    height = mMode.height;
  }
  if (!window) return;
  if (!mPresenter) {
    // Nothing was shown yet, and a window that was never made full screen needs no restoring.
    if (!fullScreen) return;
    mPresenter = std::make_unique<Presenter>();
  }
  mPresenter->SetScreenMode(window, fullScreen, width, height);
}

void DisplayDevice::Shutdown() {
  {
    std::lock_guard lock(mMutex);
    mShutDown = true;
  }
  RunOnMainThread(&DisplayDevice::ReleasePresenter);
}

void DisplayDevice::ReleasePresenter() { mPresenter.reset(); }

}  // namespace plat::ddraw
