#include "framework/widget/ScrollbuttonWidget.h"

#include "framework/graphics/Graphics.h"
#include "framework/widget/ScrollbarColors.h"

namespace Kit {

ScrollbuttonWidget::ScrollbuttonWidget(int id, ButtonListener* listener, int type)
    : ButtonWidget(id, listener), mType(type) {
  SetColorsRGB(kScrollbarColors, kScrollbarColorCount);
}

void ScrollbuttonWidget::Draw(Graphics* g) {
  const bool pressed = mIsDown && mIsOver && !mDisabled;
  const int d = pressed ? 1 : 0;
  g->SetColor(GetColorRef(1));
  g->FillRect(0, 0, mWidth, mHeight);
  if (pressed) {
    g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
  } else {
    g->SetColor(GetColorRef(2));
    g->FillRect(1, 1, mWidth - 2, 1);
    g->FillRect(1, 1, 1, mHeight - 2);
    g->SetColor(GetColorRef(3));
    g->FillRect(0, mHeight - 1, mWidth, 1);
    g->FillRect(mWidth - 1, 0, 1, mHeight);
    g->SetColor(GetColorRef(4));
    g->FillRect(1, mHeight - 2, mWidth - 2, 1);
    g->FillRect(mWidth - 2, 1, 1, mHeight - 2);
  }

  g->SetColor(GetColorRef(mDisabled ? 1 : 5));
  const bool alongX = mHorizontal || mType == TYPE_LEFT || mType == TYPE_RIGHT;
  for (int i = 0; i < 4; ++i) {
    const int length = 2 * i + 1;
    if (!alongX) {
      const int x = mWidth / 2 - i + d - 1;
      const bool up = mType == TYPE_UP || (mType == TYPE_FROM_ID && mId == 0);
      const int y = up ? (mHeight - 4) / 2 + i + d : (mHeight - 4) / 2 - i + d + 3;
      g->FillRect(x, y, length, 1);
    } else {
      const int y = mHeight / 2 - i + d - 1;
      const bool left = mType == TYPE_LEFT || (mType == TYPE_FROM_ID && mId == 0);
      const int x = left ? (mWidth - 4) / 2 + i + d : (mWidth - 4) / 2 - i + d + 3;
      g->FillRect(x, y, 1, length);
    }
  }
}

}  // namespace Kit
