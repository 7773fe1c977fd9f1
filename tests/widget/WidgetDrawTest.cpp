#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widget/ButtonWidget.h"
#include "framework/widget/Checkbox.h"
#include "framework/widget/Dialog.h"
#include "framework/widget/DialogButton.h"
#include "framework/widget/FallbackFont.h"
#include "tests/support/Canvas.h"
#include "tests/support/GoldenImage.h"
#include "tests/widget/BlockFont.h"
#include "tests/widget/WidgetTestSupport.h"

namespace {

using Kit::Color;
using Kit::MemoryImage;

using testsupport::Canvas;

// A button face: a border in one colour, a diagonal stripe in another, and a translucent centre.
std::unique_ptr<MemoryImage> Face(int width, int height, std::uint32_t border, std::uint32_t inside) {
  auto image = std::make_unique<MemoryImage>();
  image->Create(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint32_t pixel = inside;
      if (x < 2 || y < 2 || x >= width - 2 || y >= height - 2) pixel = border;
      if ((x - y) % 7 == 0) pixel = 0xFFFFFFFF;
      if (x > width / 3 && x < 2 * width / 3 && y > height / 3 && y < 2 * height / 3)
        pixel = 0x80000000 | (inside & 0xFFFFFF);
      image->GetBits()[y * width + x] = pixel;
    }
  image->BitsChanged();
  return image;
}

std::uint32_t Pixel(MemoryImage& image, int x, int y) { return image.GetBits()[y * image.GetWidth() + x]; }

using WidgetDraw = KitTest::WidgetFixture;

TEST_F(WidgetDraw, DialogWithHeaderLinesAndButtons) {
  auto canvas = Canvas(320, 170, 0xFF2E4A3A);
  mManager.Resize(320, 170);
  mManager.mImage = canvas.get();
  Kit::Dialog* dialog = mApp.NewDialog(1, true, "HEADER", "two lines of body text here", "footer", 2);
  dialog->Resize(10, 5, 300, 160);
  mApp.AddDialog(1, dialog);
  EXPECT_TRUE(mManager.DrawScreen());
  EXPECT_TRUE(testsupport::MatchesGolden("widget_dialog_drawn_box_memory", canvas->GetBits(), 320, 170));
  // Nothing changed: nothing is drawn again.
  EXPECT_FALSE(mManager.DrawScreen());
}

TEST_F(WidgetDraw, DialogOnComponentImagesWithHoveredAndPressedButtons) {
  auto canvas = Canvas(320, 150, 0xFF202028);
  auto background = Face(30, 30, 0xFF6080A0, 0xFF304050);
  auto buttonFace = Face(24, 21, 0xFFA0A0A0, 0xFF606060);
  mManager.Resize(320, 150);
  mManager.mImage = canvas.get();
  auto* dialog = new Kit::Dialog(background.get(), buttonFace.get(), 2, false, "TITLE", "body", "", 1);
  dialog->Resize(10, 10, 300, 130);
  // The shared default button colours depend on the dialogs made before; set them here.
  dialog->SetColor(3, Color(255, 255, 255));
  dialog->SetColor(4, Color(255, 200, 0));
  mApp.AddDialog(2, dialog);
  // Hover the yes button, press and hold the no button.
  const Kit::Point no = dialog->mNoButton->GetAbsPos();
  mManager.MouseDown(no.mX + 5, no.mY + 5, 1);
  dialog->mYesButton->mIsOver = true;
  mManager.DrawScreen();
  EXPECT_TRUE(testsupport::MatchesGolden("widget_dialog_component_memory", canvas->GetBits(), 320, 150));
  mManager.MouseUp(no.mX + 5, no.mY + 5, 1);
}

TEST_F(WidgetDraw, ImageButtonInItsStates) {
  auto face = Face(40, 24, 0xFF3060C0, 0xFF80A0E0);
  auto over = Face(40, 24, 0xFFC06030, 0xFFE0A080);
  auto down = Face(40, 24, 0xFF30C060, 0xFF80E0A0);
  auto disabled = Face(40, 24, 0xFF606060, 0xFF909090);
  KitTest::ButtonEvents events;
  Kit::ButtonWidget button(1, &events);
  button.mFaceImage = face.get();
  button.mHoverImage = over.get();
  button.mPressedImage = down.get();
  button.mDisabledImage = disabled.get();
  button.mLabel = "OK";
  button.SetColor(0, Color(255, 255, 255));
  button.SetColor(1, Color(255, 255, 0));
  button.Resize(0, 0, 40, 24);

  struct State {
    bool over, down, disabled, inverted;
    double hoverAlpha;
  };
  const State states[] = {
      {false, false, false, false, 0},    // normal
      {true, false, false, false, 0},     // over
      {true, true, false, false, 0},      // down
      {false, false, true, false, 0},     // disabled
      {false, false, false, false, 0.5},  // fading over image
      {false, false, false, true, 0},     // inverted: drawn pressed
  };
  constexpr int kPanels = 6;
  auto canvas = Canvas(44 * kPanels, 28, 0xFF101010);
  for (int i = 0; i < kPanels; ++i) {
    button.mIsOver = states[i].over;
    button.mIsDown = states[i].down;
    button.mDisabled = states[i].disabled;
    button.mInverted = states[i].inverted;
    button.mHoverAlpha = states[i].hoverAlpha;
    Kit::Graphics g(canvas.get());
    g.Translate(i * 44 + 2, 2);
    g.ClipRect(0, 0, 40, 24);
    button.Draw(&g);
  }
  EXPECT_TRUE(testsupport::MatchesGolden("widget_image_button_states_memory", canvas->GetBits(), 44 * kPanels, 28));
}

TEST_F(WidgetDraw, ButtonFacesFromRectanglesOfOneImage) {
  auto sheet = Face(120, 24, 0xFF3060C0, 0xFF80A0E0);
  // Paint the three thirds differently so each face is recognisable.
  for (int y = 0; y < 24; ++y)
    for (int x = 40; x < 120; ++x) sheet->GetBits()[y * 120 + x] = x < 80 ? 0xFFC06030 : 0xFF30C060;
  sheet->BitsChanged();
  KitTest::ButtonEvents events;
  Kit::ButtonWidget button(1, &events);
  button.mFaceImage = sheet.get();
  button.mFaceRect = Kit::Rect(0, 0, 40, 24);
  button.mHoverRect = Kit::Rect(40, 0, 40, 24);
  button.mPressedRect = Kit::Rect(80, 0, 40, 24);
  button.Resize(0, 0, 40, 24);
  auto canvas = Canvas(40, 24, 0xFF000000);
  Kit::Graphics g(canvas.get());
  button.mIsOver = true;
  button.Draw(&g);
  EXPECT_EQ(Pixel(*canvas, 20, 5), 0xFFC06030u);
  button.mIsDown = true;
  button.Draw(&g);
  EXPECT_EQ(Pixel(*canvas, 20, 5), 0xFF30C060u);
}

TEST_F(WidgetDraw, ImagelessButtonBevelsRaisedAndSunken) {
  KitTest::ButtonEvents events;
  Kit::ButtonWidget button(1, &events);
  button.Resize(0, 0, 20, 10);
  auto canvas = Canvas(20, 10, 0xFF000080);
  Kit::Graphics g(canvas.get());
  button.Draw(&g);
  EXPECT_EQ(Pixel(*canvas, 0, 0), 0xFFFFFFFFu);   // raised: white top left
  EXPECT_EQ(Pixel(*canvas, 19, 9), 0xFF000000u);  // black bottom right
  EXPECT_EQ(Pixel(*canvas, 18, 5), 0xFF848484u);  // grey inner right
  EXPECT_EQ(Pixel(*canvas, 10, 5), 0xFFD4D4D4u);  // face
  button.mIsDown = button.mIsOver = true;
  button.Draw(&g);
  EXPECT_EQ(Pixel(*canvas, 0, 0), 0xFF000000u);
  EXPECT_EQ(Pixel(*canvas, 19, 9), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(*canvas, 1, 5), 0xFF848484u);
  button.mSkipFrame = true;
  auto untouched = Canvas(20, 10, 0xFF000080);
  Kit::Graphics g2(untouched.get());
  button.Draw(&g2);
  EXPECT_EQ(Pixel(*untouched, 10, 5), 0xFF000080u);
}

TEST_F(WidgetDraw, CheckboxDrawnWithoutImages) {
  Kit::Checkbox box(nullptr, nullptr, 1, nullptr);
  box.Resize(0, 0, 12, 12);
  auto canvas = Canvas(12, 12, 0xFF000000);
  Kit::Graphics g(canvas.get());
  box.Draw(&g);
  EXPECT_EQ(Pixel(*canvas, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(*canvas, 5, 5), 0xFF505050u);
  box.SetChecked(true, false);
  box.Draw(&g);
  const std::uint32_t tick = Pixel(*canvas, 5, 5);  // the tick colour, as the line drawing rounds it
  EXPECT_GE((tick >> 16) & 0xFF, 250u);
  EXPECT_GE((tick >> 8) & 0xFF, 250u);
  EXPECT_EQ(tick & 0xFF, 0u);
}

struct OverlayWidget : Kit::Widget {
  OverlayWidget(std::string name, std::vector<std::string>* log) : mName(std::move(name)), mLog(log) {}
  void Draw(Kit::Graphics*) override { mLog->push_back(mName + " draw"); }
  void DrawOverlay(Kit::Graphics*) override { mLog->push_back(mName + " overlay"); }
  std::string mName;
  std::vector<std::string>* mLog;
};

TEST_F(WidgetDraw, DeferredOverlaysDrawInPriorityOrderBeforeHigherWidgets) {
  std::vector<std::string> log;
  auto canvas = Canvas(100, 100, 0xFF000000);
  mManager.mImage = canvas.get();
  OverlayWidget low("low", &log), high("high", &log);
  low.Resize(0, 0, 10, 10);
  high.Resize(20, 0, 10, 10);
  high.mPriority = 5;
  mManager.AddWidget(&low);
  mManager.AddWidget(&high);
  struct Queuer : OverlayWidget {
    using OverlayWidget::OverlayWidget;
    void Draw(Kit::Graphics* g) override {
      OverlayWidget::Draw(g);
      mManager->DeferOverlay(this, 3);
      mManager->DeferOverlay(this, 1);
      mManager->DeferOverlay(this, 9);
    }
  } queuer("q", &log);
  queuer.Resize(40, 0, 10, 10);
  mManager.PutInFront(&low, nullptr);
  mManager.AddWidget(&queuer);
  mManager.PutInFront(&high, nullptr);
  mManager.DrawScreen();
  EXPECT_EQ(log, (std::vector<std::string>{"low draw", "q draw", "q overlay", "q overlay", "high draw", "q overlay"}));
  log.clear();
  EXPECT_FALSE(mManager.DrawScreen());
  EXPECT_TRUE(log.empty());
  mManager.RemoveAllWidgets(false, true);  // before the widgets on the stack go
}

TEST_F(WidgetDraw, InvisibleDirtyWidgetsStayDirtyAndDrawLater) {
  std::vector<std::string> log;
  auto canvas = Canvas(100, 100, 0xFF000000);
  mManager.mImage = canvas.get();
  OverlayWidget hidden("h", &log);
  hidden.Resize(0, 0, 10, 10);
  mManager.AddWidget(&hidden);
  hidden.mVisible = false;
  EXPECT_FALSE(mManager.DrawScreen());
  EXPECT_TRUE(hidden.mDirty);
  hidden.SetVisible(true);
  EXPECT_TRUE(mManager.DrawScreen());
  EXPECT_EQ(log, (std::vector<std::string>{"h draw"}));
  mManager.RemoveAllWidgets(false, true);  // before the widget on the stack goes
}

TEST_F(WidgetDraw, NumbersFromADigitStrip) {
  auto strip = std::make_unique<MemoryImage>();
  strip->Create(30, 4);  // ten digits 3 wide: digit d is grey level d * 20 + 40
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 30; ++x) {
      const std::uint32_t level = (x / 3) * 20 + 40;
      strip->GetBits()[y * 30 + x] = 0xFF000000 | (level << 16) | (level << 8) | level;
    }
  strip->BitsChanged();
  auto canvas = Canvas(20, 4, 0xFF000000);
  Kit::Graphics g(canvas.get());
  Kit::Widget widget;
  widget.WriteNumberFromStrip(&g, 407, 1, 0, strip.get(), 1);
  auto level = [&](int x) { return Pixel(*canvas, x, 1) & 0xFF; };
  EXPECT_EQ(level(1), 4u * 20 + 40);
  EXPECT_EQ(level(3), 4u * 20 + 40);
  EXPECT_EQ(level(4), 0u);  // spacing
  EXPECT_EQ(level(5), 0u * 20 + 40);
  EXPECT_EQ(level(9), 7u * 20 + 40);
  EXPECT_EQ(level(12), 0u);
}

TEST_F(WidgetDraw, CentredLineReportsWhereItDrew) {
  auto canvas = Canvas(100, 20, 0xFF000000);
  Kit::Graphics g(canvas.get());
  KitTest::BlockFont font;
  g.SetFont(&font);
  Kit::Widget widget;
  widget.Resize(0, 0, 100, 20);
  EXPECT_EQ(widget.WriteCenteredLine(&g, 12, "abcd"), Kit::Rect(38, 4, 24, 10));
  EXPECT_EQ(widget.WriteCenteredLineShadowed(&g, 12, "abcd", Color(255, 255, 255), Color(0, 0, 0), Kit::Point(-2, 3)),
            Kit::Rect(36, 4, 26, 13));
}

TEST_F(WidgetDraw, WidgetTextHelpersHonourColourCodesForTheCallOnly) {
  auto canvas = Canvas(60, 12, 0xFF000000);
  Kit::Graphics g(canvas.get());
  KitTest::BlockFont font;
  g.SetFont(&font);
  g.SetColor(Color(255, 255, 255));
  g.mWriteColoredString = false;
  Kit::Widget widget;
  EXPECT_EQ(widget.WriteString(&g, "a^FF0000xb", 0, 10), 12);  // the code is neither drawn nor measured
  EXPECT_FALSE(g.mWriteColoredString);
  EXPECT_EQ(Pixel(*canvas, 1, 5), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(*canvas, 7, 5), 0xFFFF0000u);
}

TEST_F(WidgetDraw, DialogWithoutAnyFaceDrawsItsBoxAndNoText) {
  Kit::SetFallbackFontFactory(nullptr);
  auto canvas = Canvas(200, 100, 0xFF000000);
  mManager.Resize(200, 100);
  mManager.mImage = canvas.get();
  Kit::Dialog* dialog = mApp.NewDialog(1, false, "Header", "Body", "Footer", Kit::kButtonsYesNo);
  EXPECT_EQ(dialog->GetPreferredHeight(200), 48 + 8 + 24);
  dialog->Resize(0, 0, 200, 100);
  mApp.AddDialog(1, dialog);
  EXPECT_TRUE(mManager.DrawScreen());
  EXPECT_EQ(Pixel(*canvas, 50, 50), 0xFF505050u);  // the drawn box's fill
}

}  // namespace
