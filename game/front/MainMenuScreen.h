// MainMenuScreen: the title screen and the bottom layer of the front end. Made once after loading, it
// stays in the widget manager until the program ends; every other screen lies above it, so it is on
// screen again when the last of them leaves. It draws the title with the menu's particles, greets the
// current player, offers six image buttons and, at the first start without a player, asks for a name.
// Owns its buttons; the application owns the screen. Main thread only.
#pragma once

#include "framework/widget/ButtonListener.h"
#include "framework/widget/Widget.h"
#include "game/front/Screens.h"

class EnterNameDialog;
class GameApp;

class MainMenuScreen : public Kit::Widget, public Kit::ButtonListener {
 public:
  enum ButtonId : int {
    kPlayButton = 0,
    kCustomLevelButton = 1,
    kOptionsButton = 2,
    kHighScoresButton = 3,
    kQuitButton = 4,
    kSwitchPlayerButton = 5,
  };
  static constexpr int kMenuParticleEmitters = 10;

  explicit MainMenuScreen(GameApp* app) : mApp(app) {}

  void AddedToManager(Kit::WidgetManager* manager) override;
  void RemovedFromManager(Kit::WidgetManager* manager) override;
  void Update() override;
  void Draw(Kit::Graphics* g) override;
  void ButtonDepress(int id) override;
  // Starts the menu's particles and, when no player is current, opens the name dialog for a new one
  // and returns it (null with a player).
  EnterNameDialog* PromptForName();

  ScreenButtons mButtons;

 private:
  void Play();
  void OpenCustomLevel();
  void OpenOptions();
  void OpenHighScores();
  void AskToQuit();
  void OpenPlayerSelect();
  void DrawWelcome(Kit::Graphics* g);

  GameApp* mApp;
};
