// The dialogs that change players and scores: the name rules of the enter-name dialog, the buttons of
// the player-select dialog, and the high-score table's record and view modes. Every change must be in
// the player's files at once.
#include "framework/widget/EditWidget.h"
#include "framework/widget/ListWidget.h"
#include "game/front/EnterNameDialog.h"
#include "game/front/HighScoreDialog.h"
#include "game/front/MessageDialogs.h"
#include "game/front/PlayerSelectDialog.h"
#include "tests/drawing/DrawingDoubles.h"
#include "tests/front/FrontTestSupport.h"

namespace {

class ProfileDialogsTest : public FrontTest::FrontFixture {
 protected:
  void MakePlayers(const std::vector<std::string>& names, const std::string& current) {
    for (const std::string& name : names) gProfileStore.AddProfile(name);
    gProfileStore.SelectProfile(current);
    if (current.empty() && gProfileStore.mCurrentProfile != nullptr) {
      gProfileStore.mCurrentProfile->mCurrent = kCurrentNo;
      gProfileStore.mCurrentProfile = nullptr;
    }
  }
  // The names in the player file as it is on disk now.
  std::vector<std::string> SavedNames() {
    const std::string bytes = Contents(kPlayerFilePath);
    DecodedProfiles saved = DecodePlayerFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    std::vector<std::string> names;
    for (const auto& profile : saved.mProfiles) names.push_back(profile->mName);
    return names;
  }
  PlayerSelectDialog* OpenPlayerSelect() {
    auto* dialog = new PlayerSelectDialog("Switch Player", "");
    dialog->Resize(165, 138, 270, 283);
    mApp.AddDialog(kPlayerSelectDialogId, dialog);
    return dialog;
  }
  EnterNameDialog* EnterName() { return dynamic_cast<EnterNameDialog*>(mApp.GetDialog(kEnterNameDialogId)); }
  std::string SelectedLine(PlayerSelectDialog* dialog) {
    return dialog->mNameList->GetStringAt(dialog->mNameList->mSelectedRow);
  }
};

struct NameCase {
  const char* what;
  std::vector<std::string> players;
  std::string current;
  int mode;
  std::string typed;
  int button;
  std::string refusal;  // the message shown, "" when the name is taken
  std::vector<std::string> after;
};

TEST_F(ProfileDialogsTest, TheEnterNameDialogRefusesEmptyAndTakenNamesAndAFirstCancel) {
  using D = EnterNameDialog;
  const std::string noName = "Please enter a player name.", taken = "This name already exists.";
  const std::vector<NameCase> cases = {
      {"empty, new player", {}, "", D::kNewPlayer, "", D::kOkButton, noName, {}},
      {"empty, rename", {"ann"}, "ann", D::kRename, "", D::kOkButton, noName, {"ann"}},
      {"taken", {"ann"}, "ann", D::kNewPlayer, "ann", D::kOkButton, taken, {"ann"}},
      {"differs in case only", {"ann"}, "ann", D::kNewPlayer, "Ann", D::kOkButton, "", {"ann", "Ann"}},
      {"renamed to itself", {"ann"}, "ann", D::kRename, "ann", D::kOkButton, taken, {"ann"}},
      {"renamed", {"ann", "bo"}, "bo", D::kRename, "cy", D::kOkButton, "", {"cy", "bo"}},
      {"first player cancelled", {}, "", D::kNewPlayer, "x", D::kCancelButton, noName, {}},
      {"later player cancelled", {"ann"}, "ann", D::kNewPlayer, "x", D::kCancelButton, "", {"ann"}},
  };
  for (const NameCase& c : cases) {
    gProfileStore = ProfileStore();
    std::filesystem::remove(RealPath(kPlayerFilePath));
    MakePlayers(c.players, c.current);
    mApp.mShownTexts.clear();
    EnterNameDialog* dialog = OpenEnterNameDialog(&mApp, c.mode, "ann");
    dialog->mEdit->SetText(c.typed);
    if (!c.refusal.empty()) mApp.QueueAnswer(kMessageDialogId, Kit::kIdOk);
    dialog->ButtonDepress(c.button);
    EXPECT_EQ(Names(), c.after) << c.what;
    EXPECT_EQ(mApp.mShownTexts, c.refusal.empty() ? std::vector<std::string>{} : std::vector{c.refusal}) << c.what;
    EXPECT_EQ(EnterName() != nullptr, !c.refusal.empty()) << c.what << ": open only after a refusal";
    const bool changed = c.after != c.players;
    EXPECT_EQ(Exists(kPlayerFilePath), changed) << c.what;
    if (changed) {
      EXPECT_EQ(SavedNames(), c.after) << c.what;
    }
    mApp.KillDialog(kEnterNameDialogId);
  }
}

TEST_F(ProfileDialogsTest, ANameStopsAtFourteenCharacters) {
  EnterNameDialog* dialog = OpenEnterNameDialog(&mApp, EnterNameDialog::kNewPlayer, "");
  for (int i = 0; i < 15; ++i) mApp.mWidgetManager->KeyChar('a');
  EXPECT_EQ(dialog->mEdit->mText, std::string(kMaxNameLength, 'a'));
}

TEST_F(ProfileDialogsTest, PlayerSelectionOpensOnTheCurrentPlayerAndSavesEveryChange) {
  MakePlayers({"ann", "bo", "cy"}, "bo");
  PlayerSelectDialog* dialog = OpenPlayerSelect();
  EXPECT_EQ(SelectedLine(dialog), "bo");

  dialog->ListLineClicked(PlayerSelectDialog::kNameList, 2, 2);
  EXPECT_EQ(SelectedLine(dialog), "cy") << "a double click only selects";
  EXPECT_EQ(gProfileStore.mCurrentProfile->mName, "bo");
  dialog->ButtonDepress(PlayerSelectDialog::kDeleteButton);
  EXPECT_EQ(SavedNames(), (std::vector<std::string>{"ann", "bo"}));
  EXPECT_EQ(SelectedLine(dialog), "bo") << "the current player stays selected";

  dialog->ListLineClicked(PlayerSelectDialog::kNameList, 1, 1);
  dialog->ButtonDepress(PlayerSelectDialog::kDeleteButton);
  EXPECT_EQ(gProfileStore.mCurrentProfile->mName, "ann") << "the first one left takes over";
  EXPECT_EQ(SelectedLine(dialog), "ann");

  std::filesystem::remove(RealPath(kPlayerFilePath));
  dialog->ButtonDepress(PlayerSelectDialog::kOkButton);
  EXPECT_EQ(SavedNames(), (std::vector<std::string>{"ann"})) << "Ok writes the file even for the same player";
  EXPECT_EQ(mApp.GetDialog(kPlayerSelectDialogId), nullptr);
}

TEST_F(ProfileDialogsTest, RenamingGoesThroughTheNameDialogAndShowsTheNewName) {
  MakePlayers({"ann", "bo"}, "ann");
  PlayerSelectDialog* dialog = OpenPlayerSelect();
  dialog->ListLineClicked(PlayerSelectDialog::kNameList, 1, 1);
  dialog->ButtonDepress(PlayerSelectDialog::kRenameButton);
  ASSERT_NE(EnterName(), nullptr);
  EXPECT_EQ(EnterName()->mEdit->mText, "bo");
  EnterName()->mEdit->SetText("bob");
  EnterName()->ButtonDepress(EnterNameDialog::kOkButton);
  EXPECT_EQ(SavedNames(), (std::vector<std::string>{"ann", "bob"}));
  EXPECT_EQ(SelectedLine(dialog), "bob");
  EXPECT_EQ(EnterName(), nullptr);
  EXPECT_EQ(mApp.GetDialog(kPlayerSelectDialogId), dialog) << "player selection stays open";
}

TEST_F(ProfileDialogsTest, DeletingTheLastPlayerAsksForANewOneWhichClosesBothDialogs) {
  MakePlayers({"ann"}, "ann");
  PlayerSelectDialog* dialog = OpenPlayerSelect();
  dialog->ButtonDepress(PlayerSelectDialog::kDeleteButton);
  ASSERT_NE(EnterName(), nullptr);
  EXPECT_EQ(EnterName()->mMode, EnterNameDialog::kNewPlayer);
  for (int id : {PlayerSelectDialog::kRenameButton, PlayerSelectDialog::kOkButton}) dialog->ButtonDepress(id);
  EXPECT_EQ(mApp.GetDialog(kPlayerSelectDialogId), dialog) << "with no line selected these do nothing";
  EnterName()->mEdit->SetText("zed");
  EnterName()->ButtonDepress(EnterNameDialog::kOkButton);
  EXPECT_EQ(gProfileStore.mCurrentProfile->mName, "zed");
  EXPECT_EQ(EnterName(), nullptr);
  EXPECT_EQ(mApp.GetDialog(kPlayerSelectDialogId), nullptr);
}

TEST_F(ProfileDialogsTest, TheScoreTableRecordsAGameOnceAndHighlightsItOnlyThen) {
  mApp.mScore = 300;
  HighScoreDialog* recorded = OpenHighScoreDialog(&mApp, 205, HighScoreDialog::kRecordMode);
  EXPECT_EQ(Contents(kScoreFilePath), FrontTest::Str("player") + FrontTest::Long(300)) << "nobody current";
  EXPECT_EQ(gProfileStore.mLastRank, 1);
  recorded->ButtonDepress(Kit::kIdOk);
  EXPECT_EQ(mApp.GetDialog(kHighScoreDialogId), nullptr);
  EXPECT_EQ(mApp.mMusicTrack, kMenuTrack);

  MakePlayers({"ann"}, "ann");
  gProfileStore.RecordGameScore(500);  // as the game-over screen appears
  mApp.mScore = 500;
  OpenHighScoreDialog(&mApp, 205, HighScoreDialog::kRecordMode);
  EXPECT_EQ(gProfileStore.mScores.size(), 2u) << "the game's score is in the table once";
  EXPECT_EQ(gProfileStore.mLastRank, 1);

  HighScoreDialog* viewed = OpenHighScoreDialog(&mApp, 105, HighScoreDialog::kViewMode);
  EXPECT_EQ(gProfileStore.mLastRank, -1) << "viewing highlights nothing";
  viewed->ButtonDepress(Kit::kIdOk);
  EXPECT_EQ(mApp.GetDialog(kHighScoreDialogId), nullptr);
}

TEST_F(ProfileDialogsTest, TheTableShowsFiveRowsAndTheNewScoreInItsOwnColour) {
  drawingtest::FixedFont rows;
  FONT_DEFAULT = &rows;
  for (int score : {900, 800, 700, 600, 500, 400}) gProfileStore.InsertScore("p" + std::to_string(score), score);
  gProfileStore.mLastRank = 2;
  HighScoreDialog dialog("High Scores", "");
  drawingtest::RecordingImage screen(390, 230);
  Kit::Graphics g(&screen);
  dialog.Draw(&g);
  std::vector<std::string> drawn;
  for (const auto& text : rows.drawn) {
    const bool highlighted = text.color == Kit::Color(202, 252, 0);
    drawn.push_back(text.text + " " + std::to_string(text.x) + "," + std::to_string(text.y) +
                    (highlighted ? " *" : ""));
  }
  EXPECT_EQ(drawn, (std::vector<std::string>{"p900 35,80", "900 213,80", "1 313,80", "p800 35,100 *", "800 213,100 *",
                                             "2 313,100 *", "p700 35,120", "700 213,120", "3 313,120", "p600 35,140",
                                             "600 213,140", "4 313,140", "p500 35,160", "500 213,160", "5 313,160"}));
}

}  // namespace
