// A vertical or horizontal scroll bar: a value from 0 to (maximum - page size), arrow buttons at both
// ends that step by one and repeat while held, a proportional thumb to drag, and paging that repeats
// while the track is held until the thumb reaches the pointer. Every new value goes to the listener.
#pragma once

#include <memory>

#include "framework/widget/ButtonListener.h"
#include "framework/widget/ScrollListener.h"
#include "framework/widget/ScrollbuttonWidget.h"
#include "framework/widget/Widget.h"

namespace Kit {

class ScrollbarWidget : public Widget, public ButtonListener {
 public:
  ScrollbarWidget(int id, ScrollListener* listener);
  ~ScrollbarWidget() override;

  virtual void SetHideWhenNoScroll(bool hide);
  virtual void SetMaxValue(double maxValue);
  virtual void SetPageSize(double pageSize);
  // Clamps and always reports the value, changed or not.
  virtual void SetValue(double value);
  virtual void SetHorizontal(bool horizontal);
  virtual void ResizeScrollbar(int x, int y, int width, int height);
  virtual bool AtBottom();
  virtual void GoToBottom();
  virtual void DrawThumb(Graphics* g, int x, int y, int width, int height);
  virtual int GetTrackSize();
  virtual int GetThumbSize();
  virtual int GetThumbPosition();
  virtual void ClampValue();
  virtual void SetThumbPosition(int position);
  // -1 before the thumb, 1 after it, 0 on it.
  virtual int ThumbCompare(int x, int y);
  virtual void SetColorsAll(const int table[][3], int count);

  void ButtonPress(int buttonId) override;
  void ButtonDownTick(int buttonId) override;

  void Update() override;
  void Draw(Graphics* g) override;
  void MouseDown(int x, int y, int clickCount) override;
  void MouseDrag(int x, int y) override;
  void MouseUpAt(int x, int y) override;

  std::unique_ptr<ScrollbuttonWidget> mUpButton;
  std::unique_ptr<ScrollbuttonWidget> mDownButton;
  bool mHideWhenNoScroll = false;
  int mId = 0;
  double mValue = 0;
  double mMaxValue = 0;
  double mPageSize = 0;
  bool mHorizontal = false;
  bool mThumbDragging = false;
  int mDragStartThumbPos = 0;
  int mDragStartX = 0;
  int mDragStartY = 0;
  int mPagingMode = 0;  // 0 idle, 1 paging towards the start, 2 paging towards the end
  int mPagingCount = 0;
  int mArrowHoldCount = 0;
  int mLastMouseX = 0;
  int mLastMouseY = 0;
  ScrollListener* mScrollListener = nullptr;

 private:
  int ButtonSize();
  void StepArrow(int buttonId);
};

}  // namespace Kit
