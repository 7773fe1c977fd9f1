#include "game/front/InGameMenuDialog.h"

#include "framework/widget/WidgetManager.h"
#include "game/front/HighScoreDialog.h"
#include "game/front/MessageDialogs.h"
#include "game/front/OptionsDialog.h"
#include "game/play/ActorScene.h"
#include "game/play/GameApp.h"
#include "game/play/PlayField.h"
#include "game/play/ResourceIds.h"
#include "platform/win/input/VirtualKeys.h"

namespace {

constexpr int kMenuWidth = 202;
constexpr int kMenuHeight = 351;
constexpr int kMenuRaise = 20;
constexpr int kButtonWidth = 140;
constexpr int kButtonHeight = 44;
constexpr int kFirstButtonTop = 56;  // below the dialog's top
constexpr int kButtonGap = 26;
// The options and high-score dialogs open beside the menu at this x.
constexpr int kDialogX = 205;

}  // namespace

InGameMenuDialog::InGameMenuDialog(std::string header, std::string lines)
    : Kit::Dialog(IMAGE_DIALOGM_BOX, IMAGE_DIALOG_BUTTON, kInGameMenuDialogId, true, header, lines, "", 0) {
  mContentInsets = Kit::Insets(23, 1, 23, 20);
  mHeaderGap = 40;
}

void InGameMenuDialog::AddedToManager(Kit::WidgetManager* manager) {
  Kit::Dialog::AddedToManager(manager);
  const ImageButtonLook looks[] = {
      {kResumeButton, {}, IMAGE_BTN_RESUME_UP, IMAGE_BTN_RESUME_UP, IMAGE_BTN_RESUME_DOWN},
      {kOptionsButton, {}, IMAGE_BTN_OPTION_UP, IMAGE_BTN_OPTION_UP, IMAGE_BTN_OPTION_DOWN},
      {kHighScoresButton, {}, IMAGE_BTN_REGISTER_UP, IMAGE_BTN_REGISTER_UP, IMAGE_BTN_REGISTER_DOWN},
      {kMainMenuButton, {}, IMAGE_BTN_MENU_UP, IMAGE_BTN_MENU_UP, IMAGE_BTN_MENU_DOWN},
  };
  if (mButtons.Find(kResumeButton) == nullptr)
    for (const ImageButtonLook& look : looks) mButtons.Add(manager, MakeImageButton(look, this));
  Resize(mX, mY, mWidth, mHeight);
}

void InGameMenuDialog::RemovedFromManager(Kit::WidgetManager* manager) {
  Kit::Dialog::RemovedFromManager(manager);
  mButtons.RemoveAll(manager);
}

// The buttons stand in a column centred in the dialog.
void InGameMenuDialog::Resize(int x, int y, int width, int height) {
  Kit::Dialog::Resize(x, y, width, height);
  int top = y + kFirstButtonTop;
  for (int id = kResumeButton; id <= kMainMenuButton; ++id, top += kButtonHeight + kButtonGap)
    if (Kit::ButtonWidget* button = mButtons.Find(id))
      button->Resize(x + (width - kButtonWidth) / 2, top, kButtonWidth, kButtonHeight);
}

void InGameMenuDialog::KeyUp(int keyCode) {
  if (keyCode != VK_ESCAPE) return;
  Close();
  Kit::gKitApp->SetCursor(Kit::CURSOR_NONE);
}

void InGameMenuDialog::Close() {
  Kit::gKitApp->KillDialogOwnId(this);
  gActorScene.mUpdateEnabled = true;
}

void InGameMenuDialog::ButtonDepress(int id) {
  Kit::Dialog::ButtonDepress(id);
  GameApp* app = TheGame();
  switch (id) {
    case kResumeButton:
      Close();
      app->SetCursor(Kit::CURSOR_NONE);
      app->PlaySample(SOUND_BUTTON);
      break;
    case kOptionsButton:
      OpenOptionsDialog(app, kDialogX);
      app->PlaySample(SOUND_BUTTON);
      break;
    case kHighScoresButton:
      OpenHighScoreDialog(app, kDialogX, HighScoreDialog::kViewMode);
      app->PlaySample(SOUND_BUTTON);
      break;
    case kMainMenuButton:
      app->PlaySample(SOUND_BUTTON);
      ReturnToMainMenu();
      break;
    default:
      break;
  }
}

// The level is left as it stands: score, lives, scene and level stay on the application.
void InGameMenuDialog::ReturnToMainMenu() {
  GameApp* app = TheGame();
  if (!ShowConfirmDialog(app, 0, "Return to main menu ?", app->mWidth, app->mHeight)) return;
  Close();
  CloseScreen(app, app->mPlayField);
  app->ChangeMusic(kMenuTrack);
}

void OpenInGameMenuDialog(GameApp* app) {
  app->SetCursor(Kit::CURSOR_POINTER);
  auto* dialog = new InGameMenuDialog("", "");
  dialog->Resize((app->mWidth - kMenuWidth) / 2, (app->mHeight - kMenuHeight) / 2 - kMenuRaise, kMenuWidth,
                 kMenuHeight);
  app->AddDialog(kInGameMenuDialogId, dialog);  // the application owns it from here
  app->mWidgetManager->SetFocus(dialog);
  gActorScene.mUpdateEnabled = false;
}
