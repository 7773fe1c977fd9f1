#include "framework/widget/ScrollbarWidget.h"

#include "framework/graphics/Graphics.h"
#include "framework/widget/ScrollbarColors.h"

namespace Kit {

namespace {

constexpr int kRepeatDelay = 25;  // held ticks before the first repeat
constexpr int kPageRepeatInterval = 5;

}  // namespace

ScrollbarWidget::ScrollbarWidget(int id, ScrollListener* listener)
    : mUpButton(std::make_unique<ScrollbuttonWidget>(0, this, ScrollbuttonWidget::TYPE_FROM_ID)),
      mDownButton(std::make_unique<ScrollbuttonWidget>(1, this, ScrollbuttonWidget::TYPE_FROM_ID)),
      mId(id),
      mScrollListener(listener) {
  SetDisabled(true);
  mUpButton->SetDisabled(true);
  mDownButton->SetDisabled(true);
  AddWidget(mUpButton.get());
  AddWidget(mDownButton.get());
  SetColorsRGB(kScrollbarColors, kScrollbarColorCount);
}

ScrollbarWidget::~ScrollbarWidget() {
  RemoveWidget(mUpButton.get());
  RemoveWidget(mDownButton.get());
}

void ScrollbarWidget::SetHideWhenNoScroll(bool hide) {
  mHideWhenNoScroll = hide;
  if (!hide) return;
  SetVisible(false);
  mUpButton->SetVisible(false);
  mDownButton->SetVisible(false);
}

void ScrollbarWidget::SetMaxValue(double maxValue) {
  mMaxValue = maxValue;
  ClampValue();
  MarkDirty();
}

void ScrollbarWidget::SetPageSize(double pageSize) {
  mPageSize = pageSize;
  ClampValue();
  MarkDirty();
}

void ScrollbarWidget::SetValue(double value) {
  mValue = value;
  ClampValue();
  if (mScrollListener != nullptr) mScrollListener->ScrollPosition(mId, mValue);
  MarkDirty();
}

void ScrollbarWidget::SetHorizontal(bool horizontal) {
  mHorizontal = horizontal;
  mUpButton->mHorizontal = horizontal;
  mDownButton->mHorizontal = horizontal;
  MarkDirty();
}

void ScrollbarWidget::ResizeScrollbar(int x, int y, int width, int height) {
  Resize(x, y, width, height);
  if (mHorizontal) {
    mUpButton->Resize(0, 0, height, height);
    mDownButton->Resize(width - height, 0, height, height);
  } else {
    mUpButton->Resize(0, 0, width, width);
    mDownButton->Resize(0, height - width, width, width);
  }
}

bool ScrollbarWidget::AtBottom() { return mMaxValue - mPageSize - mValue <= 1.0; }

void ScrollbarWidget::GoToBottom() {
  mValue = mMaxValue - mPageSize;
  ClampValue();
  SetValue(mValue);
}

void ScrollbarWidget::DrawThumb(Graphics* g, int x, int y, int width, int height) {
  g->SetColor(GetColorRef(1));
  g->FillRect(x, y, width, height);
  g->SetColor(GetColorRef(2));
  g->FillRect(x + 1, y + 1, width - 2, 1);
  g->FillRect(x + 1, y + 1, 1, height - 2);
  g->SetColor(GetColorRef(3));
  g->FillRect(x, y + height - 1, width, 1);
  g->FillRect(x + width - 1, y, 1, height);
  g->SetColor(GetColorRef(4));
  g->FillRect(x + 1, y + height - 2, width - 2, 1);
  g->FillRect(x + width - 2, y + 1, 1, height - 2);
}

int ScrollbarWidget::ButtonSize() { return mUpButton->mWidth; }

int ScrollbarWidget::GetTrackSize() { return (mHorizontal ? mWidth : mHeight) - 2 * ButtonSize(); }

int ScrollbarWidget::GetThumbSize() {
  if (mPageSize >= mMaxValue) return 0;
  const int size = static_cast<int>(GetTrackSize() * mPageSize / mMaxValue + 0.5);
  return size < 8 ? 8 : size;
}

int ScrollbarWidget::GetThumbPosition() {
  if (mPageSize >= mMaxValue) return ButtonSize();
  return static_cast<int>((GetTrackSize() - GetThumbSize()) * mValue / (mMaxValue - mPageSize) + 0.5) + ButtonSize();
}

void ScrollbarWidget::ClampValue() {
  const double oldValue = mValue;
  if (mValue > mMaxValue - mPageSize) mValue = mMaxValue - mPageSize;
  if (mValue < 0) mValue = 0;
  const bool canScroll = mPageSize < mMaxValue;
  SetDisabled(!canScroll);
  mUpButton->SetDisabled(!canScroll);
  mDownButton->SetDisabled(!canScroll);
  if (mHideWhenNoScroll) {
    SetVisible(canScroll);
    mUpButton->SetVisible(canScroll);
    mDownButton->SetVisible(canScroll);
  }
  if (mValue != oldValue && mScrollListener != nullptr) mScrollListener->ScrollPosition(mId, mValue);
}

void ScrollbarWidget::SetThumbPosition(int position) {
  const int travel = GetTrackSize() - GetThumbSize();
  // A thumb that fills its track (or a bar too short for its arrows) has no position to take.
  if (travel <= 0) {
    SetValue(0);
    return;
  }
  SetValue((mMaxValue - mPageSize) * (position - ButtonSize()) / travel);
}

int ScrollbarWidget::ThumbCompare(int x, int y) {
  const int p = mHorizontal ? x : y;
  const int thumbPosition = GetThumbPosition();
  if (p < thumbPosition) return -1;
  if (p >= thumbPosition + GetThumbSize()) return 1;
  return 0;
}

void ScrollbarWidget::SetColorsAll(const int table[][3], int count) {
  SetColorsRGB(table, count);
  mUpButton->SetColorsRGB(table, count);
  mDownButton->SetColorsRGB(table, count);
}

void ScrollbarWidget::StepArrow(int buttonId) {
  if (buttonId == 1)
    SetValue(mValue + 1.0);
  else if (buttonId == 0)
    SetValue(mValue - 1.0);
}

void ScrollbarWidget::ButtonPress(int buttonId) {
  mArrowHoldCount = 0;
  StepArrow(buttonId);
}

void ScrollbarWidget::ButtonDownTick(int buttonId) {
  if (++mArrowHoldCount < kRepeatDelay) return;
  StepArrow(buttonId);
  mArrowHoldCount = kRepeatDelay - 1;
}

void ScrollbarWidget::Update() {
  Widget::Update();
  if (mPagingMode == 0) return;
  const int towards = mPagingMode == 1 ? -1 : 1;
  if (ThumbCompare(mLastMouseX, mLastMouseY) != towards) {
    mPagingMode = 0;
    MarkDirty();
    return;
  }
  if (++mPagingCount >= kRepeatDelay) {
    SetValue(mValue + towards * mPageSize);
    mPagingCount = kRepeatDelay - kPageRepeatInterval;
  }
}

void ScrollbarWidget::Draw(Graphics* g) {
  const int size = GetThumbSize();
  const int position = GetThumbPosition();
  g->SetColor(GetColorRef(0));
  if (mHorizontal) {
    g->FillRect(0, 0, position, mHeight);
    if (size > 0) DrawThumb(g, position, 0, size, mHeight);
    g->SetColor(GetColorRef(0));
    g->FillRect(position + size, 0, mWidth - position - size, mHeight);
  } else {
    g->FillRect(0, 0, mWidth, position);
    if (size > 0) DrawThumb(g, 0, position, mWidth, size);
    g->SetColor(GetColorRef(0));
    g->FillRect(0, position + size, mWidth, mHeight - position - size);
  }
}

void ScrollbarWidget::MouseDown(int x, int y, int clickCount) {
  Widget::MouseDown(x, y, clickCount);
  if (!mDisabled) {
    switch (ThumbCompare(x, y)) {
      case -1:
        SetValue(mValue - mPageSize);
        mPagingMode = 1;
        mPagingCount = 0;
        break;
      case 1:
        SetValue(mValue + mPageSize);
        mPagingMode = 2;
        mPagingCount = 0;
        break;
      default:
        mThumbDragging = true;
        mDragStartThumbPos = GetThumbPosition();
        mDragStartX = x;
        mDragStartY = y;
        break;
    }
  }
  mLastMouseX = x;
  mLastMouseY = y;
}

void ScrollbarWidget::MouseDrag(int x, int y) {
  if (mThumbDragging) {
    const int moved = mHorizontal ? x - mDragStartX : y - mDragStartY;
    SetThumbPosition(mDragStartThumbPos + moved);
  }
  mLastMouseX = x;
  mLastMouseY = y;
}

void ScrollbarWidget::MouseUpAt(int, int) {
  mPagingMode = 0;
  mThumbDragging = false;
  MarkDirty();
}

}  // namespace Kit
