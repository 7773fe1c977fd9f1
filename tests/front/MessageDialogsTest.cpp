// The message and confirm boxes: where they stand, how tall a long text makes them, what an answer
// returns, and a wait that survives the widget tree changing under a suspended update walk.
#include "game/front/MessageDialogs.h"

#include "framework/widget/Dialog.h"
#include "tests/front/FrontTestSupport.h"
#include "tests/widget/WidgetTestSupport.h"

namespace {

class MessageDialogsTest : public FrontTest::FrontFixture {
 protected:
  // The box's rectangle while it waits, noted by the script before it answers.
  void QueueNoteBox() {
    mApp.mInput.push_back([this] {
      if (Kit::Dialog* box = mApp.GetDialog(kMessageDialogId)) mBox = box->GetRect();
    });
  }
  Kit::Rect mBox;
};

struct Placement {
  const char* what;
  std::string text;
  bool confirm;
  int screenWidth, screenHeight;
  Kit::Rect box;
};

TEST_F(MessageDialogsTest, BoxesStandWhereTheirCallersExpectAndGrowWithTheirText) {
  const std::string oneLine = "Short text.";  // 66 pixels in the block font
  const std::string twoLines(43, 'w');        // 258 pixels: one line of 254 pixels more
  const std::vector<Placement> cases = {
      {"message", oneLine, false, 0, 0, {150, 225, 300, 150}},
      {"message, long", twoLines, false, 0, 0, {150, 220, 300, 160}},
      {"in-game menu's question", oneLine, true, 800, 600, {250, 168, 300, 150}},
      {"main menu's question", oneLine, true, 600, 600, {150, 168, 300, 150}},
  };
  for (const Placement& c : cases) {
    QueueNoteBox();
    mApp.QueueAnswer(kMessageDialogId, Kit::ID_YES);
    if (c.confirm)
      ShowConfirmDialog(&mApp, 0, c.text, c.screenWidth, c.screenHeight);
    else
      ShowMessageDialog(&mApp, nullptr, c.text, 0);
    EXPECT_EQ(mBox, c.box) << c.what;
    EXPECT_EQ(mApp.GetDialog(kMessageDialogId), nullptr) << c.what << ": gone once answered";
  }
}

TEST_F(MessageDialogsTest, OnlyAYesConfirms) {
  mApp.QueueAnswer(kMessageDialogId, Kit::ID_YES);
  EXPECT_TRUE(ShowConfirmDialog(&mApp, 0, "Quit to windows ?", 600, 600));
  mApp.QueueAnswer(kMessageDialogId, Kit::ID_NO);
  EXPECT_FALSE(ShowConfirmDialog(&mApp, 0, "Quit to windows ?", 600, 600));
  mApp.mInput.push_back([this] { mApp.KillDialog(kMessageDialogId); });
  EXPECT_FALSE(ShowConfirmDialog(&mApp, 0, "Quit to windows ?", 600, 600)) << "a box closed without an answer";
  EXPECT_FALSE(ShowConfirmDialog(nullptr, 0, "no application", 800, 600));
  EXPECT_EQ(mApp.mShownTexts, (std::vector<std::string>{"Quit to windows ?", "Quit to windows ?"}));
}

TEST_F(MessageDialogsTest, AWaitInsideAnUpdateWalkSurvivesWidgetsComingAndGoing) {
  std::vector<std::string> log;
  KitTest::RecordingWidget asker("asker", &log), leaver("leaver", &log), stayer("stayer", &log),
      newcomer("newcomer", &log);
  int leaverUpdates = 0, stayerUpdates = 0, newcomerUpdates = 0;
  leaver.mOnUpdate = [&] { ++leaverUpdates; };
  stayer.mOnUpdate = [&] { ++stayerUpdates; };
  newcomer.mOnUpdate = [&] { ++newcomerUpdates; };
  bool answer = false, asked = false;
  asker.mOnUpdate = [&] {
    if (std::exchange(asked, true)) return;
    answer = ShowConfirmDialog(&mApp, 0, "Return to main menu ?", 800, 600);
  };
  for (Kit::Widget* widget : {&asker, &leaver, &stayer}) mApp.mWidgetManager->AddWidget(widget);
  // While the walk that reached the asker is suspended in the wait, its siblings change.
  mApp.mInput.push_back([&] { mApp.mWidgetManager->RemoveWidget(&leaver); });
  mApp.mInput.push_back([&] { mApp.mWidgetManager->AddWidget(&newcomer); });
  mApp.QueueAnswer(kMessageDialogId, Kit::ID_YES);
  mApp.mWidgetManager->UpdateFrame();
  EXPECT_TRUE(answer);
  const int leaverBefore = leaverUpdates, stayerBefore = stayerUpdates, newcomerBefore = newcomerUpdates;
  mApp.mWidgetManager->UpdateFrame();
  EXPECT_EQ(leaverUpdates, leaverBefore) << "a removed widget is not walked again";
  EXPECT_EQ(stayerUpdates, stayerBefore + 1);
  EXPECT_EQ(newcomerUpdates, newcomerBefore + 1);
}

}  // namespace
