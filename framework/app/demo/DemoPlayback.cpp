// The application's side of input recording and playback: queued input written into the stream,
// recorded input replayed where the queue sends live input, and the display state.
#include "framework/app/KitAppBase.h"
#include "framework/app/MouseMessages.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/widget/WidgetManager.h"
#include "platform/win/window/Messages.h"
#include "platform/win/window/Window.h"

namespace Kit {

namespace {

// Replayed input goes where the queue sends live input.
class AppDemoSink : public DemoPlaybackSink {
 public:
  explicit AppDemoSink(KitAppBase& app) : mApp(app) {}

  bool DemoShuttingDown() override { return mApp.mQuit; }
  void DemoMouseMove(int x, int y) override {
    mApp.mDemoCursorPos =
        static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32 | static_cast<std::uint32_t>(y);
    mApp.mWidgetManager->MouseMoveEntry(x, y);
  }
  void DemoMouseButton(int x, int y, bool down, int clickCode) override {
    if (down)
      mApp.mWidgetManager->MouseDown(x, y, clickCode);
    else
      mApp.mWidgetManager->MouseUp(x, y, clickCode);
  }
  void DemoActivate(bool active) override {
    mApp.mActive = active;
    mApp.RehupFocus();
    if (active && !mApp.mWindowedInUse) mApp.mWidgetManager->MarkAllDirty();
    if (!active && mApp.mURLOpenPending) mApp.URLOpenSucceeded(mApp.mPendingURL);
  }
  void DemoSize(bool minimised) override {
    if (minimised != mApp.mMinimized) {
      mApp.mMinimized = minimised;
      if (minimised) {
        mApp.Mute(true);
      } else {
        mApp.Unmute(true);
        mApp.mWidgetManager->MarkAllDirty();
      }
    }
    mApp.RehupFocus();
  }
  void DemoKeyDown(int key) override { mApp.mWidgetManager->KeyDown(key); }
  void DemoKeyUp(int key) override { mApp.mWidgetManager->KeyUp(key); }
  void DemoCharacter(int character) override { mApp.mWidgetManager->KeyChar(static_cast<char>(character)); }
  void DemoClose() override { mApp.Shutdown(); }
  void DemoMouseEnter() override {
    mApp.mMouseIn = true;
    mApp.EnforceCursor();
  }
  void DemoMouseLeave(int x, int y) override {
    mApp.mWidgetManager->MouseExit(x, y);
    mApp.mMouseIn = false;
    mApp.EnforceCursor();
  }
  void DemoMouseWheel(int notches) override { mApp.mWidgetManager->MouseWheel(notches); }
  void DemoDisplayState(bool windowed, int refreshRate) override {
    mApp.mIsWindowed = windowed;
    mApp.mSyncRefreshRate = refreshRate;
  }

 private:
  KitAppBase& mApp;
};

}  // namespace

void KitAppBase::ReplayDisplayStateAtInit() {
  if (mDemoStream == nullptr || !mDemoStream->mDemoPlaying) return;
  bool windowed = mIsWindowed;
  int refreshRate = mSyncRefreshRate;
  if (mDemoStream->ReplayDisplayState(mUpdateCount, &windowed, &refreshRate)) {
    mIsWindowed = windowed;
    mSyncRefreshRate = refreshRate;
  }
}

void KitAppBase::RecordDisplayState() {
  if (mDDInterface != nullptr) mSyncRefreshRate = mDDInterface->mRefreshRate;
  if (mDemoStream != nullptr && mDemoStream->mDemoRecording)
    mDemoStream->RecordDisplayState(mUpdateCount, mIsWindowed, mSyncRefreshRate);
}

void KitAppBase::RecordDemoCommand(int command) {
  if (mDemoStream != nullptr && mDemoStream->mDemoRecording && !mQuit)
    mDemoStream->RecordCommand(mUpdateCount, command);
}

void KitAppBase::PlaybackDemoStep() {
  if (mDemoStream == nullptr || !mDemoStream->mDemoPlaying || mQuit) return;
  AppDemoSink sink(*this);
  mDemoStream->PlaybackStep(mUpdateCount, sink);
}

void KitAppBase::RecordDemoMessage(const MSG& msg) {
  if (mDemoStream == nullptr || !mDemoStream->mDemoRecording || mQuit) return;
  const int key = static_cast<int>(msg.wParam);
  switch (msg.message) {
    case WM_CHAR:
      mDemoStream->RecordKey(mUpdateCount, DEMO_CHARACTER, key);
      break;
    case WM_SIZE:
      mDemoStream->RecordSize(mUpdateCount, msg.wParam == SIZE_MINIMIZED);
      break;
    case WM_CLOSE:
      if (msg.hwnd == mHWnd || msg.hwnd == mInvisHWnd) mDemoStream->RecordCommand(mUpdateCount, DEMO_CLOSE);
      break;
    case WM_ACTIVATEAPP:
      if (msg.hwnd == mHWnd) mDemoStream->RecordActivate(mUpdateCount, msg.wParam != 0);
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      mDemoStream->RecordKey(mUpdateCount, DEMO_KEY_DOWN, key);
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      mDemoStream->RecordKey(mUpdateCount, DEMO_KEY_UP, key);
      break;
    case WM_MOUSEWHEEL:
      mDemoStream->RecordMouseWheel(mUpdateCount, GET_WHEEL_DELTA_WPARAM(msg.wParam));
      break;
    default: {
      const MouseMessage* mouse = FindMouseMessage(msg.message);
      if (mouse == nullptr) break;
      const int x = GET_X_LPARAM(msg.lParam);
      const int y = GET_Y_LPARAM(msg.lParam);
      // A message while the pointer was outside enters the window first: a playback applies the records
      // in stream order, and the message's own record may set off work that takes the next record
      // (a click that saves a file).
      if (!mMouseIn && !mCrashShutdown) mDemoStream->RecordCommand(mUpdateCount, DEMO_MOUSE_ENTER);
      if (msg.message == WM_MOUSEMOVE)
        mDemoStream->RecordMousePosition(mUpdateCount, x, y);
      else
        mDemoStream->RecordMouseButton(mUpdateCount, x, y, mouse->mPress, mouse->mClickCode);
      break;
    }
  }
}

}  // namespace Kit
