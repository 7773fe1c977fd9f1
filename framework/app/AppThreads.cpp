// The loading thread (the game's resource loading) and the cursor thread (the software cursor moves
// between frames).
#include <chrono>

#include "framework/app/KitAppBase.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/util/AutoCrit.h"
#include "framework/util/StringUtil.h"
#include "platform/win/input/Cursor.h"
#include "platform/win/modules/Unknown.h"
#include "platform/win/process/DebugOutput.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/Window.h"

namespace Kit {

void KitAppBase::StartLoadingThread() {
  if (mLoadingThreadStarted) return;
  mYieldMainThread = true;
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
  mLoadingThreadStarted = true;
  ShareImagesWhileLoading();
  mLoadingThread = plat::StartThread([this] { LoadingThreadEntry(); });
}

void KitAppBase::ShareImagesWhileLoading() {
  if (mDDInterface) mDDInterface->ImagesLock().SetSharing(ImageLock::kLoadingThread, LoadingThreadRunning());
}

void KitAppBase::LoadingThreadEntry() {
  LoadingThreadProc();
  OutputDebugString(StrFormat("Resource Loading Time: %d\r\n", static_cast<int>(GetTickCount() - mTimeLoaded)).c_str());
  mLoadingThreadCompleted = true;
}

double KitAppBase::GetLoadingThreadProgress() {
  if (mLoadedHandedOver || mLoadingThreadCompleted) return 1.0;
  const int total = mNumLoadingThreadTasks;
  if (!mLoadingThreadStarted || total == 0) return 0.0;
  const double progress = static_cast<double>(mCompletedLoadingThreadTasks) / total;
  return progress > 1.0 ? 1.0 : progress;
}

void KitAppBase::EndThreads() {
  // On the main thread Shutdown waits for the cursor thread; the loading thread stops at the quit flag.
  Shutdown();
  WaitForLoadingThread();
}

void KitAppBase::StartCursorThread() {
  if (mCursorThreadRunning || mCursorThread.joinable()) return;
  mCursorThreadRunning = true;
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
  mCursorThread = plat::StartThread([this] { CursorThreadEntry(); });
}

void KitAppBase::CursorThreadEntry() {
  CoInitialize(nullptr);
  CursorThreadProc();
  CoUninitialize();
  mCursorThreadRunning = false;
}

void KitAppBase::CursorThreadProc() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
  // The thread waits on real time, so that a test's stopped clock never makes it spin. The lock is
  // held while the pointer is mapped into the main window, whose handle changes under it; it is let go
  // before the display's lock is taken.
  std::unique_lock<std::mutex> lock(mCursorThreadLock);
  while (!mQuit && !mCrashShutdown) {
    mCursorThreadWake.wait_for(lock, std::chrono::milliseconds(10));
    if (mQuit || mCrashShutdown) break;
    DDInterface* display = mDDInterface.get();
    if (display == nullptr || mHWnd == nullptr || mDrawCount == 0) continue;
    POINT at{};
    // The play mode is fixed before this thread starts.
    if (mDemoStream != nullptr && mDemoStream->mDemoPlaying) {
      const std::uint64_t replayed = mDemoCursorPos;
      at.x = static_cast<std::int32_t>(replayed >> 32);
      at.y = static_cast<std::int32_t>(replayed & 0xFFFFFFFFu);
    } else {
      GetCursorPos(&at);
      ScreenToClient(mHWnd, &at);
    }
    lock.unlock();
    MoveSoftwareCursor(display, at);
    lock.lock();
  }
}

void KitAppBase::MoveSoftwareCursor(DDInterface* display, POINT at) {
  AutoCrit guard(display->Lock());
  if (at.x == display->mCursorX && at.y == display->mCursorY) return;
  const DWORD sinceDraw = timeGetTime() - mNextDrawTick.load();
  if (static_cast<int>(sinceDraw) > display->mMillisPerRefresh + 5) {
    display->SetCursorPos(at.x, at.y);
  } else {
    display->mCursorX = at.x;
    display->mCursorY = at.y;
  }
}

}  // namespace Kit
