// The base of every screen, dialog and control: a container with visibility, input state, a colour
// table, focus and Tab links, and overridable operations for every event the widget manager routes.
// Every operation has a neutral default so that a subclass overrides only what it needs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"
#include "framework/widget/WidgetContainer.h"

namespace Kit {

class Image;

enum LayoutFlag : std::uint32_t {
  LAY_SameWidth = 0x1,
  LAY_SameHeight = 0x2,
  LAY_SetLeft = 0x10,
  LAY_SetTop = 0x20,
  LAY_SetWidth = 0x40,
  LAY_SetHeight = 0x80,
  LAY_Above = 0x100,
  LAY_Below = 0x200,
  LAY_Right = 0x400,
  LAY_Left = 0x800,
  LAY_SameLeft = 0x1000,
  LAY_SameRight = 0x2000,
  LAY_SameTop = 0x4000,
  LAY_SameBottom = 0x8000,
  LAY_GrowToRight = 0x10000,
  LAY_GrowToLeft = 0x20000,
  LAY_GrowToTop = 0x40000,
  LAY_GrowToBottom = 0x80000,
  LAY_HCenter = 0x100000,
  LAY_VCenter = 0x200000,
};

class Widget : public WidgetContainer {
 public:
  Widget();
  ~Widget() override;

  virtual void OrderInManagerChanged();
  virtual void SetVisible(bool visible);
  virtual void SetColorsRGBA(const int table[][4], int count);
  virtual void SetColorsRGB(const int table[][3], int count);
  virtual void SetColor(int index, const Color& color);
  virtual Color GetColor(int index, const Color& fallback);
  virtual const Color& GetColorRef(int index);
  virtual void SetDisabled(bool disabled);
  virtual void ShowFinger(bool on);
  virtual void Resize(const Rect& rect);
  virtual void Resize(int x, int y, int width, int height);
  virtual void Move(int x, int y);
  virtual bool WantsFocus();
  virtual void DrawOverlay(Graphics* g);
  virtual void GotFocus();
  virtual void LostFocus();
  virtual void KeyChar(char c);
  virtual void KeyDown(int keyCode);
  virtual void KeyUp(int keyCode);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void MouseMove(int x, int y);
  virtual void MouseDownButton(int x, int y, int button, int clickCount);
  virtual void MouseDown(int x, int y, int clickCount);
  virtual void MouseUpButton(int x, int y, int button, int clickCount);
  virtual void MouseUp(int x, int y, int clickCount);
  virtual void MouseUpAt(int x, int y);
  virtual void MouseDrag(int x, int y);
  virtual void MouseWheel(int delta);
  virtual bool IsPointVisible(int x, int y);
  virtual Rect WriteCenteredLineShadowed(Graphics* g, int y, const std::string& text, Color main, Color shadow,
                                         const Point& offset);
  virtual Rect WriteCenteredLine(Graphics* g, int y, const std::string& text);
  virtual int WriteString(Graphics* g, const std::string& text, int x, int y, int width = -1, int justification = -1,
                          bool draw = true, int offset = 0, int length = -1);
  virtual int WriteWordWrapped(Graphics* g, const Rect& rect, const std::string& text, int lineSpacing,
                               int justification);
  virtual int GetWordWrappedHeight(Graphics* g, int width, const std::string& text, int lineSpacing);
  virtual int GetNumDigits(int n);
  virtual void WriteNumberFromStrip(Graphics* g, int n, int x, int y, Image* strip, int spacing);
  virtual bool Contains(int x, int y);
  virtual Rect GetInsetRect();

  void Layout(std::uint32_t layoutFlags, Widget* relativeTo, int leftPad, int topPad, int widthPad, int heightPad);

  bool mVisible = true;
  bool mMouseVisible = true;
  bool mDisabled = false;
  bool mHasFocus = false;
  bool mIsDown = false;
  bool mIsOver = false;
  bool mTransparent = false;
  std::vector<Color> mColors;
  Insets mHitInsets;
  bool mWantsFinger = false;
  bool mWantsFocus = false;
  Widget* mTabPrevious = nullptr;
  Widget* mTabNext = nullptr;
};

}  // namespace Kit
