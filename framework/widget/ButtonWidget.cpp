#include "framework/widget/ButtonWidget.h"

#include <algorithm>

#include "framework/app/KitAppBase.h"
#include "framework/font/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/widget/ButtonListener.h"
#include "framework/widget/FallbackFont.h"
#include "framework/widget/WidgetManager.h"

namespace Kit {

namespace {

const Color kFaceGrey(212, 212, 212);
const Color kBevelGrey(132, 132, 132);
const Color kBevelBlack(0, 0, 0);
const Color kBevelWhite(255, 255, 255);

}  // namespace

ButtonWidget::ButtonWidget(int id, ButtonListener* listener) : mId(id), mListener(listener) {
  mHasAlpha = true;
  mColors = {Color(0, 0, 0), Color(0, 0, 0)};
}

ButtonWidget::~ButtonWidget() { delete mFont; }

void ButtonWidget::SetFont(Font* font) {
  delete mFont;
  mFont = font != nullptr ? font->Duplicate() : nullptr;
}

bool ButtonWidget::IsButtonDown() { return mIsDown && mIsOver && !mDisabled; }

void ButtonWidget::DrawButtonImage(Graphics* g, Image* image, const Rect& src, int x, int y) {
  if (src.mWidth == 0) {
    if (image != nullptr) g->DrawImage(image, x, y);
  } else if (mFaceImage != nullptr) {
    // A source rectangle always refers to the face image, whatever image the caller passed.
    g->DrawImage(mFaceImage, x, y, src);
  }
}

bool ButtonWidget::HoverLooksTheSame() { return !mIsDown && !HasOverImage() && GetColorRef(1) == GetColorRef(0); }

void ButtonWidget::MouseEnter() {
  if (mHoverFadeInStep == 0 && mHoverAlpha > 0) mHoverAlpha = 0;
  if (!HoverLooksTheSame()) MarkDirty();
  if (mListener != nullptr) mListener->ButtonMouseEnter(mId);
}

void ButtonWidget::MouseLeave() {
  if (mHoverFadeOutStep == 0 && mHoverAlpha > 0)
    mHoverAlpha = 0;
  else if (mHoverFadeOutStep > 0 && mHoverAlpha == 0)
    mHoverAlpha = 1.0;
  if (!HoverLooksTheSame()) MarkDirty();
  if (mListener != nullptr) mListener->ButtonMouseLeave(mId);
}

void ButtonWidget::MouseMove(int x, int y) {
  if (mListener != nullptr) mListener->ButtonMouseMove(mId, x, y);
}

void ButtonWidget::MouseDown(int x, int y, int clickCount) {
  Widget::MouseDown(x, y, clickCount);
  if (mListener != nullptr) mListener->ButtonPressCount(mId, clickCount);
  MarkDirty();
}

void ButtonWidget::MouseUpAt(int, int) {
  if (mIsOver && mManager != nullptr && mManager->mAppHasFocus && mListener != nullptr) mListener->ButtonDepress(mId);
  MarkDirty();
}

void ButtonWidget::Update() {
  Widget::Update();
  if (mIsDown && mIsOver && mListener != nullptr) mListener->ButtonDownTick(mId);
  if (mIsDown && !mIsOver) return;
  if (!mIsOver) {
    if (mHoverAlpha > 0) {
      if (mHoverFadeOutStep > 0) {
        mHoverAlpha -= mHoverFadeOutStep;
        if (mHoverAlpha >= 0) {
          MarkDirty();
          return;
        }
      }
      mHoverAlpha = 0;
      MarkDirty();
    }
    return;
  }
  if (mHoverFadeInStep > 0 && mHoverAlpha < 1.0) {
    mHoverAlpha = std::min(1.0, mHoverAlpha + mHoverFadeInStep);
    MarkDirty();
  }
}

void ButtonWidget::SetDisabled(bool disabled) {
  Widget::SetDisabled(disabled);
  if (HasDisabledImage()) MarkDirty();
}

void ButtonWidget::EnsureFont(int pointSize, int charSet) {
  if (mFont != nullptr || mLabel.empty()) return;
  mFont = MakeFallbackFont(mManager != nullptr ? mManager->mApp : gKitApp, pointSize, charSet);
}

void ButtonWidget::DrawImagelessFace(Graphics* g, bool down) {
  if (mSkipFrame) return;
  const int w = mWidth;
  const int h = mHeight;
  g->SetColor(kFaceGrey);
  g->FillRect(0, 0, w, h);
  const Color& topLeft = down ? kBevelBlack : kBevelWhite;
  const Color& bottomRight = down ? kBevelWhite : kBevelBlack;
  g->SetColor(topLeft);
  g->FillRect(0, 0, w - 1, 1);
  g->FillRect(0, 0, 1, h - 1);
  g->SetColor(bottomRight);
  g->FillRect(0, h - 1, w, 1);
  g->FillRect(w - 1, 0, 1, h);
  g->SetColor(kBevelGrey);
  if (down) {
    g->FillRect(1, 1, w - 3, 1);
    g->FillRect(1, 1, 1, h - 3);
  } else {
    g->FillRect(1, h - 2, w - 2, 1);
    g->FillRect(w - 2, 1, 1, h - 2);
  }
}

void ButtonWidget::Draw(Graphics* g) {
  if (mSkipDraw) return;
  EnsureFont(10, 0);
  const bool down = (mIsDown && mIsOver && !mDisabled) != mInverted;

  int labelX = 0;
  int labelY = 0;
  if (mFont != nullptr) {
    const int labelWidth = mFont->StringWidth(mLabel);
    if (mLabelAlign == 0)
      labelX = (mWidth - labelWidth) / 2;
    else if (mLabelAlign == 1)
      labelX = mWidth - labelWidth;
    const int ascent = mFont->GetAscent();
    labelY = (mHeight - ascent / 6 + ascent - 1) / 2;
  }

  Color labelColor;
  if (mFaceImage == nullptr && mPressedImage == nullptr) {
    DrawImagelessFace(g, down);
    if (down) {
      labelColor = Color(0, 0, 0);
      ++labelX;
      ++labelY;
    } else {
      labelColor = GetColorRef(mIsOver ? 1 : 0);
    }
  } else if (down) {
    if (HasDownImage())
      DrawButtonImage(g, mPressedImage, mPressedRect, 0, 0);
    else if (HasOverImage())
      DrawButtonImage(g, mHoverImage, mHoverRect, 1, 1);
    else
      DrawButtonImage(g, mFaceImage, mFaceRect, 1, 1);
    labelColor = GetColorRef(1);
    ++labelX;
    ++labelY;
  } else {
    if (mDisabled && HasDisabledImage()) {
      DrawButtonImage(g, mDisabledImage, mDisabledRect, 0, 0);
    } else if (mHoverAlpha > 0 && HasOverImage()) {
      if (HasFaceImage()) DrawButtonImage(g, mFaceImage, mFaceRect, 0, 0);
      const Color savedColor = g->GetColor();
      const bool savedColorize = g->GetColorizeImages();
      g->SetColor(Color(255, 255, 255, static_cast<int>(mHoverAlpha * 255)));
      g->SetColorizeImages(true);
      DrawButtonImage(g, mHoverImage, mHoverRect, 0, 0);
      g->SetColorizeImages(savedColorize);
      g->SetColor(savedColor);
    } else if ((mIsOver || mIsDown) && HasOverImage()) {
      DrawButtonImage(g, mHoverImage, mHoverRect, 0, 0);
    } else if (HasFaceImage()) {
      DrawButtonImage(g, mFaceImage, mFaceRect, 0, 0);
    }
    labelColor = GetColorRef(mIsOver ? 1 : 0);
  }

  if (mFont != nullptr && !mLabel.empty()) {
    g->SetFont(mFont);
    g->SetColor(labelColor);
    g->DrawString(mLabel, labelX, labelY);
  }
}

}  // namespace Kit
