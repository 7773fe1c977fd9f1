#include "framework/widget/Widget.h"

#include <cstdlib>

#include "framework/app/KitAppBase.h"
#include "framework/font/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widget/KeyCodes.h"
#include "framework/widget/WidgetManager.h"

namespace Kit {

Widget::Widget() = default;

Widget::~Widget() {
  // Deleted while still in the tree: it leaves first, so that neither its parent nor the manager
  // keeps a pointer to it.
  if (mParent != nullptr) mParent->RemoveWidget(this);
}

void Widget::OrderInManagerChanged() {}

void Widget::SetVisible(bool visible) {
  if (mVisible == visible) return;
  mVisible = visible;
  if (visible)
    MarkDirty();
  else
    MarkDirtyFull();
  if (mManager != nullptr) mManager->RehupMouse();
}

void Widget::SetColorsRGBA(const int table[][4], int count) {
  mColors.clear();
  for (int i = 0; i < count; ++i) SetColor(i, Color(table[i][0], table[i][1], table[i][2], table[i][3]));
  MarkDirty();
}

void Widget::SetColorsRGB(const int table[][3], int count) {
  mColors.clear();
  for (int i = 0; i < count; ++i) SetColor(i, Color(table[i][0], table[i][1], table[i][2], 255));
  MarkDirty();
}

void Widget::SetColor(int index, const Color& color) {
  if (index < 0) return;
  if (static_cast<std::size_t>(index) >= mColors.size()) mColors.resize(index + 1, Color(0, 0, 0, 255));
  mColors[index] = color;
  MarkDirty();
}

Color Widget::GetColor(int index, const Color& fallback) {
  if (index < 0 || static_cast<std::size_t>(index) >= mColors.size()) return fallback;
  return mColors[index];
}

const Color& Widget::GetColorRef(int index) {
  static const Color missing(0, 0, 0, 255);
  if (index < 0 || static_cast<std::size_t>(index) >= mColors.size()) return missing;
  return mColors[index];
}

void Widget::SetDisabled(bool disabled) {
  if (mDisabled == disabled) return;
  mDisabled = disabled;
  if (disabled && mManager != nullptr) mManager->DisableWidget(this);
  MarkDirty();
  if (!disabled && mManager != nullptr && Contains(mManager->mLastMouseX, mManager->mLastMouseY))
    mManager->MouseMove(mManager->mLastMouseX, mManager->mLastMouseY);
}

void Widget::ShowFinger(bool on) {
  KitAppBase* app = mManager != nullptr ? mManager->mApp : gKitApp;
  if (app != nullptr) app->SetCursor(on ? CURSOR_HAND : CURSOR_POINTER);
}

void Widget::Resize(const Rect& rect) { Resize(rect.mX, rect.mY, rect.mWidth, rect.mHeight); }

void Widget::Resize(int x, int y, int width, int height) {
  if (x == mX && y == mY && width == mWidth && height == mHeight) return;
  MarkDirtyFull();
  mX = x;
  mY = y;
  mWidth = width;
  mHeight = height;
  MarkDirty();
  if (mManager != nullptr) mManager->RehupMouse();
}

void Widget::Move(int x, int y) { Resize(x, y, mWidth, mHeight); }

bool Widget::WantsFocus() { return mWantsFocus; }

void Widget::DrawOverlay(Graphics*) {}

void Widget::GotFocus() { mHasFocus = true; }

void Widget::LostFocus() { mHasFocus = false; }

void Widget::KeyChar(char) {}

void Widget::KeyDown(int keyCode) {
  if (keyCode != kKeyCodeTab || mManager == nullptr) return;
  if (mManager->mKeyDownTable[kKeyCodeShift]) {
    if (mTabPrevious != nullptr) mManager->SetFocus(mTabPrevious);
  } else if (mTabNext != nullptr) {
    mManager->SetFocus(mTabNext);
  }
}

void Widget::KeyUp(int) {}

void Widget::MouseEnter() {}

void Widget::MouseLeave() {}

void Widget::MouseMove(int, int) {}

void Widget::MouseDownButton(int, int, int, int) {}

// Click counts: 1 and 2 left, -1 and -2 right, 3 middle; the button numbers are 0 left, 1 right,
// 2 middle.
static void MapClickCount(int clickCount, int* button, int* count) {
  if (clickCount == 3) {
    *button = 2;
    *count = 1;
  } else if (clickCount < 0) {
    *button = 1;
    *count = -clickCount;
  } else {
    *button = 0;
    *count = clickCount;
  }
}

void Widget::MouseDown(int x, int y, int clickCount) {
  int button = 0;
  int count = 0;
  MapClickCount(clickCount, &button, &count);
  MouseDownButton(x, y, button, count);
}

void Widget::MouseUpButton(int, int, int, int) {}

void Widget::MouseUp(int x, int y, int clickCount) {
  MouseUpAt(x, y);
  int button = 0;
  int count = 0;
  MapClickCount(clickCount, &button, &count);
  MouseUpButton(x, y, button, count);
}

void Widget::MouseUpAt(int, int) {}

void Widget::MouseDrag(int, int) {}

void Widget::MouseWheel(int) {}

bool Widget::IsPointVisible(int, int) { return true; }

Rect Widget::WriteCenteredLineShadowed(Graphics* g, int y, const std::string& text, Color main, Color shadow,
                                       const Point& offset) {
  Font* font = g->GetFont();
  if (font == nullptr) return Rect(mWidth / 2, y, 0, 0);
  const int width = font->StringWidth(text);
  const int x = (mWidth - width) / 2;
  g->SetColor(shadow);
  g->DrawString(text, x + offset.mX, y + offset.mY);
  g->SetColor(main);
  g->DrawString(text, x, y);
  return Rect(x + std::min(offset.mX, 0), y + std::min(offset.mY, 0) - font->GetAscent(), width + std::abs(offset.mX),
              font->GetHeight() + std::abs(offset.mY));
}

Rect Widget::WriteCenteredLine(Graphics* g, int y, const std::string& text) {
  Font* font = g->GetFont();
  if (font == nullptr) return Rect(mWidth / 2, y, 0, 0);
  const int width = font->StringWidth(text);
  const int x = (mWidth - width) / 2;
  g->DrawString(text, x, y);
  return Rect(x, y - font->GetAscent(), width, font->GetHeight());
}

int Widget::WriteString(Graphics* g, const std::string& text, int x, int y, int width, int justification, bool draw,
                        int offset, int length) {
  const bool wasColored = g->mWriteColoredString;
  g->mWriteColoredString = true;
  const int result = g->WriteString(text, x, y, width, justification, draw, offset, length);
  g->mWriteColoredString = wasColored;
  return result;
}

int Widget::WriteWordWrapped(Graphics* g, const Rect& rect, const std::string& text, int lineSpacing,
                             int justification) {
  const bool wasColored = g->mWriteColoredString;
  g->mWriteColoredString = true;
  const int result = g->WriteWordWrapped(rect, text, lineSpacing, justification);
  g->mWriteColoredString = wasColored;
  return result;
}

int Widget::GetWordWrappedHeight(Graphics* g, int width, const std::string& text, int lineSpacing) {
  return g->GetWordWrappedHeight(width, text, lineSpacing);
}

int Widget::GetNumDigits(int n) {
  if (n < 10) return 1;
  int digits = 0;
  for (long long power = 1; power <= n; power *= 10) ++digits;
  return digits;
}

void Widget::WriteNumberFromStrip(Graphics* g, int n, int x, int y, Image* strip, int spacing) {
  if (strip == nullptr) return;
  const int digitWidth = strip->GetWidth() / 10;
  const int digits = GetNumDigits(n);
  long long divisor = 1;
  for (int i = 1; i < digits; ++i) divisor *= 10;
  int offset = 0;
  for (int i = 0; i < digits; ++i, divisor /= 10) {
    const int digit = static_cast<int>(std::llabs(n / divisor % 10));
    Graphics digitGraphics(*g);
    digitGraphics.ClipRect(x + offset, y, digitWidth, strip->GetHeight());
    digitGraphics.DrawImage(strip, x + offset - digit * digitWidth, y);
    offset += digitWidth + spacing;
  }
}

bool Widget::Contains(int x, int y) { return x >= mX && x < mX + mWidth && y >= mY && y < mY + mHeight; }

Rect Widget::GetInsetRect() {
  return Rect(mX + mHitInsets.mLeft, mY + mHitInsets.mTop, mWidth - mHitInsets.mLeft - mHitInsets.mRight,
              mHeight - mHitInsets.mTop - mHitInsets.mBottom);
}

void Widget::Layout(std::uint32_t layoutFlags, Widget* relativeTo, int leftPad, int topPad, int widthPad,
                    int heightPad) {
  Rect r;
  if (relativeTo != nullptr) {
    r = relativeTo->GetRect();
    if (static_cast<WidgetContainer*>(relativeTo) == mParent) r.mX = r.mY = 0;
  }
  int x = mX;
  int y = mY;
  int w = mWidth;
  int h = mHeight;
  for (std::uint32_t bit = 1; bit < 0x400000; bit <<= 1) {
    switch (layoutFlags & bit) {
      case LAY_SameWidth:
        w = r.mWidth + widthPad;
        break;
      case LAY_SameHeight:
        h = r.mHeight + heightPad;
        break;
      case LAY_SetLeft:
        x = leftPad;
        break;
      case LAY_SetTop:
        y = topPad;
        break;
      case LAY_SetWidth:
        w = widthPad;
        break;
      case LAY_SetHeight:
        h = heightPad;
        break;
      case LAY_Above:
        y = r.mY - h + topPad;
        break;
      case LAY_Below:
        y = r.mY + r.mHeight + topPad;
        break;
      case LAY_Right:
        x = r.mX + r.mWidth + leftPad;
        break;
      case LAY_Left:
        x = r.mX - w + leftPad;
        break;
      case LAY_SameLeft:
        x = r.mX + leftPad;
        break;
      case LAY_SameRight:
        x = r.mX + r.mWidth - w + leftPad;
        break;
      case LAY_SameTop:
        y = r.mY + topPad;
        break;
      case LAY_SameBottom:
        y = r.mY + r.mHeight - h + topPad;
        break;
      case LAY_GrowToRight:
        w = r.mX + r.mWidth - x + widthPad;
        break;
      case LAY_GrowToLeft:
        w = r.mX - x + widthPad;
        break;
      case LAY_GrowToTop:
        h = r.mY - y + heightPad;
        break;
      case LAY_GrowToBottom:
        h = r.mY + r.mHeight - y + heightPad;
        break;
      case LAY_HCenter:
        x = r.mX + (r.mWidth - w) / 2 + leftPad;
        break;
      case LAY_VCenter:
        y = r.mY + (r.mHeight - h) / 2 + topPad;
        break;
      default:
        break;
    }
  }
  Resize(x, y, w, h);
}

}  // namespace Kit
