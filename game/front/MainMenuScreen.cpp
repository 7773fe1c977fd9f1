#include "game/front/MainMenuScreen.h"

#include "framework/font/Font.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "game/front/ColumnText.h"
#include "game/front/CustomLevelDialog.h"
#include "game/front/EnterNameDialog.h"
#include "game/front/HighScoreDialog.h"
#include "game/front/MessageDialogs.h"
#include "game/front/OptionsDialog.h"
#include "game/front/PlayerSelectDialog.h"
#include "game/front/ProfileStore.h"
#include "game/play/EmitterSet.h"
#include "game/play/GameApp.h"
#include "game/play/ResourceIds.h"

namespace {

constexpr int kMenuX = 598;
// The greeting stands centred in this column, above the switch-player button.
constexpr int kWelcomeColumnX = 613;
constexpr int kWelcomeColumnWidth = 173;
constexpr int kWelcomeBaseline = 533;
constexpr int kNameBaseline = 552;
const Kit::Color kWelcomeColor(151, 188, 251);
// The grey line at the foot of the picture, centred in its first 600 pixels.
constexpr const char* kFooterText = "Quarvel 1.0  -  press Play to start a new game";
constexpr int kFooterAreaWidth = 600;
constexpr int kFooterBaseline = 596;
const Kit::Color kFooterColor(100, 100, 100);

// Where the menu puts its dialogs: x, and each is raised 20 pixels above the middle (the name dialog 50).
constexpr int kOptionsX = 105;
constexpr int kCustomLevelX = 165;
constexpr int kCustomLevelWidth = 270;
constexpr int kCustomLevelHeight = 283;
constexpr int kDialogRaise = 20;
constexpr int kQuitAreaWidth = 600;
constexpr int kQuitAreaHeight = 600;

}  // namespace

void MainMenuScreen::AddedToManager(Kit::WidgetManager* manager) {
  Kit::Widget::AddedToManager(manager);
  const ImageButtonLook looks[] = {
      {kPlayButton, {630, 171, 140, 44}, IMAGE_BTN_START_UP, IMAGE_BTN_START_UP, IMAGE_BTN_START_DOWN},
      {kCustomLevelButton, {630, 230, 140, 44}, IMAGE_BTN_CUSTOM_UP, IMAGE_BTN_CUSTOM_UP, IMAGE_BTN_CUSTOM_DOWN},
      {kOptionsButton, {630, 289, 140, 44}, IMAGE_BTN_OPTION_UP, IMAGE_BTN_OPTION_UP, IMAGE_BTN_OPTION_DOWN},
      {kHighScoresButton, {630, 348, 140, 44}, IMAGE_BTN_REGISTER_UP, IMAGE_BTN_REGISTER_UP, IMAGE_BTN_REGISTER_DOWN},
      {kQuitButton, {630, 407, 140, 44}, IMAGE_BTN_QUIT_UP, IMAGE_BTN_QUIT_UP, IMAGE_BTN_QUIT_DOWN},
      {kSwitchPlayerButton,
       {620, 569, 159, 25},
       IMAGE_BTN_CHANGE_PLAYER_UP,
       IMAGE_BTN_CHANGE_PLAYER_OVER,
       IMAGE_BTN_CHANGE_PLAYER_DOWN},
  };
  for (const ImageButtonLook& look : looks) mButtons.Add(manager, MakeImageButton(look, this));
}

void MainMenuScreen::RemovedFromManager(Kit::WidgetManager* manager) {
  Kit::Widget::RemovedFromManager(manager);
  mButtons.RemoveAll(manager);
}

void MainMenuScreen::Update() {
  Kit::Widget::Update();
  gEmitterSet.Update();
  MarkDirty();
}

void MainMenuScreen::Draw(Kit::Graphics* g) {
  g->SetColor(Kit::Color::Black);
  g->FillRect(0, 0, mWidth, mHeight);
  g->DrawImage(IMAGE_BACK, 0, 0);
  gEmitterSet.Draw(g);
  g->DrawImage(IMAGE_TITLE_CN, 0, 0);
  g->DrawImage(IMAGE_PIPE, 0, 0);
  g->DrawImage(IMAGE_MENU, kMenuX, 0);
  DrawWelcome(g);
  g->SetFont(FONT_DEFAULT);
  g->SetColor(kFooterColor);
  g->DrawString(kFooterText, (kFooterAreaWidth - FONT_DEFAULT->StringWidth(kFooterText)) / 2, kFooterBaseline);
}

void MainMenuScreen::DrawWelcome(Kit::Graphics* g) {
  const PlayerProfile* player = gProfileStore.mCurrentProfile;
  if (player == nullptr) return;
  g->SetColor(kWelcomeColor);
  g->SetFont(FONT_ARIAL13);
  const std::string welcome = "Welcome";
  g->DrawString(welcome, kWelcomeColumnX + (kWelcomeColumnWidth - FONT_ARIAL13->StringWidth(welcome)) / 2,
                kWelcomeBaseline);
  g->SetFont(FONT_DEFAULT);
  // A long name of wide letters would overrun the panel on both sides: it keeps to the column.
  DrawInColumn(g, player->mName, kWelcomeColumnX, kWelcomeColumnWidth, kNameBaseline, ColumnAlign::kCentre);
}

EnterNameDialog* MainMenuScreen::PromptForName() {
  for (int i = 0; i < kMenuParticleEmitters; ++i) gEmitterSet.StartEmitter();
  if (gProfileStore.mCurrentProfile != nullptr) return nullptr;
  return OpenEnterNameDialog(mApp, EnterNameDialog::kNewPlayer, "");
}

void MainMenuScreen::ButtonDepress(int id) {
  switch (id) {
    case kPlayButton:
      Play();
      break;
    case kCustomLevelButton:
      OpenCustomLevel();
      break;
    case kOptionsButton:
      OpenOptions();
      break;
    case kHighScoresButton:
      OpenHighScores();
      break;
    case kQuitButton:
      AskToQuit();
      break;
    case kSwitchPlayerButton:
      OpenPlayerSelect();
      break;
    default:
      break;
  }
}

// With the help flag the help screen comes first and starts the game itself.
void MainMenuScreen::Play() {
  if (mApp->mShowHelp) {
    OpenHelpScreen(mApp);
    return;
  }
  OpenSceneSelect(mApp);
  ResetForNewGame(mApp);
  mApp->PlaySample(SOUND_BTNSLIDE);
}

void MainMenuScreen::OpenCustomLevel() {
  auto* dialog = new CustomLevelDialog("Custom Level", "");
  dialog->mStartFirstLevel = OpenLevelStart;
  dialog->Resize(kCustomLevelX, (mApp->mHeight - kCustomLevelHeight) / 2 - kDialogRaise, kCustomLevelWidth,
                 kCustomLevelHeight);
  mApp->AddDialog(kCustomLevelDialogId, dialog);  // the application owns it from here
  mApp->mScore = 0;
  mApp->mLives = kLivesAtNewGame;
  mApp->PlaySample(SOUND_BUTTON);
}

void MainMenuScreen::OpenOptions() {
  OpenOptionsDialog(mApp, kOptionsX);
  mApp->PlaySample(SOUND_BUTTON);
}

void MainMenuScreen::OpenHighScores() {
  OpenHighScoreDialog(mApp, kOptionsX, HighScoreDialog::kViewMode);
  mApp->PlaySample(SOUND_BUTTON);
}

void MainMenuScreen::AskToQuit() {
  mApp->PlaySample(SOUND_BUTTON);
  if (ShowConfirmDialog(mApp, 0, "Quit to windows ?", kQuitAreaWidth, kQuitAreaHeight)) mApp->Shutdown();
}

void MainMenuScreen::OpenPlayerSelect() {
  auto* dialog = new PlayerSelectDialog("Switch Player", "");
  dialog->Resize(kCustomLevelX, (mApp->mHeight - kCustomLevelHeight) / 2 - kDialogRaise, kCustomLevelWidth,
                 kCustomLevelHeight);
  mApp->AddDialog(kPlayerSelectDialogId, dialog);  // the application owns it from here
  mApp->PlaySample(SOUND_BUTTON);
}
