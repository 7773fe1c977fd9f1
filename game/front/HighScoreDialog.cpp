#include "game/front/HighScoreDialog.h"

#include "framework/app/KitAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/widget/WidgetManager.h"
#include "game/front/ColumnText.h"
#include "game/front/DialogStyle.h"
#include "game/front/GameOverScreen.h"
#include "game/front/ProfileStore.h"
#include "game/front/Screens.h"
#include "game/play/GameApp.h"
#include "game/play/ResourceIds.h"

namespace {

const Kit::Insets kInsets{23, 8, 23, 20};
constexpr int kHeaderGap = 40;
const Kit::Color kRowColor(199, 216, 246);
const Kit::Color kNewScoreColor(202, 252, 0);
// Column lefts of the titles and of the rows (the rows sit 5 pixels further right), pixels.
constexpr int kPlayerColumn = 30;
constexpr int kScoreColumn = 208;
constexpr int kRankColumn = 308;
constexpr int kRowIndent = 5;
constexpr int kTitleBaseline = 60;
constexpr int kFirstRowBaseline = 80;
constexpr int kRowStep = 20;
constexpr int kRowsEnd = kFirstRowBaseline + kShownScores * kRowStep;
constexpr int kOpenWidth = 390;
constexpr int kOpenHeight = 230;
constexpr int kOpenRaise = 20;

}  // namespace

HighScoreDialog::HighScoreDialog(std::string header, std::string lines)
    : Kit::Dialog(IMAGE_DIALOG_BOX, IMAGE_DIALOG_BUTTON, kHighScoreDialogId, true, header, lines, "Ok",
                  Kit::kButtonsFooter) {
  DialogStyle::Apply(this, kInsets, kHeaderGap, {FONT_ARIAL13, FONT_ARIAL, FONT_ARIAL13});
}

void HighScoreDialog::LoadAndRecord(int mode) {
  if (mode == kRecordMode && gProfileStore.TakeRecordedGameScore()) {
    // The game-over screen entered this game's score as it appeared: show that table as it is.
    mMode = kRecordMode;
    return;
  }
  gProfileStore.LoadScores(kScoreFilePath);
  if (mode == kRecordMode) {
    mMode = kRecordMode;
    const PlayerProfile* player = gProfileStore.mCurrentProfile;
    gProfileStore.InsertScore(player != nullptr ? player->mName : kAnonymousPlayer, TheGame()->mScore);
    gProfileStore.SaveScores(kScoreFilePath);
  } else if (mode == kViewMode) {
    mMode = kViewMode;
  }
}

void HighScoreDialog::Draw(Kit::Graphics* g) {
  Kit::Dialog::Draw(g);
  g->SetFont(FONT_ARIAL12);
  g->SetColor(DialogStyle::kPaleBlue);
  g->DrawString("Player", kPlayerColumn, kTitleBaseline);
  g->DrawString("Score", kScoreColumn, kTitleBaseline);
  g->DrawString("Rank", kRankColumn, kTitleBaseline);
  g->SetFont(FONT_DEFAULT);
  int place = 1;
  for (int y = kFirstRowBaseline; y < kRowsEnd && place <= static_cast<int>(gProfileStore.mScores.size());
       y += kRowStep, ++place) {
    const HighScoreEntry& entry = *gProfileStore.mScores[static_cast<std::size_t>(place - 1)];
    g->SetColor(place == gProfileStore.mLastRank ? kNewScoreColor : kRowColor);
    // A name keeps to its column, short of the scores.
    DrawInColumn(g, entry.mName, kPlayerColumn + kRowIndent, kScoreColumn - kPlayerColumn - kRowIndent, y,
                 ColumnAlign::kLeft);
    g->DrawString(std::to_string(entry.mScore), kScoreColumn + kRowIndent, y);
    g->DrawString(std::to_string(place), kRankColumn + kRowIndent, y);
  }
}

void HighScoreDialog::ButtonDepress(int id) {
  Kit::Dialog::ButtonDepress(id);
  if (id != Kit::kIdOk) return;
  if (mMode == kRecordMode) {
    CloseAfterGameOver();
  } else if (mMode == kViewMode) {
    Kit::gKitApp->KillDialogOwnId(this);
  }
}

void HighScoreDialog::CloseAfterGameOver() {
  GameApp* game = TheGame();
  game->KillDialogOwnId(this);
  // The game-over screen under this dialog leaves with it: the main menu shows again, with its music.
  CloseScreen(game, game->mGameOverScreen);
  game->ChangeMusic(kMenuTrack);
}

HighScoreDialog* OpenHighScoreDialog(Kit::KitAppBase* app, int x, int mode) {
  auto* dialog = new HighScoreDialog("High Scores", "");
  dialog->Resize(x, (app->mHeight - kOpenHeight) / 2 - kOpenRaise, kOpenWidth, kOpenHeight);
  dialog->LoadAndRecord(mode);
  app->AddDialog(kHighScoreDialogId, dialog);
  return dialog;
}
