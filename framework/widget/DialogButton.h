// A button drawn as a stretchable nine-slice box from a component image; the face moves while pressed.
#pragma once

#include "framework/widget/ButtonWidget.h"

namespace Kit {

class DialogButton : public ButtonWidget {
 public:
  DialogButton(Image* componentImage, int id, ButtonListener* listener);
  ~DialogButton() override;

  void Draw(Graphics* g) override;

  Image* mComponentImage = nullptr;
  int mPressShiftX = 1;
  int mPressShiftY = 1;
  int mLabelShiftX = 0;
  int mLabelShiftY = 0;
};

}  // namespace Kit
