// A check box that toggles on a click of any button and reports its state to an optional listener.
#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"
#include "framework/widget/CheckboxListener.h"
#include "framework/widget/Widget.h"

namespace Kit {

class Checkbox : public Widget {
 public:
  Checkbox(Image* unchecked, Image* checked, int id, CheckboxListener* listener);
  ~Checkbox() override;

  virtual void SetChecked(bool checked, bool tell = true);
  virtual bool IsChecked();

  void MouseDown(int x, int y, int clickCount) override;
  void Draw(Graphics* g) override;

  CheckboxListener* mListener = nullptr;
  int mId = 0;
  bool mChecked = false;
  Image* mUncheckedImage = nullptr;
  Image* mCheckedImage = nullptr;
  Rect mCheckedRect;
  Rect mUncheckedRect;
  Color mFrameColor{255, 255, 255, 255};
  Color mFillColor{80, 80, 80};
  Color mTickColor{255, 255, 0};
};

}  // namespace Kit
