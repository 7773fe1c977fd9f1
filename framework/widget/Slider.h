// A horizontal track with a draggable thumb; its value runs from 0 to 1 and goes to the listener while
// the thumb is dragged and again on release.
#pragma once

#include "framework/widget/SliderListener.h"
#include "framework/widget/Widget.h"

namespace Kit {

class Image;

class Slider : public Widget {
 public:
  // The images are not owned. The track image holds three equal parts: left end, repeatable middle
  // and right end.
  Slider(Image* trackImage, Image* thumbImage, int id, SliderListener* listener);

  // No clamping and no report: the owner sets what it already knows.
  virtual void SetValue(double value);

  void Draw(Graphics* g) override;
  void MouseMove(int x, int y) override;
  void MouseDown(int x, int y, int clickCount) override;
  void MouseDrag(int x, int y) override;
  void MouseUpAt(int x, int y) override;
  void MouseLeave() override;

  SliderListener* mListener = nullptr;
  double mValue = 0;
  int mId = 0;
  Image* mTrackImage = nullptr;
  Image* mThumbImage = nullptr;
  bool mDragging = false;
  int mGrabOffset = 0;  // where in the thumb it was grabbed

 private:
  int ThumbWidth();
  int ThumbX();
  void SetAppCursor(int cursor);
};

}  // namespace Kit
