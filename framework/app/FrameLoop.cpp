// The main loop and its pacing: fixed ticks of the frame time, owed time capped at 200 ms, catch-up
// ticks, fractional updates, forced draws, the refresh-synchronised rule with its watchdog, sleeping
// and yielding to the loading thread.
#include <algorithm>
#include <cmath>

#include "framework/app/KitAppBase.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/sound/MusicInterface.h"
#include "framework/widget/WidgetManager.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/Messages.h"

namespace Kit {

void KitAppBase::DoMainLoop() {
  while (!mQuit) {
    mLeaveNestedLoops = false;
    UpdateApp();
  }
}

bool KitAppBase::UpdateApp() {
  bool updated = false;
  while (UpdateAppStep(&updated)) {
    if (updated) return true;
  }
  return false;
}

bool KitAppBase::UpdateAppStep(bool* updated) {
  if (updated != nullptr) *updated = false;
  if (mLeaveNestedLoops) return false;
  if (mUpdateState == UpdateState::kStepDone) mUpdateState = UpdateState::kPumpMessages;
  ++mUpdateDepth;
  if (mUpdateState == UpdateState::kPumpMessages) {
    MSG msg;
    while (!mQuit && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    PlaybackDemoStep();
    if (!ProcessDeferredMessages()) mUpdateState = UpdateState::kReadyToTick;
  } else if (mPauseState == 0) {
    const int before = mUpdateCount;
    Process(true);
    if (updated != nullptr) *updated = mUpdateCount != before;
  } else if (mPauseState == 1) {
    mPauseState = 2;
    DoUpdateFrames();
    UpdateFramesF(1.0f);
    DrawFrame();
  } else {
    Sleep(static_cast<DWORD>(mFrameTime));
    mUpdateState = UpdateState::kStepDone;
  }
  --mUpdateDepth;
  return true;
}

bool KitAppBase::UsesRefreshSyncedRule() const {
  // A played demo runs on plain ticks whatever the display does.
  const bool playing = mDemoStream != nullptr && mDemoStream->mDemoPlaying;
  return !playing && mVSyncUpdates && !mLastDrawWasEmpty && !mVSyncBroken &&
         (!mWindowedInUse || (mWaitForVSync && !mSoftVSyncWait));
}

double KitAppBase::UpdatePeriod() const {
  return mVSyncUpdates ? 1000.0 / mSyncRefreshRate / mUpdateMultiplier : mFrameTime / mUpdateMultiplier;
}

double KitAppBase::FractionalStep() const {
  return mVSyncUpdates ? 1000.0 / (static_cast<double>(mFrameTime) * mSyncRefreshRate) : 1.0;
}

bool KitAppBase::Process(bool allowSleep) {
  // A thread that reports a resource error asks for the shutdown after it: taking the request first
  // means its report is seen with it.
  const bool shutdownRequested = mShutdownRequested.exchange(false);
  ShowOwedResourceError();
  if (shutdownRequested) Shutdown();

  const bool refreshSynced = UsesRefreshSyncedRule();
  if (DemoFastForwardStep()) return true;
  if (mPlaybackPaused || mUpdateMultiplier <= 0.0) {
    // Nothing is due, but the next step must pump the input that ends the pause: the step ends like
    // an idle one, after one frame time's sleep.
    mUpdateState = UpdateState::kStepDone;
    ProcessSafeDeleteList();
    if (!allowSleep) return false;
    Sleep(static_cast<DWORD>(mFrameTime));
    return true;
  }
  const double period = UpdatePeriod();
  const double fraction = FractionalStep();

  const DWORD now = timeGetTime();
  DWORD slept = 0;
  if (!refreshSynced) UpdateFTimeAcc();

  bool ticked = false;
  if (mUpdateState == UpdateState::kReadyToTick) {
    ticked = ProcessStateReady(refreshSynced, period, now);
  } else if (mUpdateState == UpdateState::kTicked) {
    ProcessStateTicked(refreshSynced, period, fraction);
    ticked = true;
  }
  if (!ticked && !ProcessNoTick(allowSleep, period, &slept)) return false;
  if (!YieldToLoadingThread(allowSleep, now, slept)) return false;
  ProcessSafeDeleteList();
  return true;
}

// True when a tick was due (whether or not it ran); false sends the step to the no-tick path.
bool KitAppBase::ProcessStateReady(bool refreshSynced, double period, DWORD now) {
  ++mUpdatesSinceDraw;
  if (mUpdatesSinceDraw >= static_cast<int>(std::ceil(mUpdateMultiplier * 10.0)) && mLoadedHandedOver) return false;
  const bool due =
      refreshSynced ? (!mHasPendingDraw || std::trunc(0.75 * period) <= mUpdateFTimeAcc) : mUpdateFTimeAcc >= period;
  if (!due) return false;
  TickWatchdog(now);
  if (DoUpdateFrames()) mUpdateState = UpdateState::kTicked;
  mHasPendingDraw = true;
  return true;
}

void KitAppBase::ProcessStateTicked(bool refreshSynced, double period, double fraction) {
  mUpdateState = UpdateState::kStepDone;
  mPendingUpdatesAcc += fraction - 1.0;
  ProcessSafeDeleteList();
  while (mPendingUpdatesAcc >= 1.0) {
    PlaybackDemoStep();
    ++mUpdatesSinceDraw;
    if (!DoUpdateFrames()) break;
    ProcessSafeDeleteList();
    mPendingUpdatesAcc -= 1.0;
  }
  UpdateFramesF(static_cast<float>(fraction));
  ProcessSafeDeleteList();
  mUpdateFTimeAcc -= period;
  if (refreshSynced) mUpdateFTimeAcc = std::max(0.0, mUpdateFTimeAcc - 0.2);
  if (mNoCatchUpCountdown > 0) mUpdateFTimeAcc = 0.0;
}

bool KitAppBase::ProcessNoTick(bool allowSleep, double period, DWORD* slept) {
  mUpdateState = UpdateState::kStepDone;
  mUpdatesSinceDraw = 0;
  if (mHasPendingDraw) {
    DrawFrame();
    return true;
  }
  // Whole milliseconds, but never less than one while any time is owed: a period that is not a whole
  // number of milliseconds (60 Hz) can leave a fraction owed, which a sleep of 0 would never pay.
  const double owedMillis = period - mUpdateFTimeAcc;
  const int owed = owedMillis > 0.0 ? std::max(1, static_cast<int>(owedMillis)) : 0;
  if (owed >= 1) {
    if (!allowSleep) return false;
    ++mSleepCount;
    Sleep(static_cast<DWORD>(owed));
    *slept = static_cast<DWORD>(owed);
  }
  return true;
}

// Gives the loading thread about twice the time this step used, at most 250 ms.
bool KitAppBase::YieldToLoadingThread(bool allowSleep, DWORD now, DWORD slept) {
  if (!mYieldMainThread) return true;
  const long long used = static_cast<long long>(static_cast<DWORD>(timeGetTime() - now)) - slept;
  const long long give = std::min<long long>(2 * used - slept, 250);
  if (give < 0) return true;
  if (!allowSleep) return false;
  Sleep(static_cast<DWORD>(give));
  return true;
}

// Ticks that run 25 % fast or more for three seconds in a row mean the display's refresh does not pace
// the loop; refresh-synchronised updates are then given up for the run.
void KitAppBase::TickWatchdog(DWORD now) {
  if (mUpdateMultiplier != 1.0 || (mDemoStream != nullptr && mDemoStream->mDemoPlaying)) return;
  if (++mVSyncBrokenTestUpdates < (mFrameTime + 999) / mFrameTime) return;
  if (now - mVSyncBrokenTestStartTick <= 800) {
    if (++mVSyncBrokenCount >= 3) mVSyncBroken = true;
  } else {
    mVSyncBrokenCount = 0;
  }
  mVSyncBrokenTestStartTick = now;
  mVSyncBrokenTestUpdates = 0;
}

void KitAppBase::UpdateFTimeAcc() {
  const DWORD now = timeGetTime();
  if (mLastTimeAcc != 0) {
    const DWORD elapsed = now - mLastTimeAcc;
    mUpdateFTimeAcc = std::min(mUpdateFTimeAcc + elapsed, kMaxOwedMillis);
    if (mNoCatchUpCountdown > 0) {
      const long long left = static_cast<long long>(mNoCatchUpCountdown) - elapsed;
      mNoCatchUpCountdown = left < 1 ? 0 : static_cast<int>(left);
    }
  }
  mLastTimeAcc = now;
}

void KitAppBase::ResetTiming(bool forgiveLag) {
  mLastTimeAcc = timeGetTime();
  mUpdateFTimeAcc = 0.0;
  if (forgiveLag) mNoCatchUpCountdown = 1000;
}

bool KitAppBase::DoUpdateFrames() {
  if (gScreenSaverPaused) return false;
  // A played demo decides the tick at which loading hands over; a damaged one that ended early
  // decides nothing more.
  const bool demoDecides = mDemoStream != nullptr && mDemoStream->mDemoPlaying && !mDemoStream->Exhausted();
  if (mLoadingThreadCompleted && !mLoadedHandedOver && (!demoDecides || mDemoStream->mDemoLoadingCompleted)) {
    mLoadedHandedOver = true;
    ShareImagesWhileLoading();
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
    mYieldMainThread = false;
    // Recorded before the hand-over runs: what the hand-over reads from outside is recorded after
    // it, in the order a replay needs (the hand-over waits for this record).
    RecordDemoCommand(DEMO_LOADING_COMPLETED);
    LoadingThreadCompleted();
    // Settings that could not be read or kept were found before the window was up.
    TellSettingsProblems();
  }
  if (demoDecides) {
    // Until the thread has really finished where the recording says it had, and until the record
    // due at this count was replayed, the tick waits.
    if (mLoadedHandedOver != mDemoStream->mDemoLoadingCompleted) return false;
    if (mDemoStream->HoldsUpdate(mUpdateCount)) return false;
  }
  UpdateFrames();
  return true;
}

void KitAppBase::UpdateFrames() {
  ++mUpdateCount;
  if (!mMinimized && mWidgetManager->UpdateFrame()) ++mDirtyCount;
  if (mMusicInterface) mMusicInterface->Update();
  CleanSharedImages();
}

void KitAppBase::UpdateFramesF(float fraction) {
  if (mVSyncUpdates && !mMinimized) mWidgetManager->UpdateFrameF(fraction);
}

}  // namespace Kit
