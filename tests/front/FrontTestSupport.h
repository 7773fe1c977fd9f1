// The front end's test bench: the game's application with scripted input (which answers the dialogs'
// nested waits), a fresh player's folder for each test, the block font as every font of the game, a
// clean global profile store, and builders for the bytes of the player and score files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "framework/widget/Dialog.h"
#include "framework/widget/DialogButton.h"
#include "framework/widget/FallbackFont.h"
#include "framework/widget/WidgetManager.h"
#include "game/front/ProfileStore.h"
#include "game/play/GameApp.h"
#include "game/play/ResourceIds.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/files/PathMap.h"
#include "tests/support/FileContents.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"
#include "tests/support/WholeGame.h"
#include "tests/widget/BlockFont.h"

namespace FrontTest {

// A little-endian int32 and a length-prefixed string, as the files hold them.
inline std::string Long(std::int32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
  return bytes;
}
inline std::string Str(const std::string& text) {
  return std::string{static_cast<char>(text.size() & 0xFF), static_cast<char>((text.size() >> 8) & 0xFF)} + text;
}
inline std::string ProfileBytes(const std::string& name, const std::string& progress, const std::string& current,
                                std::int32_t scene = 0, std::int32_t level = 0, std::int32_t score = 0,
                                std::int32_t lives = 0) {
  return Str(name) + Str(progress) + Str(current) + Long(scene) + Long(level) + Long(score) + Long(lives);
}

// The game's application whose queued input is a script of actions, one per loop step, as the real
// window procedure's queue is handled: a dialog's nested wait takes its answer from the script. A wait
// that outlives the script fails the test and is ended by closing the waiting dialog, never hangs.
class FrontApp : public GameApp {
 public:
  using Action = std::function<void()>;

  FrontApp() { mWidgetManager->Resize(mWidth, mHeight); }
  bool ProcessDeferredMessages() override {
    if (mInput.empty()) return EndUnansweredWait();
    Action action = std::move(mInput.front());
    mInput.erase(mInput.begin());
    action();
    return true;
  }
  void EnforceCursor() override {}

  // A full click (press and release, as two queued records) on the middle of whatever the target
  // names when the click is due.
  void QueueClickOn(std::function<Kit::Widget*()> target) {
    mInput.push_back([this, target] { ClickAt(target, true); });
    mInput.push_back([this, target] { ClickAt(target, false); });
  }
  // Answers the dialog of that id with one of its own buttons (kIdYes / kIdOk or kIdNo), noting the
  // text it showed.
  void QueueAnswer(int dialogId, int buttonId) {
    mInput.push_back([this, dialogId] {
      if (Kit::Dialog* dialog = GetDialog(dialogId)) mShownTexts.push_back(dialog->mBodyText);
    });
    QueueClickOn([this, dialogId, buttonId]() -> Kit::Widget* {
      Kit::Dialog* dialog = GetDialog(dialogId);
      if (dialog == nullptr) return nullptr;
      if (buttonId == Kit::kIdNo) return dialog->mNoButton;
      return dialog->mYesButton;
    });
  }

  std::vector<Action> mInput;
  std::vector<std::string> mShownTexts;  // the texts of the dialogs the script answered

 private:
  void ClickAt(const std::function<Kit::Widget*()>& target, bool press) {
    Kit::Widget* widget = target();
    if (widget == nullptr) {
      if (press) ADD_FAILURE() << "the scripted click found nothing to press";
      return;
    }
    const int x = widget->mX + widget->mWidth / 2, y = widget->mY + widget->mHeight / 2;
    mWidgetManager->MouseMoveEntry(x, y);
    press ? mWidgetManager->MouseDown(x, y, 1) : mWidgetManager->MouseUp(x, y, 1);
  }
  bool EndUnansweredWait() {
    for (Kit::Widget* waiting : mWaitingWidgets) {
      if (auto* dialog = dynamic_cast<Kit::Dialog*>(waiting); dialog != nullptr && GetDialog(dialog->mId) == dialog) {
        ADD_FAILURE() << "dialog " << dialog->mId << " (\"" << dialog->mBodyText << "\") waited without an answer";
        KillDialog(dialog->mId);
        return true;
      }
    }
    return false;
  }
};

class FrontFixture : public ::testing::Test {
 protected:
  FrontFixture() {
    mSavedFactory = Kit::GetFallbackFontFactory();
    Kit::SetFallbackFontFactory(KitTest::MakeBlockFont);
    testsupport::ResetGameObjects();
    setenv("XDG_DATA_HOME", mFolder.Path().c_str(), 1);  // where player files may be mapped
    for (Kit::Font** font : {&FONT_DEFAULT, &FONT_ARIAL, &FONT_ARIAL12, &FONT_ARIAL13}) *font = &mFont;
  }
  void TearDown() override { mApp.mWidgetManager->RemoveAllWidgets(false, true); }
  ~FrontFixture() override {
    testsupport::ResetGameObjects();
    Kit::SetFallbackFontFactory(mSavedFactory);
  }

  // The players' names in the store's order.
  static std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& profile : gProfileStore.mProfiles) names.push_back(profile->mName);
    return names;
  }
  // Where a program path lands, and what is there.
  static std::string RealPath(const std::string& programPath) { return plat::MapPath(programPath); }
  static std::string Contents(const std::string& programPath) {
    return testsupport::ReadFileContents(RealPath(programPath));
  }
  static void Put(const std::string& programPath, const std::string& bytes) {
    const std::filesystem::path path = RealPath(programPath);
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static bool Exists(const std::string& programPath) { return std::filesystem::exists(RealPath(programPath)); }

  testsupport::TempDir mFolder;
  testsupport::ScopedCurrentFolder mInFolder{mFolder.Path()};
  plat::ScopedMessageBoxScript mMessageBoxes;
  KitTest::BlockFont mFont;  // every text font of the game: 6 pixels a character, 10 high
  FrontApp mApp;
  Kit::FallbackFontFactory mSavedFactory = nullptr;
};

}  // namespace FrontTest
