#include "framework/widget/Checkbox.h"

#include "framework/graphics/Graphics.h"

namespace Kit {

Checkbox::Checkbox(Image* unchecked, Image* checked, int id, CheckboxListener* listener)
    : mListener(listener), mId(id), mUncheckedImage(unchecked), mCheckedImage(checked) {
  mWantsFinger = true;
}

Checkbox::~Checkbox() = default;

void Checkbox::SetChecked(bool checked, bool tell) {
  mChecked = checked;
  if (tell && mListener != nullptr) mListener->CheckboxChecked(mId, checked);
  MarkDirty();
}

bool Checkbox::IsChecked() { return mChecked; }

void Checkbox::MouseDown(int x, int y, int clickCount) {
  Widget::MouseDown(x, y, clickCount);
  mChecked = !mChecked;
  if (mListener != nullptr) mListener->CheckboxChecked(mId, mChecked);
  MarkDirty();
}

void Checkbox::Draw(Graphics* g) {
  if (mCheckedRect.mWidth == 0 && (mCheckedImage != nullptr || mUncheckedImage != nullptr)) {
    Image* face = mChecked ? mCheckedImage : mUncheckedImage;
    if (face != nullptr) g->DrawImage(face, 0, 0);
    return;
  }
  if (mCheckedRect.mWidth != 0 && mUncheckedImage != nullptr) {
    // Both faces are parts of one image.
    g->DrawImage(mUncheckedImage, 0, 0, mChecked ? mCheckedRect : mUncheckedRect);
    return;
  }
  g->SetColor(mFrameColor);
  g->FillRect(0, 0, mWidth, mHeight);
  g->SetColor(mFillColor);
  g->FillRect(1, 1, mWidth - 2, mHeight - 2);
  if (mChecked) {
    g->SetColor(mTickColor);
    g->DrawLine(1, 1, mWidth - 2, mHeight - 2);
    g->DrawLine(mWidth - 1, 1, 1, mHeight - 2);
  }
}

}  // namespace Kit
