// The message and confirm boxes: where they stand, how tall a long text makes them and what an answer
// returns.
#include "game/front/MessageDialogs.h"

#include "framework/widget/Dialog.h"
#include "tests/front/FrontTestSupport.h"

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
    mApp.QueueAnswer(kMessageDialogId, Kit::kIdYes);
    if (c.confirm)
      ShowConfirmDialog(&mApp, 0, c.text, c.screenWidth, c.screenHeight);
    else
      ShowMessageDialog(&mApp, nullptr, c.text, 0);
    EXPECT_EQ(mBox, c.box) << c.what;
    EXPECT_EQ(mApp.GetDialog(kMessageDialogId), nullptr) << c.what << ": gone once answered";
  }
}

TEST_F(MessageDialogsTest, OnlyAYesConfirms) {
  mApp.QueueAnswer(kMessageDialogId, Kit::kIdYes);
  EXPECT_TRUE(ShowConfirmDialog(&mApp, 0, "Quit to windows ?", 600, 600));
  mApp.QueueAnswer(kMessageDialogId, Kit::kIdNo);
  EXPECT_FALSE(ShowConfirmDialog(&mApp, 0, "Quit to windows ?", 600, 600));
  mApp.mInput.push_back([this] { mApp.KillDialog(kMessageDialogId); });
  EXPECT_FALSE(ShowConfirmDialog(&mApp, 0, "Quit to windows ?", 600, 600)) << "a box closed without an answer";
  EXPECT_FALSE(ShowConfirmDialog(nullptr, 0, "no application", 800, 600));
  EXPECT_EQ(mApp.mShownTexts, (std::vector<std::string>{"Quit to windows ?", "Quit to windows ?"}));
}

}  // namespace
