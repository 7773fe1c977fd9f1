// Every developer tool used once in a running program, by its keys, and then the program quits: the
// application's destruction reaches every image it owns (the overlays' among them) while the set of
// its images still stands. The sanitizer build tells a late image at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/widget/Widget.h"
#include "framework/widget/WidgetManager.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/input/InputInjector.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"

namespace {

// Keys pressed together: the modifiers held while the key is tapped.
struct Chord {
  std::vector<const char*> held;
  const char* key;
};
using Step = std::vector<Chord>;

const std::vector<Step> kEveryTool = {
    {{{"Left Ctrl", "Left Alt"}, "D"}},                // the developer keys on
    {{{}, "F2"}},                                      // the profiler runs
    {{{}, "F2"}},                                      // and reports
    {{{}, "F3"}},                                      // the frame-rate overlay
    {{{"Left Shift"}, "F3"}},                          // the mouse-position overlay
    {{{}, "F3"}},                                      // overlays off
    {{{}, "F8"}},                                      // video statistics
    {{{"Left Shift"}, "F8"}},                          // the 3D switch
    {{{}, "F10"}, {{"Left Shift"}, "F10"}},            // pause and on again (no update runs while paused)
    {{{"Left Ctrl"}, "F10"}, {{"Left Ctrl"}, "F10"}},  // slow motion, and back
    {{{}, "F11"}},                                     // a screenshot
    {{{"Left Shift"}, "F11"}},                         // the image dump
    {{{"Left Alt"}, "R"}},                             // the tweakable constants read again
};

void Press(const Step& step) {
  for (const Chord& chord : step) {
    for (const char* key : chord.held) plat::inject::Key(key, true);
    plat::inject::Tap(chord.key);
    for (auto key = chord.held.rbegin(); key != chord.held.rend(); ++key) plat::inject::Key(*key, false);
  }
}

// A screen that draws every frame and presses the next keys every few ticks, then quits.
class ToolScreen : public Kit::Widget {
 public:
  static constexpr int kTicksPerStep = 20;

  void Update() override {
    Widget::Update();
    MarkDirty();
    if (++mTicks % kTicksPerStep != 0) return;
    const auto step = static_cast<std::size_t>(mTicks / kTicksPerStep) - 1;
    if (step < kEveryTool.size())
      Press(kEveryTool[step]);
    else
      Kit::gKitApp->Shutdown();
  }
  void Draw(Kit::Graphics* g) override {
    g->SetColor(Kit::Color(0, 0, 255));
    g->FillRect(0, 0, mWidth, mHeight);
  }

  int mTicks = 0;
};

class ToolsApp : public testsupport::HeadlessApp {
 public:
  ToolsApp() : HeadlessApp("ToolsThenQuit") {}
  ~ToolsApp() override {
    if (mScreen.mParent != nullptr) mWidgetManager->RemoveWidget(&mScreen);
  }
  void LoadingThreadCompleted() override {
    mScreen.Resize(0, 0, mWidth, mHeight);
    mWidgetManager->AddWidget(&mScreen);
    mWidgetManager->SetFocus(&mScreen);
  }
  void ShutdownHook() override { mOverlaysMade = mDebugOverlays != nullptr; }

  ToolScreen mScreen;
  bool mOverlaysMade = false;
};

using ToolsThenQuit = testsupport::AppFixture;

TEST_F(ToolsThenQuit, EveryDebugToolOnceThenTheProgramEndsCleanly) {
  testsupport::TempDir home;
  testsupport::ScopedCurrentFolder inHome(home.Path());
  plat::ScopedMessageBoxScript boxes;
  bool overlaysMade = false;
  bool debugKeys = false;
  {
    ToolsApp app;
    app.Init();
    ASSERT_TRUE(app.mInitialized);
    app.Start();
    EXPECT_TRUE(app.mQuit);
    overlaysMade = app.mOverlaysMade;
    debugKeys = app.mDebugKeysEnabled;
  }
  EXPECT_TRUE(debugKeys);
  EXPECT_TRUE(overlaysMade);
  std::vector<std::string> captions;
  for (const auto& box : boxes.Shown()) captions.push_back(box.caption);
  for (const char* caption : {"Perf Results", "Video Stats", "Mode Switch"})
    EXPECT_NE(std::find(captions.begin(), captions.end(), caption), captions.end()) << caption;
  EXPECT_EQ(std::find(captions.begin(), captions.end(), "Image Dump"), captions.end()) << "the dump was written";
  EXPECT_TRUE(std::filesystem::exists(home / "_screenshots"));
  EXPECT_TRUE(std::filesystem::exists(home / "_dump"));
}

}  // namespace
