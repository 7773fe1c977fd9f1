// LevelCompleteScreen: follows a cleared level. As it appears it records the level in the current
// player's progress and saved game and writes the player file, so that a player who quits here keeps the
// level. Its next-level panel slides in from the right over the background and the HUD, waits for its
// button and slides out; then the next level starts, or after the tenth level of a scene the scene
// select, or after the last queued custom level the main menu. Owns its button; the application owns
// the screen while GameApp::mLevelCompleteScreen points at it. Main thread only.
#pragma once

#include "framework/widget/ButtonListener.h"
#include "framework/widget/Widget.h"
#include "game/front/Screens.h"

class GameApp;

class LevelCompleteScreen : public Kit::Widget, public Kit::ButtonListener {
 public:
  enum State : int { kSlidingIn = 1, kWaiting = 2, kSlidingOut = 3, kAdvancing = 4, kDone = 5 };
  enum ButtonId : int { kNextButton = 0 };
  static constexpr int kPanelHiddenX = 800;
  static constexpr int kPanelShownX = 690;
  static constexpr int kPanelStepPx = 5;  // per tick

  explicit LevelCompleteScreen(GameApp* app) : mApp(app) {}

  void AddedToManager(Kit::WidgetManager* manager) override;
  void RemovedFromManager(Kit::WidgetManager* manager) override;
  void Update() override;
  void Draw(Kit::Graphics* g) override;
  void ButtonDepress(int id) override;
  // Goes on to what follows the level.
  void Advance();

  GameApp* mApp;
  // The button that continues: made when the screen joins the manager, shown and enabled only while the
  // screen waits for it.
  std::unique_ptr<Kit::ButtonWidget> mNextButton;
  int mState = kSlidingIn;
  int mPanelX = kPanelHiddenX;
  int mPanelY = 538;

 private:
  void RecordLevel();
  void AdvanceCustom();
  void SetNextButtonActive(bool active);
};
