// A small application recorded while a script plays the user, then played back from its demo file:
// every update, widget event and picture must come back tick for tick, although the replay has no
// user, another registry and no data file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "framework/graphics/Graphics.h"
#include "framework/util/Buffer.h"
#include "framework/widget/Dialog.h"
#include "framework/widget/DialogButton.h"
#include "framework/widget/Widget.h"
#include "framework/widget/WidgetManager.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/input/InputInjector.h"
#include "platform/win/process/Process.h"
#include "platform/win/registry/RegistryStore.h"
#include "platform/win/threads/Threads.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/TempDir.h"
#include "tests/support/WidgetTreeHash.h"

namespace {

constexpr int kDialogId = 7;

std::string gDataFile;

// What a run saw: one line per logged event ("@<update count> <event>") and the hash of the widget
// tree drawn at the end of each tick.
struct Trace {
  int mUpdateCount = 0;
  std::vector<std::string> mEvents;
  std::vector<std::uint64_t> mFrameHashes;
};

// The screen: logs the user's input, opens a dialog on D, and draws a box at the mouse and one at a
// position the C runtime's generator picks every tick.
class TraceScreen : public Kit::Widget {
 public:
  TraceScreen(Kit::KitAppBase& app, Trace& trace) : mApp(app), mTrace(trace) {}

  void Log(const std::string& event) {
    mTrace.mEvents.push_back("@" + std::to_string(mApp.mUpdateCount) + " " + event);
  }
  void Update() override {
    Widget::Update();
    mRandomX = std::rand() % 300;
    MarkDirty();
  }
  void Draw(Kit::Graphics* g) override {
    g->SetColor(Kit::Color(0, 0, 80));
    g->FillRect(0, 0, mWidth, mHeight);
    g->SetColor(Kit::Color(255, 255, 0));
    g->FillRect(mMouseX - 2, mMouseY - 2, 5, 5);
    g->SetColor(Kit::Color(255, 0, 0));
    g->FillRect(mRandomX, 200, 10, 10);
  }
  void MouseMove(int x, int y) override {
    Widget::MouseMove(x, y);
    mMouseX = x;
    mMouseY = y;
    Log("move " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseDown(int x, int y, int clickCount) override {
    Log("down " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(clickCount));
  }
  void MouseUp(int x, int y, int clickCount) override {
    Log("up " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(clickCount));
  }
  void KeyDown(int key) override {
    Log("key " + std::to_string(key));
    if (key == 'D') mApp.DoDialog(kDialogId, true, "Save", "Keep the score?", "", Kit::kButtonsYesNo);
  }
  void KeyChar(char c) override { Log(std::string("char ") + c); }

  int mMouseX = 0;
  int mMouseY = 0;
  int mRandomX = 0;

 private:
  Kit::KitAppBase& mApp;
  Trace& mTrace;
};

// A windowed application without sound whose every tick is traced; it ends itself after 200 ticks.
// While recording, mScript injects the user's input after every tick.
class TraceApp : public testsupport::HeadlessApp {
 public:
  TraceApp() : HeadlessApp("DemoTrace"), mScreen(*this, mTrace) {
    mTitle = "DemoTrace";
    mProductVersion = "1.0";
    // The recording or playback is chosen by the test, not by the test program's own arguments.
    mCmdLineParsed = true;
    mRegKey = "DemoTraceTest";
  }
  ~TraceApp() override {
    if (mScreen.mParent != nullptr) mWidgetManager->RemoveWidget(&mScreen);
  }
  void LoadingThreadCompleted() override {
    mScreen.Log("loaded");
    Kit::Buffer level;
    mScreen.Log(ReadBufferFromFile(gDataFile, &level) ? "level " + level.ReadString() : "no level");
    mScreen.Resize(0, 0, mWidth, mHeight);
    mWidgetManager->AddWidget(&mScreen);
    mWidgetManager->SetFocus(&mScreen);
  }
  void UpdateFrames() override {
    KitAppBase::UpdateFrames();
    mTrace.mUpdateCount = mUpdateCount;
    mTrace.mFrameHashes.push_back(testsupport::HashWidgetTree(*this));
    if (mScript && mRecordingDemoBuffer) mScript(*this, mUpdateCount);
    if (mUpdateCount >= 200) Shutdown();
  }
  void DialogButtonDepress(int dialogId, int buttonId) override {
    mScreen.Log("dialog " + std::to_string(dialogId) + " button " + std::to_string(buttonId));
    mScreen.Log(RegistryWriteInteger("Saved", 1) ? "saved" : "not saved");
    KillDialog(dialogId);
  }

  // The trace of one whole run (Init, Start, destruction; a recording's file is written when the
  // application is destroyed).
  static Trace Run(const std::string& demoPath, std::function<void(TraceApp&, int tick)> script = nullptr) {
    TraceApp app;
    app.mScript = std::move(script);
    app.mDemoFileName = demoPath;
    app.mRecordingDemoBuffer = app.mScript != nullptr;
    app.mPlayingDemoBuffer = app.mScript == nullptr;
    app.Init();
    app.Start();
    return app.mTrace;
  }

  Trace mTrace;
  TraceScreen mScreen;
  std::function<void(TraceApp&, int tick)> mScript;
};

class Replay : public testsupport::AppFixture {
 protected:
  Replay() {
    Kit::Buffer level;
    level.WriteString("one");
    gDataFile = mScope.Write("level.dat", std::string(reinterpret_cast<const char*>(level.GetDataPtr()),
                                                      static_cast<std::size_t>(level.GetDataLen())));
  }
};

TEST_F(Replay, AScriptedRunReplaysTickForTick) {
  const std::string demo = mScope / "run.dmo";
  Trace recorded;
  {
    plat::ScopedRegistryFile registry(mScope / "registry");
    recorded = TraceApp::Run(demo, [](TraceApp& app, int tick) {
      if (tick == 20) plat::inject::MouseMove(60, 50);
      if (tick == 25) plat::inject::MouseMove(200, 150);
      if (tick == 30) {
        plat::inject::MouseButton(1, true, 210, 140);
        plat::inject::MouseButton(1, false, 212, 141);
      }
      if (tick == 40) plat::inject::Text("q");
      if (tick == 45) plat::inject::Tap("D");
      if (tick == 70) {
        if (Kit::Dialog* dialog = app.GetDialog(kDialogId)) {
          const Kit::Widget& yes = *dialog->mYesButton;
          plat::inject::MouseButton(1, true, yes.mX + yes.mWidth / 2, yes.mY + yes.mHeight / 2);
          plat::inject::MouseButton(1, false, yes.mX + yes.mWidth / 2, yes.mY + yes.mHeight / 2);
        }
      }
    });
  }
  ASSERT_TRUE(std::filesystem::exists(demo));
  // The run did what the script asked.
  auto has = [&](const std::string& text) {
    for (const std::string& event : recorded.mEvents)
      if (event.find(text) != std::string::npos) return true;
    return false;
  };
  ASSERT_TRUE(has("level one"));
  ASSERT_TRUE(has("down 210,140 1"));
  ASSERT_TRUE(has("char q"));
  ASSERT_TRUE(has("dialog 7 button 1000"));
  ASSERT_TRUE(has("saved"));

  std::filesystem::remove(gDataFile);
  plat::ScopedRegistryFile otherMachine(mScope / "other-registry");
  const Trace replayed = TraceApp::Run(demo);
  EXPECT_EQ(replayed.mFrameHashes, recorded.mFrameHashes);
  EXPECT_EQ(replayed.mEvents, recorded.mEvents);
  EXPECT_EQ(replayed.mUpdateCount, recorded.mUpdateCount);
}

TEST_F(Replay, ADemoFileThatCannotBePlayedIsShownAndEndsTheProgramAtStart) {
  plat::ScopedMessageBoxScript boxes;
  plat::ScopedExitCatcher exits;
  TraceApp app;
  app.mDemoFileName = mScope / "missing.dmo";
  app.mPlayingDemoBuffer = true;
  try {
    app.Init();
    ADD_FAILURE() << "Init went on without its demo";
  } catch (const plat::ProcessExit& exit) {
    EXPECT_EQ(exit.code, static_cast<UINT>(EXIT_FAILURE));
  }
  EXPECT_FALSE(app.mPlayingDemoBuffer);
  const auto shown = boxes.Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, "FATAL ERROR");
  EXPECT_EQ(shown[0].text, "Demo file not found: " + app.mDemoFileName);
  app.mQuit = true;
}

}  // namespace
