#include <gtest/gtest.h>

#include <sstream>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "framework/graphics/Image.h"
#include "framework/widget/ButtonWidget.h"
#include "framework/widget/Checkbox.h"
#include "framework/widget/DialogButton.h"
#include "tests/widget/BlockFont.h"
#include "tests/widget/WidgetTestSupport.h"

using Log = std::vector<std::string>;

namespace {

class Buttons : public KitTest::WidgetFixture {
 protected:
  Buttons() {
    mButton.Resize(100, 100, 80, 30);
    mManager.AddWidget(&mButton);
  }
  Log Take() { return std::exchange(mEvents.log, {}); }

  KitTest::ButtonEvents mEvents;
  Kit::ButtonWidget mButton{7, &mEvents};
};

// Mouse scripts over the button at (100, 100): "m x y" moves, "d x y n" presses and "u x y n" releases
// with a click count, "t" runs an update, "blur" takes the application's focus, "off" disables it.
struct Clicking {
  const char* name;
  const char* script;
  Log log;
};

void PrintTo(const Clicking& c, std::ostream* out) { *out << c.name; }

class ButtonClicks : public Buttons, public testing::WithParamInterface<Clicking> {};

TEST_P(ButtonClicks, ReportWhatTheButtonHeard) {
  std::istringstream script(GetParam().script);
  for (std::string word; script >> word;) {
    int x = 0, y = 0, n = 0;
    if (word == "m" && script >> x >> y) mManager.MouseMoveEntry(x, y);
    if (word == "d" && script >> x >> y >> n) mManager.MouseDown(x, y, n);
    if (word == "u" && script >> x >> y >> n) mManager.MouseUp(x, y, n);
    if (word == "t") mManager.UpdateFrame();
    if (word == "blur") mManager.mAppHasFocus = false;
    if (word == "off") mButton.SetDisabled(true);
  }
  EXPECT_EQ(Take(), GetParam().log) << GetParam().script;
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, ButtonClicks,
    testing::Values(
        Clicking{"Click",
                 "m 120 110 d 120 110 1 t u 120 110 1",
                 {"enter 7", "presscount 7 1", "press 7", "tick 7", "depress 7"}},
        // Held but not over, so no tick, and no depress.
        Clicking{"DraggedOff",
                 "m 120 110 d 120 110 1 m 10 10 t u 10 10 1",
                 {"enter 7", "presscount 7 1", "press 7", "leave 7"}},
        Clicking{"DraggedOffAndBack",
                 "d 120 110 1 m 10 10 m 121 111 u 121 111 1",
                 {"enter 7", "presscount 7 1", "press 7", "leave 7", "enter 7", "depress 7"}},
        Clicking{"FocusLostWhileHeld", "d 120 110 1 blur u 120 110 1", {"enter 7", "presscount 7 1", "press 7"}},
        Clicking{"OtherClickCounts",
                 "d 120 110 2 u 120 110 2 d 120 110 -1 u 120 110 -1",
                 {"enter 7", "presscount 7 2", "press 7", "depress 7", "presscount 7 -1", "press 7", "depress 7"}},
        Clicking{"Disabled", "off d 120 110 1 u 120 110 1", {}}),
    testing::PrintToStringParamName());

TEST_F(Buttons, OverImageFadesOutOverTenUpdates) {
  Kit::Image over;
  mButton.mHoverImage = &over;
  mButton.mHoverFadeOutStep = 0.1;
  mManager.MouseMoveEntry(120, 110);
  mManager.MouseMoveEntry(10, 10);
  EXPECT_DOUBLE_EQ(mButton.mHoverAlpha, 1.0);
  int marks = 0;
  for (int i = 0; i < 12; ++i) {
    mButton.mDirty = false;
    mManager.UpdateFrame();
    if (mButton.mDirty) ++marks;
  }
  EXPECT_EQ(mButton.mHoverAlpha, 0.0);
  EXPECT_GE(marks, 10);
  EXPECT_LE(marks, 11);
}

TEST_F(Buttons, OverImageFadesInWhileHovered) {
  Kit::Image over;
  mButton.mHoverImage = &over;
  mButton.mHoverFadeInStep = 0.25;
  mManager.MouseMoveEntry(120, 110);
  for (int i = 0; i < 3; ++i) mManager.UpdateFrame();
  EXPECT_DOUBLE_EQ(mButton.mHoverAlpha, 0.75);
  for (int i = 0; i < 3; ++i) mManager.UpdateFrame();
  EXPECT_DOUBLE_EQ(mButton.mHoverAlpha, 1.0);
}

TEST_F(Buttons, ImagelessButtonWithOneLabelColourDoesNotRedrawOnHover) {
  mButton.mDirty = false;
  mManager.MouseMoveEntry(120, 110);
  EXPECT_FALSE(mButton.mDirty);
  mButton.SetColor(1, Kit::Color(255, 0, 0));
  mButton.mDirty = false;
  mManager.MouseMoveEntry(10, 10);
  EXPECT_TRUE(mButton.mDirty);
}

TEST_F(Buttons, DialogButtonShowsTheHandCursorWhileHovered) {
  Kit::DialogButton button(nullptr, 3, &mEvents);
  button.Resize(300, 300, 50, 20);
  mManager.AddWidget(&button);
  mManager.MouseMoveEntry(310, 310);
  mManager.MouseMoveEntry(10, 10);
  EXPECT_EQ(mApp.mCursorHistory, (std::vector<int>{Kit::CURSOR_HAND, Kit::CURSOR_POINTER}));
  EXPECT_EQ(button.GetColorRef(0), Kit::Color(255, 255, 255));
  mManager.RemoveWidget(&button);
}

struct CheckEvents : CheckboxListener {
  void CheckboxChecked(int id, bool checked) override { log.push_back(std::to_string(id) + (checked ? "+" : "-")); }
  std::vector<std::string> log;
};

TEST_F(Buttons, CheckboxTogglesOnEveryButton) {
  CheckEvents events;
  Kit::Checkbox box(nullptr, nullptr, 4, &events);
  box.Resize(0, 0, 20, 20);
  mManager.AddWidget(&box);
  for (int clickCount : {1, -1, 3}) {
    mManager.MouseDown(5, 5, clickCount);
    mManager.MouseUp(5, 5, clickCount);
  }
  EXPECT_EQ(events.log, (std::vector<std::string>{"4+", "4-", "4+"}));
  EXPECT_TRUE(box.IsChecked());
  box.SetChecked(false, false);
  EXPECT_EQ(events.log.size(), 3u);
  box.SetChecked(true, true);
  EXPECT_EQ(events.log.back(), "4+");
  mManager.RemoveWidget(&box);
}

TEST_F(Buttons, CheckboxWithoutListenerSimplyToggles) {
  Kit::Checkbox box(nullptr, nullptr, 4, nullptr);
  box.Resize(0, 0, 20, 20);
  mManager.AddWidget(&box);
  mManager.MouseDown(5, 5, 1);
  mManager.MouseUp(5, 5, 1);
  EXPECT_TRUE(box.IsChecked());
  mManager.RemoveWidget(&box);
}

}  // namespace
