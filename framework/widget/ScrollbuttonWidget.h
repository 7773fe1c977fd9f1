// The scroll bar's arrow button: a bevelled square with a triangular arrow, pointing by its type or,
// with type 0, by its id (0 towards the start, 1 towards the end).
#pragma once

#include "framework/widget/ButtonWidget.h"

namespace Kit {

class ScrollbuttonWidget : public ButtonWidget {
 public:
  enum Type { TYPE_FROM_ID = 0, TYPE_UP = 1, TYPE_DOWN = 2, TYPE_LEFT = 3, TYPE_RIGHT = 4 };

  ScrollbuttonWidget(int id, ButtonListener* listener, int type);

  void Draw(Graphics* g) override;

  bool mHorizontal = false;
  int mType = TYPE_FROM_ID;
};

}  // namespace Kit
