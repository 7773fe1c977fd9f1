// Widgets that record what the toolkit tells them, and an application whose loop takes scripted input.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/widget/ButtonListener.h"
#include "framework/widget/FallbackFont.h"
#include "framework/widget/Widget.h"
#include "framework/widget/WidgetManager.h"
#include "tests/widget/BlockFont.h"

namespace KitTest {

// Appends one line per event to a shared log, so a test can check order across widgets.
class RecordingWidget : public Kit::Widget {
 public:
  RecordingWidget(std::string name, std::vector<std::string>* log) : mName(std::move(name)), mLog(log) {}

  void Update() override {
    Widget::Update();
    if (mOnUpdate) mOnUpdate();
  }
  void MouseEnter() override { Log("enter"); }
  void MouseLeave() override { Log("leave"); }
  void MouseMove(int x, int y) override { Log("move " + Pos(x, y)); }
  void MouseDownButton(int x, int y, int button, int count) override {
    Log("down " + Pos(x, y) + " b" + std::to_string(button) + " c" + std::to_string(count));
  }
  void MouseUpButton(int x, int y, int button, int count) override {
    Log("up " + Pos(x, y) + " b" + std::to_string(button) + " c" + std::to_string(count));
  }
  void MouseDrag(int x, int y) override { Log("drag " + Pos(x, y)); }
  void MouseWheel(int delta) override { Log("wheel " + std::to_string(delta)); }
  void KeyChar(char c) override { Log(std::string("char ") + c); }
  void KeyDown(int key) override {
    Log("keydown " + std::to_string(key));
    Widget::KeyDown(key);
  }
  void KeyUp(int key) override { Log("keyup " + std::to_string(key)); }
  void GotFocus() override {
    Widget::GotFocus();
    Log("gotfocus");
  }
  void LostFocus() override {
    Widget::LostFocus();
    Log("lostfocus");
  }
  void Draw(Kit::Graphics*) override { Log("draw"); }

  std::function<void()> mOnUpdate;

 private:
  static std::string Pos(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
  void Log(const std::string& what) { mLog->push_back(mName + " " + what); }

  std::string mName;
  std::vector<std::string>* mLog;
};

struct ButtonEvents : Kit::ButtonListener {
  void ButtonPressCount(int id, int clickCount) override {
    log.push_back("presscount " + std::to_string(id) + " " + std::to_string(clickCount));
    ButtonListener::ButtonPressCount(id, clickCount);
  }
  void ButtonPress(int id) override { log.push_back("press " + std::to_string(id)); }
  void ButtonDepress(int id) override { log.push_back("depress " + std::to_string(id)); }
  void ButtonDownTick(int id) override { log.push_back("tick " + std::to_string(id)); }
  void ButtonMouseEnter(int id) override { log.push_back("enter " + std::to_string(id)); }
  void ButtonMouseLeave(int id) override { log.push_back("leave " + std::to_string(id)); }
  std::vector<std::string> log;
};

// An application whose queued input is a list of actions on the widget manager, handled one per step
// as the real window procedure's queue is.
class ScriptedApp : public Kit::KitAppBase {
 public:
  ScriptedApp() {
    mWidth = 800;
    mHeight = 600;
    mWidgetManager->Resize(800, 600);
  }
  bool ProcessDeferredMessages() override {
    if (mInput.empty()) return false;
    auto action = mInput.front();
    mInput.erase(mInput.begin());
    action(*mWidgetManager);
    return true;
  }
  void ButtonPress(int id) override { mButtonLog.push_back("press " + std::to_string(id)); }
  void ButtonDepress(int id) override {
    mButtonLog.push_back("depress " + std::to_string(id));
    if (mOnDepress) mOnDepress(id);
  }
  void ModalOpen() override { ++mModalOpens; }
  void ModalClose() override { ++mModalCloses; }
  void EnforceCursor() override { mCursorHistory.push_back(mCursorNum); }

  // A full click at (x, y) as two queued records.
  void QueueClick(int x, int y) {
    mInput.push_back([=](Kit::WidgetManager& m) { m.MouseDown(x, y, 1); });
    mInput.push_back([=](Kit::WidgetManager& m) { m.MouseUp(x, y, 1); });
  }

  std::vector<std::function<void(Kit::WidgetManager&)>> mInput;
  std::vector<std::string> mButtonLog;
  std::function<void(int)> mOnDepress;
  std::vector<int> mCursorHistory;
  int mModalOpens = 0;
  int mModalCloses = 0;
};

// A scripted application's widget manager with the block font as the system face, and recording
// widgets made for the test. The widgets leave the manager before the derived fixture's members go.
class WidgetFixture : public ::testing::Test {
 protected:
  WidgetFixture() : mManager(*mApp.mWidgetManager) { Kit::SetFallbackFontFactory(MakeBlockFont); }
  void TearDown() override { mManager.RemoveAllWidgets(false, true); }
  ~WidgetFixture() override { Kit::SetFallbackFontFactory(mSavedFactory); }

  RecordingWidget* Make(const std::string& name, int x, int y, int w, int h) {
    mWidgets.push_back(std::make_unique<RecordingWidget>(name, &mLog));
    mWidgets.back()->Resize(x, y, w, h);
    return mWidgets.back().get();
  }
  RecordingWidget* Add(const std::string& name, int x, int y, int w, int h) {
    RecordingWidget* widget = Make(name, x, y, w, h);
    mManager.AddWidget(widget);
    return widget;
  }
  std::vector<std::string> Take() { return std::exchange(mLog, {}); }

  ScriptedApp mApp;
  Kit::WidgetManager& mManager;
  Kit::FallbackFontFactory mSavedFactory = Kit::GetFallbackFontFactory();
  std::vector<std::string> mLog;
  std::vector<std::unique_ptr<RecordingWidget>> mWidgets;
};

}  // namespace KitTest
