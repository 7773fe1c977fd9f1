#include "framework/widget/Slider.h"

#include "framework/app/KitAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widget/WidgetManager.h"

namespace Kit {

Slider::Slider(Image* trackImage, Image* thumbImage, int id, SliderListener* listener)
    : mListener(listener), mId(id), mTrackImage(trackImage), mThumbImage(thumbImage) {}

void Slider::SetValue(double value) {
  mValue = value;
  MarkDirtyFull();
}

int Slider::ThumbWidth() { return mThumbImage != nullptr ? mThumbImage->GetWidth() : 0; }

int Slider::ThumbX() { return static_cast<int>((mWidth - ThumbWidth()) * mValue); }

void Slider::SetAppCursor(int cursor) {
  KitAppBase* app = mManager != nullptr ? mManager->mApp : gKitApp;
  if (app != nullptr) app->SetCursor(cursor);
}

void Slider::Draw(Graphics* g) {
  if (mTrackImage != nullptr) {
    const int part = mTrackImage->GetWidth() / 3;
    const int trackHeight = mTrackImage->GetHeight();
    const int trackY = (mHeight - trackHeight) / 2;
    g->DrawImage(mTrackImage, 0, trackY, Rect(0, 0, part, trackHeight));
    if (part > 0) {
      Graphics middle(*g);
      middle.ClipRect(part, trackY, mWidth - 2 * part, trackHeight);
      const int repeats = (mWidth - part - 1) / part;
      for (int i = 0; i < repeats; ++i)
        middle.DrawImage(mTrackImage, part + i * part, trackY, Rect(part, 0, part, trackHeight));
    }
    g->DrawImage(mTrackImage, mWidth - part, trackY, Rect(2 * part, 0, part, trackHeight));
  }
  if (mThumbImage != nullptr) g->DrawImage(mThumbImage, ThumbX(), (mHeight - mThumbImage->GetHeight()) / 2);
}

void Slider::MouseMove(int x, int) {
  const int thumbX = ThumbX();
  SetAppCursor(x >= thumbX && x < thumbX + ThumbWidth() ? CURSOR_DRAGGING : CURSOR_POINTER);
}

void Slider::MouseDown(int x, int, int) {
  const int thumbX = ThumbX();
  if (x < thumbX || x >= thumbX + ThumbWidth()) return;
  SetAppCursor(CURSOR_DRAGGING);
  mDragging = true;
  mGrabOffset = x - thumbX;
}

void Slider::MouseDrag(int x, int) {
  if (!mDragging) return;
  const double oldValue = mValue;
  const int travel = mWidth - ThumbWidth();
  // A thumb as wide as the track has nowhere to go.
  double value = travel > 0 ? static_cast<double>(x - mGrabOffset) / travel : 0.0;
  if (value < 0) value = 0;
  if (value > 1) value = 1;
  mValue = value;
  if (mValue != oldValue) {
    if (mListener != nullptr) mListener->SliderVal(mId, mValue);
    MarkDirtyFull();
  }
}

void Slider::MouseUpAt(int, int) {
  mDragging = false;
  SetAppCursor(CURSOR_POINTER);
  if (mListener != nullptr) mListener->SliderVal(mId, mValue);
}

void Slider::MouseLeave() {
  if (!mDragging) SetAppCursor(CURSOR_POINTER);
}

}  // namespace Kit
