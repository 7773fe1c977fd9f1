// The root of the widget tree and the one door between the application and the user interface: it
// routes mouse and keyboard input (hit testing, capture while a button is held, hover, focus, modal
// blocking), runs the update walks and redraws the dirty top-level widgets.
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <utility>
#include <vector>

#include "framework/widget/SavedModalRecord.h"
#include "framework/widget/WidgetContainer.h"
#include "framework/widget/WidgetFlags.h"

namespace Kit {

class Graphics;
class Image;
class KitAppBase;

class WidgetManager : public WidgetContainer {
 public:
  explicit WidgetManager(KitAppBase* app);
  ~WidgetManager() override;

  void Resize(int width, int height);

  bool UpdateFrame();
  bool UpdateFrameF(float frac);
  bool DrawScreen();

  bool MouseMoveEntry(int x, int y);
  bool MouseDrag(int x, int y);
  bool MouseDown(int x, int y, int clickCount);
  bool MouseUp(int x, int y, int clickCount);
  bool MouseExit(int x, int y);
  bool MouseWheel(int delta);
  bool KeyChar(char c);
  bool KeyDown(int keyCode);
  bool KeyUp(int keyCode);
  // The hover update: finds the widget under (x, y) and moves the hover to it.
  void MouseMove(int x, int y);

  void SetFocus(Widget* widget);
  void GotFocus();
  void LostFocus();
  void SetBaseModal(Widget* widget, const FlagsModifier& belowModal);
  void AddBaseModal(Widget* widget, const FlagsModifier& belowModal);
  void AddBaseModalDefault(Widget* widget);
  void RemoveBaseModal(Widget* widget);
  void DisableWidget(Widget* widget);
  // Drops every remaining reference the manager keeps to a widget that leaves the tree (saved modal
  // records, the Ctrl+Tab widget, queued overlays), so that none can be used after it is deleted.
  void ForgetWidget(Widget* widget);
  void RehupMouse();
  void RemovePopupCommandWidget();
  std::uint32_t GetWidgetFlags();
  void InitModalFlags(ModalFlags& flags);
  Widget* GetAnyWidgetAt(int x, int y, int* localX, int* localY);
  Widget* GetWidgetAt(int x, int y, int* localX, int* localY);
  void DeferOverlay(Widget* widget, int priority);
  void FlushDeferredOverlayWidgets(int maxPriority);
  void DoMouseUps(Widget* widget, std::uint32_t buttons);
  void ReleaseMouseButtons();
  void EnterWidget(Widget* widget);
  void LeaveWidget(Widget* widget);

  Widget* mDefaultTabWidget = nullptr;
  Graphics* mDrawGraphics = nullptr;
  KitAppBase* mApp = nullptr;
  Image* mImage = nullptr;
  bool mMouseInWindow = false;
  Widget* mPopupCommandWidget = nullptr;
  std::vector<std::pair<Widget*, int>> mDeferredOverlays;
  int mMinDeferredPriority = 0x7FFFFFFF;
  bool mAppHasFocus = true;
  Widget* mFocusWidget = nullptr;
  Widget* mLastDownWidget = nullptr;
  Widget* mOverWidget = nullptr;
  Widget* mBaseModalWidget = nullptr;
  FlagsModifier mLostFocusModifier;
  FlagsModifier mBelowModalModifier;
  FlagsModifier mDefaultBelowModalModifier{0, WIDGETFLAGS_ALLOW_MOUSE | WIDGETFLAGS_ALLOW_FOCUS};
  std::list<SavedModalRecord> mSavedModalList;
  int mLastMouseX = 0;
  int mLastMouseY = 0;
  std::uint32_t mHeldButtons = 0;
  std::uint32_t mActualButtons = 0;
  int mLastInputCount = 0;
  std::array<bool, 255> mKeyDownTable{};
  int mLastPressedButton = 0;
  std::uint32_t mDefaultFlags = kDefaultWidgetFlags;

 private:
  void LeaveOverWidget();
};

}  // namespace Kit
