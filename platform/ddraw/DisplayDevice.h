// The state one DirectDraw object shares with its surfaces and clippers: the display mode, the
// cooperative level, the primary surface, the video-memory budget and the presentation into the window.
// Surfaces keep it alive, so a surface released after its DirectDraw object stays safe to use.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/ddraw/DDraw.h"
#include "platform/ddraw/PixelLayout.h"
#include "platform/ddraw/Surface.h"
#include "platform/win/system/DisplaySettings.h"

namespace plat::ddraw {

class Presenter;
class RepaintWatch;
class RowFeed;

struct DisplayMode {
  int width = 0;
  int height = 0;
  PixelLayout layout;
  DWORD refreshHz = 60;
};

class DisplayDevice : public std::enable_shared_from_this<DisplayDevice> {
 public:
  explicit DisplayDevice(const DisplaySettings& settings);
  ~DisplayDevice();
  DisplayDevice(const DisplayDevice&) = delete;
  DisplayDevice& operator=(const DisplayDevice&) = delete;

  // Guards every surface of this device: pixels, lock state, attachments, and the fields below.
  std::mutex& Mutex() { return mMutex; }

  // ---- under Mutex() ----
  const DisplayMode& Desktop() const { return mDesktop; }
  const DisplayMode& Mode() const { return mMode; }
  // A new mode loses the primary surface that was made for the old one.
  void SetMode(const DisplayMode& mode);
  bool Exclusive() const { return mExclusive; }
  HWND FocusWindow() const { return mFocusWindow; }
  void SetCooperation(HWND window, bool exclusive);
  Surface* Primary() const { return mPrimary; }
  void SetPrimary(Surface* primary) {
    mPrimary = primary;
    mChangedAll = true;
  }
  DWORD VideoMemoryTotal() const { return mVideoMemoryTotal; }
  DWORD VideoMemoryFree() const { return mVideoMemoryTotal - mVideoMemoryUsed; }
  bool ReserveVideoMemory(size_t bytes);
  void ReturnVideoMemory(size_t bytes);
  // The window a windowed primary is shown in: its clipper's window, else the cooperative window.
  HWND PresentationWindow() const;
  // Main thread: writes `changed` of the primary through the feed while presenting it, so that each row
  // is shown right after it is written (every row of `changed` is written, shown or not). True when a
  // frame is prepared: ShowPrepared shows it once the mutex is released.
  bool PresentFedLocked(const RECT& changed, RowFeed& feed);

  // ---- without the mutex held ----
  // Shows the primary surface: at once on the main thread, else queued for it. `changed` is the part
  // of the primary written since it was last shown (all of it when null); only that part of the
  // window's frame is written again.
  void PresentPrimary(const RECT* changed = nullptr);
  void ShowPrepared();
  // Brings the window into (or out of) the emulated full-screen mode that matches the cooperative
  // level and display mode.
  void UpdateScreenMode();
  // The DirectDraw object goes away: full screen ends and the window's renderer is released.
  void Shutdown();

 private:
  void PresentOnMainThread();
  // Adds to what changed on the primary since its last present (all of it when null). Under the mutex.
  void NoteChanged(const RECT* changed);
  // Writes the primary's changed part into the window; under the mutex, on the main thread.
  bool PrepareLocked(RowFeed* feed, bool feedHoldsAllChanges = false);
  // Queues a present for the main thread, at most one at a time.
  void QueuePresent();
  void ApplyScreenModeOnMainThread();
  void ReleasePresenter();
  void RunOnMainThread(void (DisplayDevice::*work)());

  std::mutex mMutex;
  DisplayMode mDesktop;
  DisplayMode mMode;
  bool mExclusive = false;
  HWND mFocusWindow = nullptr;
  Surface* mPrimary = nullptr;
  DWORD mVideoMemoryTotal = 0;
  DWORD mVideoMemoryUsed = 0;
  bool mShutDown = false;
  std::atomic<bool> mPresentQueued{false};
  // What changed on the primary since the last present (under the mutex), and whether the window lost
  // its pixels (set from SDL's event dispatch, which must not wait for the mutex).
  RECT mChanged{};
  bool mChangedAll = true;
  std::atomic<bool> mWindowLostPixels{false};
  // Touched only on the main thread.
  std::unique_ptr<Presenter> mPresenter;
  // Last, so that it goes first: no callback into a device being destroyed.
  std::unique_ptr<RepaintWatch> mRepaintWatch;
};

}  // namespace plat::ddraw
