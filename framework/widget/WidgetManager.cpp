#include "framework/widget/WidgetManager.h"

#include <algorithm>

#include "framework/app/KitAppBase.h"
#include "framework/app/MouseMessages.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/widget/KeyCodes.h"
#include "framework/widget/Widget.h"

namespace Kit {

namespace {

// The held-button bit of the button a click code is about, read from the mouse messages: a negative
// code is the right button's, 3 the middle's, any other the left's.
std::uint32_t ButtonBit(int clickCount) {
  const int singleClick = clickCount < 0 ? -1 : (clickCount == 3 ? 3 : 1);
  for (const MouseMessage& entry : kMouseMessages)
    if (entry.mClickCode == singleClick) return entry.mButton;
  return 0;
}

}  // namespace

WidgetManager::WidgetManager(KitAppBase* app) : mApp(app) { mManager = this; }

static void DetachSubtree(WidgetContainer* container) {
  for (Widget* child : container->mChildren) {
    child->mManager = nullptr;
    DetachSubtree(child);
  }
}

WidgetManager::~WidgetManager() { DetachSubtree(this); }

void WidgetManager::Resize(int width, int height) {
  if (width == mWidth && height == mHeight) return;
  mWidth = width;
  mHeight = height;
}

bool WidgetManager::UpdateFrame() {
  ModalFlags flags;
  InitModalFlags(flags);
  ++mUpdateCount;
  mLastManagerCount = static_cast<std::uint32_t>(mUpdateCount);
  UpdateAll(flags);
  return mDirty;
}

bool WidgetManager::UpdateFrameF(float frac) {
  ModalFlags flags;
  InitModalFlags(flags);
  UpdateFAll(flags, frac);
  return mDirty;
}

bool WidgetManager::DrawScreen() {
  ModalFlags flags;
  InitModalFlags(flags);
  int dirtyCount = 0;
  for (Widget* widget : mChildren)
    if (widget->mDirty) ++dirtyCount;

  mMinDeferredPriority = 0x7FFFFFFF;
  mDeferredOverlays.clear();

  Graphics screen(mImage);
  mDrawGraphics = &screen;
  // A surface image stays locked for the whole redraw instead of once per drawing call.
  DDImage* surfaceImage = dynamic_cast<DDImage*>(mImage);
  const bool locked = surfaceImage != nullptr && surfaceImage->LockSurface();
  const bool accelerated = mApp != nullptr && mApp->Is3DAccelerated();
  bool drewAny = false;
  if (dirtyCount > 0) {
    // Drawing may reorder or remove top-level widgets; walk a snapshot and skip those that left.
    const std::vector<Widget*> topLevel(mChildren.begin(), mChildren.end());
    for (Widget* widget : topLevel) {
      if (widget->mParent != this) continue;
      if (widget == mBaseModalWidget) flags.mIsOver = true;
      if (!widget->mDirty || !widget->mVisible) continue;
      Graphics g(screen);
      g.SetFastStretch(!accelerated);
      g.SetLinearBlend(accelerated);
      g.Translate(widget->mX, widget->mY);
      widget->DrawAll(flags, &g);
      widget->mDirty = false;
      drewAny = true;
    }
  }
  FlushDeferredOverlayWidgets(0x7FFFFFFF);
  if (locked) surfaceImage->UnlockSurface();
  mDrawGraphics = nullptr;
  return drewAny;
}

void WidgetManager::DeferOverlay(Widget* widget, int priority) {
  if (widget == nullptr) return;
  mDeferredOverlays.emplace_back(widget, priority);
  mMinDeferredPriority = std::min(mMinDeferredPriority, priority);
}

void WidgetManager::FlushDeferredOverlayWidgets(int maxPriority) {
  while (true) {
    int nextMin = 0x7FFFFFFF;
    // Indices, not iterators: an overlay may queue further overlays while it draws.
    for (std::size_t i = 0; i < mDeferredOverlays.size(); ++i) {
      auto& [widget, priority] = mDeferredOverlays[i];
      if (widget == nullptr) continue;
      if (priority == mMinDeferredPriority) {
        Widget* overlay = widget;
        widget = nullptr;
        if (mDrawGraphics != nullptr) {
          Graphics g(*mDrawGraphics);
          g.Translate(overlay->mX, overlay->mY);
          overlay->DrawOverlay(&g);
        }
      } else {
        nextMin = std::min(nextMin, priority);
      }
    }
    mMinDeferredPriority = nextMin;
    if (nextMin == 0x7FFFFFFF) {
      mDeferredOverlays.clear();
      return;
    }
    if (nextMin >= maxPriority) return;
  }
}

std::uint32_t WidgetManager::GetWidgetFlags() {
  return mAppHasFocus ? mDefaultFlags : mLostFocusModifier.Apply(mDefaultFlags);
}

void WidgetManager::InitModalFlags(ModalFlags& flags) {
  flags.mOverFlags = GetWidgetFlags();
  flags.mUnderFlags = mBelowModalModifier.Apply(flags.mOverFlags);
  flags.mIsOver = mBaseModalWidget == nullptr;
}

Widget* WidgetManager::GetAnyWidgetAt(int x, int y, int* localX, int* localY) {
  bool found = false;
  return GetWidgetAtHelper(x, y, GetWidgetFlags(), &found, localX, localY);
}

Widget* WidgetManager::GetWidgetAt(int x, int y, int* localX, int* localY) {
  Widget* widget = GetAnyWidgetAt(x, y, localX, localY);
  if (widget != nullptr && widget->mDisabled) return nullptr;
  return widget;
}

void WidgetManager::EnterWidget(Widget* widget) {
  widget->mIsOver = true;
  widget->MouseEnter();
  if (widget->mWantsFinger) widget->ShowFinger(true);
}

void WidgetManager::LeaveWidget(Widget* widget) {
  widget->mIsOver = false;
  widget->MouseLeave();
  if (widget->mWantsFinger) widget->ShowFinger(false);
}

void WidgetManager::LeaveOverWidget() {
  Widget* widget = mOverWidget;
  if (widget == nullptr) return;
  mOverWidget = nullptr;
  LeaveWidget(widget);
}

void WidgetManager::MouseMove(int x, int y) {
  const int oldX = mLastMouseX;
  const int oldY = mLastMouseY;
  mLastMouseX = x;
  mLastMouseY = y;
  int localX = x;
  int localY = y;
  Widget* widget = GetWidgetAt(x, y, &localX, &localY);
  if (widget == mOverWidget) {
    if (x == oldX && y == oldY) return;
    if (widget != nullptr) widget->MouseMove(localX, localY);
    return;
  }
  LeaveOverWidget();
  mOverWidget = widget;
  if (widget != nullptr) {
    EnterWidget(widget);
    widget->MouseMove(localX, localY);
  }
}

bool WidgetManager::MouseMoveEntry(int x, int y) {
  mLastInputCount = mUpdateCount;
  if (mHeldButtons == 0) {
    mMouseInWindow = true;
    MouseMove(x, y);
  } else {
    MouseDrag(x, y);
  }
  return true;
}

bool WidgetManager::MouseDown(int x, int y, int clickCount) {
  mLastInputCount = mUpdateCount;
  const std::uint32_t bit = ButtonBit(clickCount);
  mActualButtons |= bit;
  MouseMove(x, y);
  if (mPopupCommandWidget != nullptr && !mPopupCommandWidget->Contains(x, y)) RemovePopupCommandWidget();

  int localX = x;
  int localY = y;
  Widget* hit = GetWidgetAt(x, y, &localX, &localY);
  Widget* target = mLastDownWidget != nullptr ? mLastDownWidget : hit;
  mLastPressedButton = clickCount < 0 ? -1 : (clickCount == 3 ? 2 : 1);
  mHeldButtons |= bit;
  mLastDownWidget = target;
  if (target == nullptr) return true;
  if (target != hit) {
    // A press during a drag goes to the capturing widget, in that widget's own coordinates.
    const Point pos = target->GetAbsPos();
    localX = x - pos.mX;
    localY = y - pos.mY;
  }
  if (target->WantsFocus()) SetFocus(target);
  target->mIsDown = true;
  target->MouseDown(localX, localY, clickCount);
  return true;
}

bool WidgetManager::MouseUp(int x, int y, int clickCount) {
  mLastInputCount = mUpdateCount;
  const std::uint32_t bit = ButtonBit(clickCount);
  mActualButtons &= ~bit;
  if (mLastDownWidget != nullptr && (mHeldButtons & bit)) {
    Widget* widget = mLastDownWidget;
    mHeldButtons &= ~bit;
    if (mHeldButtons == 0) mLastDownWidget = nullptr;
    widget->mIsDown = false;
    const Point pos = widget->GetAbsPos();
    widget->MouseUp(x - pos.mX, y - pos.mY, clickCount);
  } else {
    mHeldButtons &= ~bit;
  }
  MouseMove(x, y);
  return true;
}

bool WidgetManager::MouseDrag(int x, int y) {
  mLastInputCount = mUpdateCount;
  mMouseInWindow = true;
  mLastMouseX = x;
  mLastMouseY = y;
  if (mOverWidget != nullptr && mOverWidget != mLastDownWidget) LeaveOverWidget();
  if (mLastDownWidget == nullptr) return true;
  Widget* captured = mLastDownWidget;
  const Point pos = captured->GetAbsPos();
  captured->MouseDrag(x - pos.mX, y - pos.mY);
  Widget* widget = GetWidgetAt(x, y, nullptr, nullptr);
  if (widget != nullptr && widget == mLastDownWidget) {
    if (mOverWidget != widget) {
      mOverWidget = widget;
      EnterWidget(widget);
    }
  } else {
    LeaveOverWidget();
  }
  return true;
}

bool WidgetManager::MouseExit(int, int) {
  mLastInputCount = mUpdateCount;
  mMouseInWindow = false;
  LeaveOverWidget();
  return true;
}

bool WidgetManager::MouseWheel(int delta) {
  mLastInputCount = mUpdateCount;
  if (mFocusWidget != nullptr) mFocusWidget->MouseWheel(delta);
  return true;
}

bool WidgetManager::KeyChar(char c) {
  mLastInputCount = mUpdateCount;
  if (c == kKeyCodeTab && mKeyDownTable[kKeyCodeControl]) {
    if (mDefaultTabWidget != nullptr) mDefaultTabWidget->KeyChar(c);
  } else if (mFocusWidget != nullptr) {
    mFocusWidget->KeyChar(c);
  }
  return true;
}

bool WidgetManager::KeyDown(int keyCode) {
  mLastInputCount = mUpdateCount;
  if (keyCode >= 0 && keyCode < 255) mKeyDownTable[keyCode] = true;
  if (mFocusWidget != nullptr) mFocusWidget->KeyDown(keyCode);
  return true;
}

bool WidgetManager::KeyUp(int keyCode) {
  mLastInputCount = mUpdateCount;
  if (keyCode >= 0 && keyCode < 255) mKeyDownTable[keyCode] = false;
  if (keyCode == kKeyCodeTab && mKeyDownTable[kKeyCodeControl]) return true;
  if (mFocusWidget != nullptr) mFocusWidget->KeyUp(keyCode);
  return true;
}

void WidgetManager::SetFocus(Widget* widget) {
  if (widget == mFocusWidget) return;
  Widget* old = mFocusWidget;
  // Cleared first so that a LostFocus handler that moves the focus itself sees a consistent state.
  mFocusWidget = nullptr;
  if (old != nullptr) old->LostFocus();
  if (widget != nullptr && widget->mManager == this) {
    mFocusWidget = widget;
    if (mAppHasFocus) widget->GotFocus();
  }
}

void WidgetManager::GotFocus() {
  if (mAppHasFocus) return;
  mAppHasFocus = true;
  if (mFocusWidget != nullptr) mFocusWidget->GotFocus();
}

void WidgetManager::LostFocus() {
  if (!mAppHasFocus) return;
  mActualButtons = 0;
  for (int key = 0; key < 255; ++key)
    if (mKeyDownTable[key]) KeyUp(key);
  mAppHasFocus = false;
  if (mFocusWidget != nullptr) mFocusWidget->LostFocus();
}

void WidgetManager::SetBaseModal(Widget* widget, const FlagsModifier& belowModal) {
  mBaseModalWidget = widget;
  mBelowModalModifier = belowModal;
  if (belowModal.mRemoveMask & WIDGETFLAGS_ALLOW_MOUSE) {
    if (mOverWidget != nullptr && IsBelow(mOverWidget, widget)) LeaveOverWidget();
    if (mLastDownWidget != nullptr && IsBelow(mLastDownWidget, widget)) {
      Widget* held = mLastDownWidget;
      const std::uint32_t buttons = mHeldButtons;
      mHeldButtons = 0;
      mLastDownWidget = nullptr;
      DoMouseUps(held, buttons);
    }
  }
  if ((belowModal.mRemoveMask & WIDGETFLAGS_ALLOW_FOCUS) && mFocusWidget != nullptr && IsBelow(mFocusWidget, widget)) {
    Widget* focus = mFocusWidget;
    mFocusWidget = nullptr;
    focus->LostFocus();
  }
}

void WidgetManager::AddBaseModal(Widget* widget, const FlagsModifier& belowModal) {
  mSavedModalList.push_back(SavedModalRecord{widget, mBaseModalWidget, mFocusWidget, mBelowModalModifier});
  SetBaseModal(widget, belowModal);
}

void WidgetManager::AddBaseModalDefault(Widget* widget) { AddBaseModal(widget, mDefaultBelowModalModifier); }

void WidgetManager::RemoveBaseModal(Widget* widget) {
  if (mSavedModalList.empty() || mSavedModalList.back().mModalWidget != widget) return;
  while (!mSavedModalList.empty()) {
    const SavedModalRecord record = mSavedModalList.back();
    SetBaseModal(record.mPreviousModalWidget, record.mPreviousModifier);
    if (mFocusWidget == nullptr) {
      mFocusWidget = record.mPreviousFocusWidget;
      if (mFocusWidget != nullptr) mFocusWidget->GotFocus();
    }
    mSavedModalList.pop_back();
    if (record.mPreviousModalWidget != nullptr) break;
  }
}

void WidgetManager::DisableWidget(Widget* widget) {
  if (widget == nullptr) return;
  if (widget == mOverWidget) LeaveOverWidget();
  if (widget == mLastDownWidget) {
    const std::uint32_t buttons = mHeldButtons;
    mLastDownWidget = nullptr;
    mHeldButtons = 0;
    DoMouseUps(widget, buttons);
  }
  if (widget == mFocusWidget) {
    mFocusWidget = nullptr;
    widget->LostFocus();
  }
  if (widget == mBaseModalWidget) mBaseModalWidget = nullptr;
}

void WidgetManager::ForgetWidget(Widget* widget) {
  for (SavedModalRecord& record : mSavedModalList) {
    if (record.mPreviousModalWidget == widget) record.mPreviousModalWidget = nullptr;
    if (record.mPreviousFocusWidget == widget) record.mPreviousFocusWidget = nullptr;
  }
  if (mDefaultTabWidget == widget) mDefaultTabWidget = nullptr;
  for (auto& entry : mDeferredOverlays)
    if (entry.first == widget) entry.first = nullptr;
}

void WidgetManager::DoMouseUps(Widget* widget, std::uint32_t buttons) {
  for (const MouseMessage& release : kMouseMessages) {
    if (release.mPress || !(buttons & release.mButton)) continue;
    widget->mIsDown = false;
    const Point pos = widget->GetAbsPos();
    widget->MouseUp(mLastMouseX - pos.mX, mLastMouseY - pos.mY, release.mClickCode);
  }
}

void WidgetManager::ReleaseMouseButtons() {
  Widget* widget = mLastDownWidget;
  const std::uint32_t buttons = mHeldButtons;
  mHeldButtons = 0;
  mLastDownWidget = nullptr;
  if (widget != nullptr) DoMouseUps(widget, buttons);
}

void WidgetManager::RehupMouse() {
  if (mLastDownWidget != nullptr) {
    if (mOverWidget != nullptr && GetWidgetAt(mLastMouseX, mLastMouseY, nullptr, nullptr) != mLastDownWidget)
      LeaveOverWidget();
  } else if (mMouseInWindow) {
    MouseMove(mLastMouseX, mLastMouseY);
  }
}

void WidgetManager::RemovePopupCommandWidget() {
  Widget* popup = mPopupCommandWidget;
  if (popup == nullptr) return;
  mPopupCommandWidget = nullptr;
  // Its owner keeps it and decides when it goes away; here it only leaves the screen.
  if (popup->mParent != nullptr) popup->mParent->RemoveWidget(popup);
}

}  // namespace Kit
