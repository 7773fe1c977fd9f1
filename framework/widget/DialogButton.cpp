#include "framework/widget/DialogButton.h"

#include "framework/font/Font.h"
#include "framework/graphics/Graphics.h"

namespace Kit {

DialogButton::DialogButton(Image* componentImage, int id, ButtonListener* listener)
    : ButtonWidget(id, listener), mComponentImage(componentImage) {
  mWantsFinger = true;
  mColors = {Color(255, 255, 255), Color(255, 255, 255)};
}

DialogButton::~DialogButton() = default;

void DialogButton::Draw(Graphics* g) {
  if (mSkipDraw) return;
  if (mComponentImage == nullptr) {
    ButtonWidget::Draw(g);
    return;
  }
  EnsureFont(12, 1);
  const bool down = IsButtonDown();
  const Rect box(0, 0, mWidth, mHeight);
  if (mFaceRect.mWidth != 0) {
    // Several faces in one component image.
    Rect src = mFaceRect;
    if (mDisabled && mDisabledRect.mWidth >= 1 && mDisabledRect.mHeight >= 1)
      src = mDisabledRect;
    else if (down)
      src = mPressedRect;
    else if (mIsOver)
      src = mHoverRect;
    g->DrawImageBoxSrc(box, src, mComponentImage);
    if (down) g->Translate(mPressShiftX, mPressShiftY);
  } else {
    if (down) g->Translate(mPressShiftX, mPressShiftY);
    g->DrawImageBox(box, mComponentImage);
  }

  g->SetColorizeImages(true);
  g->SetColor(GetColorRef(mIsOver ? 1 : 0));
  if (mFont != nullptr) {
    const int x = (mWidth - mFont->StringWidth(mLabel)) / 2;
    const int ascent = mFont->GetAscent();
    const int y = (mHeight - ascent / 6 - mFont->GetAscentPadding() + ascent - 1) / 2;
    g->SetFont(mFont);
    g->DrawString(mLabel, mLabelShiftX + x, mLabelShiftY + y);
  }
  g->SetColorizeImages(false);
  if (down) g->Translate(-mPressShiftX, -mPressShiftY);
}

}  // namespace Kit
