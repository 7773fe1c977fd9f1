#include "game/front/Screens.h"

#include "game/front/HelpScreen.h"
#include "game/front/LevelStartScreen.h"
#include "game/front/SceneSelectScreen.h"
#include "game/play/ResourceIds.h"

void OpenSceneSelect(GameApp* app) { OpenScreen(app, app->mSceneSelectScreen); }

void OpenLevelStart(GameApp* app) {
  OpenScreen(app, app->mLevelStartScreen, [](LevelStartScreen* screen) { screen->LoadLevel(); });
}

void OpenHelpScreen(GameApp* app) { OpenScreen(app, app->mHelpScreen); }

void ResetForNewGame(GameApp* app) {
  app->mCustomLevel = false;
  app->mScore = 0;
  app->mLives = kLivesAtNewGame;
}

std::unique_ptr<Kit::ButtonWidget> MakeImageButton(const ImageButtonLook& look, Kit::ButtonListener* listener) {
  auto button = std::make_unique<Kit::ButtonWidget>(look.id, listener);
  button->SetFont(FONT_DEFAULT);
  button->mWantsFinger = true;
  button->mFaceImage = look.up;
  button->mHoverImage = look.over;
  button->mPressedImage = look.down;
  button->Resize(look.place);
  return button;
}

void ScreenButtons::Add(Kit::WidgetManager* manager, std::unique_ptr<Kit::ButtonWidget> button) {
  manager->AddWidget(button.get());
  mButtons.push_back(std::move(button));
}

void ScreenButtons::RemoveAll(Kit::WidgetManager* manager) {
  for (const auto& button : mButtons)
    if (button->mManager != nullptr) manager->RemoveWidget(button.get());
}

void ScreenButtons::SetActive(int id, bool active) {
  if (Kit::ButtonWidget* button = Find(id)) {
    button->SetVisible(active);
    button->SetDisabled(!active);
  }
}

void ScreenButtons::SetAllActive(bool active, int exceptId) {
  for (const auto& button : mButtons)
    if (button->mId != exceptId) SetActive(button->mId, active);
}

Kit::ButtonWidget* ScreenButtons::Find(int id) const {
  for (const auto& button : mButtons)
    if (button->mId == id) return button.get();
  return nullptr;
}
