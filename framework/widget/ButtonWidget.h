// The push button: reports presses, the click (a release over the button), held ticks and hover to
// its listener, and draws itself from images (whole images or rectangles of the face image) or, with
// none, as a bevelled grey box, with an optional fade of the over image.
#pragma once

#include <string>

#include "framework/graphics/Rect.h"
#include "framework/widget/Widget.h"

namespace Kit {

class ButtonListener;
class Font;

class ButtonWidget : public Widget {
 public:
  ButtonWidget(int id, ButtonListener* listener);
  ~ButtonWidget() override;

  virtual void DrawButtonImage(Graphics* g, Image* image, const Rect& src, int x, int y);
  // Keeps its own copy of the font.
  virtual void SetFont(Font* font);
  virtual bool IsButtonDown();

  void MouseEnter() override;
  void MouseLeave() override;
  void MouseMove(int x, int y) override;
  void MouseDown(int x, int y, int clickCount) override;
  void MouseUpAt(int x, int y) override;
  void Update() override;
  void SetDisabled(bool disabled) override;
  void Draw(Graphics* g) override;

  bool HasFaceImage() const { return mFaceImage != nullptr || mFaceRect.mWidth != 0; }
  bool HasOverImage() const { return mHoverImage != nullptr || mHoverRect.mWidth != 0; }
  bool HasDownImage() const { return mPressedImage != nullptr || mPressedRect.mWidth != 0; }
  bool HasDisabledImage() const { return mDisabledImage != nullptr || mDisabledRect.mWidth != 0; }

  int mId = 0;
  std::string mLabel;
  int mLabelAlign = 0;
  Font* mFont = nullptr;
  Image* mFaceImage = nullptr;
  Image* mHoverImage = nullptr;
  Image* mPressedImage = nullptr;
  Image* mDisabledImage = nullptr;
  Rect mFaceRect;
  Rect mHoverRect;
  Rect mPressedRect;
  Rect mDisabledRect;
  bool mInverted = false;
  bool mSkipDraw = false;
  bool mSkipFrame = false;
  ButtonListener* mListener = nullptr;
  double mHoverAlpha = 0;
  double mHoverFadeOutStep = 0;
  double mHoverFadeInStep = 0;

 protected:
  // Nothing can look different on hover: not held, no over image and one label colour.
  bool HoverLooksTheSame();
  void EnsureFont(int pointSize, int charSet);
  void DrawImagelessFace(Graphics* g, bool down);
};

}  // namespace Kit
