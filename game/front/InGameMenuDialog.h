// InGameMenuDialog: the pause menu the play field opens. While it is up the actor scene stands still.
// Four image buttons one above the other: resume, options, high scores and back to the main menu (after
// a yes/no question); Escape resumes too. Owns its buttons, which stand beside it in the widget manager;
// the application owns the dialog. Main thread only.
#pragma once

#include <string>

#include "framework/widget/Dialog.h"
#include "game/front/Screens.h"

class GameApp;

class InGameMenuDialog : public Kit::Dialog {
 public:
  enum ButtonId : int { kResumeButton = 0, kOptionsButton = 1, kHighScoresButton = 2, kMainMenuButton = 3 };

  InGameMenuDialog(std::string header, std::string lines);

  void AddedToManager(Kit::WidgetManager* manager) override;
  void RemovedFromManager(Kit::WidgetManager* manager) override;
  void Resize(int x, int y, int width, int height) override;
  using Kit::Dialog::Resize;
  void KeyUp(int keyCode) override;
  void ButtonDepress(int id) override;
  // Closes the menu and lets the game run on.
  void Close();

  ScreenButtons mButtons;

 private:
  void ReturnToMainMenu();
};

// Opens the menu over the play field as it pauses: the arrow cursor, the menu centred a little above the
// middle, registered as the in-game menu's dialog, with the focus; the actor scene stops.
void OpenInGameMenuDialog(GameApp* app);
