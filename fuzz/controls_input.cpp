// Drives the controls with arbitrary input: keys and characters (with Shift and Ctrl, so selection,
// clipboard and undo run), clipboard texts of any bytes pasted into the edit field, mouse presses,
// drags and the wheel over a list with its scroll bar and chained column and over a slider, limits
// and masks changed between events, and a draw after every few events. Nothing may read out of bounds
// or loop without end.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/app/KitAppBase.h"
#include "framework/font/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widget/EditWidget.h"
#include "framework/widget/ListWidget.h"
#include "framework/widget/ScrollbarWidget.h"
#include "framework/widget/Slider.h"
#include "framework/widget/WidgetManager.h"

namespace {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
  bool AtEnd() const { return mPos >= mSize; }
  int Byte() { return mPos < mSize ? mData[mPos++] : 0; }
  int Coordinate() { return Byte() * 2 - 40; }
  std::string Text() {
    const int length = Byte();
    std::string text;
    for (int i = 0; i < length && !AtEnd(); ++i) text += static_cast<char>(Byte());
    return text;
  }

 private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};

// Widths that vary by character, zero for some, so hit tests and limits see uneven text.
class UnevenFont : public Kit::Font {
 public:
  UnevenFont() {
    mAscent = 8;
    mHeight = 10;
  }
  int StringWidth(const std::string& text) override {
    int width = 0;
    for (char c : text) width += CharWidth(c);
    return width;
  }
  int CharWidth(char c) override {
    return static_cast<unsigned char>(c) % 7 == 0 ? 0 : static_cast<unsigned char>(c) % 13;
  }
  void DrawString(Kit::Graphics* g, int x, int y, const std::string& text, const Kit::Color&,
                  const Kit::Rect&) override {
    g->FillRect(x, y - mAscent, StringWidth(text), mAscent);
  }
  Kit::Font* Duplicate() override { return new UnevenFont(*this); }
};

// One application for the process (making one is the costly part); each input gets fresh controls.
class FuzzApp : public Kit::KitAppBase {
 public:
  FuzzApp() {
    mWidgetManager->Resize(200, 240);
    mScreen.Create(200, 240);
    mWidgetManager->mImage = &mScreen;
  }

 private:
  Kit::MemoryImage mScreen;
};

class Scene {
 public:
  explicit Scene(Kit::KitAppBase& app) : mManager(*app.mWidgetManager) {
    mEdit.SetFont(&mFont);
    mEdit.Resize(10, 10, 120, 20);
    mList.mScrollbar = &mBar;
    mList.mNextColumn = &mColumn;
    mColumn.mPrevColumn = &mList;
    mList.Resize(10, 40, 100, 100);
    mColumn.Resize(110, 40, 60, 100);
    mBar.ResizeScrollbar(170, 40, 16, 100);
    mSlider.Resize(10, 200, 150, 20);
    mThumb.Create(10, 10);
    mTrack.Create(60, 4);
    for (Kit::Widget* widget :
         {static_cast<Kit::Widget*>(&mEdit), static_cast<Kit::Widget*>(&mList), static_cast<Kit::Widget*>(&mColumn),
          static_cast<Kit::Widget*>(&mBar), static_cast<Kit::Widget*>(&mSlider)})
      mManager.AddWidget(widget);
    mManager.SetFocus(&mEdit);
  }
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;
  ~Scene() {
    mManager.ReleaseMouseButtons();
    for (int key = 0; key < 255; ++key) mManager.mKeyDownTable[key] = false;
    mManager.RemoveAllWidgets(false, true);
  }

  void Step(Input& in, Kit::KitAppBase& app) {
    Kit::WidgetManager& m = mManager;
    switch (in.Byte() % 16) {
      case 0:
        m.KeyDown(in.Byte());
        break;
      case 1:
        m.KeyUp(in.Byte());
        break;
      case 2:
        m.KeyChar(static_cast<char>(in.Byte()));
        break;
      case 3:
        app.CopyToClipboard(in.Text());
        m.KeyChar(22);
        break;
      case 4:
        m.MouseDown(in.Coordinate(), in.Coordinate(), (in.Byte() % 5) - 2);
        break;
      case 5:
        m.MouseUp(in.Coordinate(), in.Coordinate(), (in.Byte() % 5) - 2);
        break;
      case 6:
        m.MouseMoveEntry(in.Coordinate(), in.Coordinate());
        break;
      case 7:
        m.MouseWheel(in.Byte() - 128);
        break;
      case 8:
        mEdit.mMaxLength = in.Byte() % 2 ? -1 : in.Byte() % 20;
        break;
      case 9:
        mEdit.mMaxWidth = in.Byte() - 40;
        break;
      case 10:
        mEdit.mMaskChar = static_cast<char>(in.Byte() % 3 == 0 ? '*' : 0);
        break;
      case 11:
        mEdit.SetText(in.Text(), in.Byte() & 1);
        break;
      case 12:
        mList.AddLine(in.Text(), in.Byte() & 1);
        break;
      case 13:
        mList.RemoveLine(in.Byte() - 2);
        break;
      case 14:
        mList.mKeyPadWidth = in.Byte() % 6;
        mList.Sort(in.Byte() & 1);
        break;
      default:
        m.UpdateFrame();
        m.MarkAllDirty();
        m.DrawScreen();
        break;
    }
  }

 private:
  Kit::WidgetManager& mManager;
  UnevenFont mFont;
  Kit::MemoryImage mThumb;
  Kit::MemoryImage mTrack;
  Kit::EditWidget mEdit{1, nullptr};
  Kit::ListWidget mList{2, &mFont, nullptr};
  Kit::ListWidget mColumn{3, &mFont, nullptr};
  Kit::ScrollbarWidget mBar{4, &mList};
  Kit::Slider mSlider{&mTrack, &mThumb, 5, nullptr};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzApp app;
  Input in(data, size);
  Scene scene(app);
  for (int steps = 0; !in.AtEnd() && steps < 2000; ++steps) scene.Step(in, app);
  return 0;
}
