// An application object for loop tests: no window or display, a widget that asks to be drawn after
// every tick, and counters of what the loop did.
#pragma once

#include <functional>
#include <thread>

#include "framework/app/KitAppBase.h"
#include "framework/widget/Widget.h"
#include "framework/widget/WidgetManager.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/threads/Time.h"

namespace apptest {

// Changes on every tick, so every tick leaves something to draw; its draw may take (fake) time.
class BusyWidget : public Kit::Widget {
 public:
  void Update() override {
    Widget::Update();
    ++mTicks;
    MarkDirty();
    if (mOnUpdate) mOnUpdate();
  }
  void UpdateF(float fraction) override { mFractions.push_back(fraction); }
  void Draw(Kit::Graphics*) override {
    ++mDraws;
    if (mDrawMillis > 0) Sleep(mDrawMillis);
  }
  int mTicks = 0;
  int mDraws = 0;
  DWORD mDrawMillis = 0;
  std::vector<float> mFractions;
  std::function<void()> mOnUpdate;
};

// Sets a flag when deleted.
class MortalWidget : public Kit::Widget {
 public:
  explicit MortalWidget(bool* deleted) : mDeleted(deleted) {}
  ~MortalWidget() override { *mDeleted = true; }

 private:
  bool* mDeleted;
};

class LoopApp : public Kit::KitAppBase {
 public:
  LoopApp() {
    mWidgetManager->Resize(mWidth, mHeight);
    mBusy.Resize(0, 0, 10, 10);
    mWidgetManager->AddWidget(&mBusy);
    // The game has taken over: forced draws apply.
    mLoadedHandedOver = true;
  }
  ~LoopApp() override { mWidgetManager->RemoveWidget(&mBusy); }
  void ShutdownHook() override { ++mShutdowns; }

  // One turn of the loop's state machine, from the pump to a finished pacing step (with its
  // fractional step when a tick ran).
  void Cycle() {
    do {
      UpdateAppStep(nullptr);
    } while (mUpdateState != Kit::KitAppBase::UpdateState::kStepDone);
  }

  BusyWidget mBusy;
  int mShutdowns = 0;
};

}  // namespace apptest
