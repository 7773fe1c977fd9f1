// The draw step (redraw the dirty widgets into the display's screen image) and the present step, with
// the rebuilding of a display whose present failed.
#include <algorithm>

#include "framework/app/KitAppBase.h"
#include "framework/app/devtools/DebugOverlays.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/widget/WidgetManager.h"
#include "platform/win/threads/Time.h"

namespace Kit {

bool KitAppBase::DrawFrame() {
  const DWORD start = timeGetTime();
  bool drawn = false;
  if (mShowFPS && mDebugOverlays) mDebugOverlays->Prepare(*this);
  if (start - mLastScreenSaverCheck > 1000) {
    mLastScreenSaverCheck = start;
    ScreenSaverKeeper(start);
  }
  if (mLastPresentFailed) {
    Redraw(nullptr);
  } else if (!gScreenSaverPaused) {
    mDrawing = true;
    const bool drewAny = mWidgetManager->DrawScreen();
    mDrawing = false;
    const DWORD drawEnd = timeGetTime();
    const bool stale = drawEnd - mLastDrawTick >= 1000;
    const bool early = static_cast<int>(start - mNextDrawTick.load()) < 0;
    if ((drewAny || stale || mForceDraw) && !early) {
      drawn = true;
      mLastDrawWasEmpty = false;
      ++mDrawCount;
      mDrawTime += static_cast<int>(drawEnd - start);
      ++mFPSCount;
      mFPSTime += static_cast<int>(drawEnd - start);
      if (mShowFPS && mDebugOverlays && mDDInterface) {
        Graphics g(mDDInterface->GetScreenImage());
        mDebugOverlays->Draw(*this, g);
      }

      if (mWaitForVSync && mWindowedInUse && mSoftVSyncWait && mDDInterface) {
        const DWORD sinceLast = timeGetTime() - mLastDrawTick;
        const DWORD period = static_cast<DWORD>(std::max(0, mDDInterface->mMillisPerRefresh));
        if (sinceLast < period) Sleep(period - sinceLast);
      }
      mLastDrawTick = timeGetTime();
      const DWORD presentStart = mLastDrawTick;
      Redraw(nullptr);
      UpdateFTimeAcc();
      mScreenBltTime = static_cast<int>(timeGetTime() - presentStart);

      // While loading, frames are spaced out so that the loading thread gets the processor.
      bool spaced = false;
      if (LoadingThreadRunning()) {
        const DWORD took = std::max<DWORD>(timeGetTime() - start, 15);
        mNextDrawTick += took + 35;
        spaced = static_cast<int>(mNextDrawTick.load() - timeGetTime()) > 0;
      }
      if (!spaced) mNextDrawTick = timeGetTime();
    }
  }
  mHasPendingDraw = false;
  mForceDraw = false;
  if (!drawn) mLastDrawWasEmpty = true;
  return drawn;
}

void KitAppBase::Redraw(const Rect* clip) {
  if (mDrawing || mQuit || gScreenSaverPaused || !mDDInterface) return;
  if (mDDInterface->Redraw(clip)) {
    mLastPresentFailed = false;
    mLastRestartAttempt = 0;
    ++mRedrawCount;
    return;
  }
  mLastPresentFailed = true;
  const bool retryDue = mWindowedInUse && GetTickCount() - mLastRestartAttempt > 1000;
  if (mMinimized || !(mActive || retryDue)) {
    ++mRedrawCount;
    return;
  }
  mLastRestartAttempt = GetTickCount();
  RestartDisplay();
}

void KitAppBase::RestartDisplay() {
  PreDDInterfaceInitHook();
  DeleteNativeImageData();
  const int result = mDDInterface->Init(mHWnd, mWindowedInUse);
  RecordDisplayState();
  if (result == DDInterface::RESULT_INVALID_COLORDEPTH) {
    if (mIsWindowed && mActive) SwitchScreenModeWindowed(false);
  } else if (result == DDInterface::RESULT_3D_FAIL) {
    InitDisplay(false, true);
  } else if (result == DDInterface::RESULT_OK) {
    ReInitImages();
    UseScreenImage();
  }
}

}  // namespace Kit
