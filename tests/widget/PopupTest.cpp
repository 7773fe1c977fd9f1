#include <gtest/gtest.h>

#include <string>

#include "platform/ui/dialogs/MessageBox.h"
#include "tests/support/FileContents.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"
#include "tests/widget/WidgetTestSupport.h"

namespace {

// Runs the test inside a fresh folder, as the program runs in its own.
class InFolder {
 public:
  std::string Read(const std::string& name) const { return testsupport::ReadFileContents(mDir / name); }

 private:
  testsupport::TempDir mDir;
  testsupport::ScopedCurrentFolder mInDir{mDir.Path()};
};

TEST(Popups, MessageBoxShowsOverTheMainWindowAndReturnsTheAnswer) {
  plat::ScopedMessageBoxScript script({IDNO});
  KitTest::ScriptedApp app;
  EXPECT_EQ(app.MsgBox("Keep going?", "Question", MB_YESNO), IDNO);
  const auto shown = script.Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Keep going?");
  EXPECT_EQ(shown[0].caption, "Question");
  EXPECT_EQ(shown[0].type, MB_YESNO);
}

TEST(Popups, FatalErrorBoxHasItsCaptionAndIconUnlessQuitting) {
  plat::ScopedMessageBoxScript script;
  KitTest::ScriptedApp app;
  app.Popup("Out of memory");
  app.mQuit = true;
  app.Popup("Not shown");
  const auto shown = script.Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, "FATAL ERROR");
  EXPECT_EQ(shown[0].type & MB_ICONERROR, MB_ICONERROR);
}

TEST(Popups, EndingAPopupForgetsHeldKeysAndButtons) {
  plat::ScopedMessageBoxScript script;
  KitTest::ScriptedApp app;
  std::vector<std::string> log;
  KitTest::RecordingWidget widget("w", &log);
  widget.Resize(0, 0, 100, 100);
  app.mWidgetManager->AddWidget(&widget);
  app.mWidgetManager->KeyDown(65);
  app.mWidgetManager->MouseDown(10, 10, 1);
  app.BeginPopup();
  EXPECT_FALSE(app.mPopupActive) << "a windowed popup never marks itself active";
  app.EndPopup();
  app.mWindowedInUse = false;
  app.BeginPopup();
  EXPECT_TRUE(app.mPopupActive);
  app.EndPopup();
  EXPECT_FALSE(app.mPopupActive);
  EXPECT_FALSE(app.mWidgetManager->mKeyDownTable[65]);
  EXPECT_EQ(app.mWidgetManager->mLastDownWidget, nullptr);
  EXPECT_EQ(log.back(), "w up 10,10 b0 c1");
  app.mWidgetManager->RemoveWidget(&widget);
}

TEST(Popups, ScreenSaverLogsInsteadOfShowingBoxes) {
  InFolder folder;
  plat::ScopedMessageBoxScript script;
  KitTest::ScriptedApp app;
  app.mIsScreenSaver = true;
  EXPECT_EQ(app.MsgBox("first", "Caption", MB_YESNO), IDOK);
  app.Popup("second");
  EXPECT_TRUE(script.Shown().empty());
  const std::string log = folder.Read("ScrError.txt");
  EXPECT_EQ(log.rfind("first ", 0), 0u);
  EXPECT_NE(log.find("\nsecond "), std::string::npos);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);

  KitTest::ScriptedApp nextRun;  // a new run starts the file afresh
  nextRun.LogScreenSaverError("third");
  EXPECT_EQ(folder.Read("ScrError.txt").rfind("third ", 0), 0u);
}

}  // namespace
