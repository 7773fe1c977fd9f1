// SceneSelectScreen: the player picks one of the ten scenes, sees how far he got in each, may continue
// his saved game, and is congratulated after a finished scene. Its panel slides in from the top and out
// again before it leaves, back to the main menu underneath or into the chosen level. Owns its eleven
// buttons; the application owns the screen while GameApp::mSceneSelectScreen points at it. Main thread
// only.
#pragma once

#include "framework/widget/ButtonListener.h"
#include "framework/widget/Widget.h"
#include "game/front/Screens.h"

class GameApp;

class SceneSelectScreen : public Kit::Widget, public Kit::ButtonListener {
 public:
  // Ids 0 to 9 are the scene buttons of scenes 1 to 10.
  enum ButtonId : int { kFirstSceneButton = 0, kLastSceneButton = 9, kBackButton = 10 };
  enum State : int {
    kSlidingIn = -1,
    kCongratulating = 0,
    kWaiting = 1,
    kSlidingOutBack = 2,
    kLeavingForMenu = 3,
    kLeftForMenu = 4,
    kSlidingOutToLevel = 12,
    kLeavingForLevel = 13,
    kLeftForLevel = 14,
  };
  // The return mode of a screen opened after the tenth level of a scene.
  static constexpr int kAfterFinishedScene = 2;
  static constexpr float kPanelHiddenY = -600.0f;
  static constexpr float kPanelStepPx = 20.0f;  // per tick
  static constexpr float kArrowHiddenX = 800.0f;
  static constexpr float kArrowShownX = 690.0f;
  static constexpr float kArrowStepPx = 4.0f;  // per tick

  explicit SceneSelectScreen(GameApp* app) : mApp(app) {}

  void AddedToManager(Kit::WidgetManager* manager) override;
  void RemovedFromManager(Kit::WidgetManager* manager) override;
  void Update() override;
  void Draw(Kit::Graphics* g) override;
  void ButtonDepress(int id) override;
  void SetReturnMode(int mode);
  void StartScene(int scene);
  // Shows and enables (or hides and disables) the ten scene buttons together; the back button is
  // switched on its own.
  void SetSceneButtonsActive(bool active);
  // Leaves: out of the manager, queued for deletion, GameApp::mSceneSelectScreen cleared.
  void RemoveAll();

  GameApp* mApp;
  ScreenButtons mButtons;
  float mPanelX = 0.0f;
  float mPanelY = kPanelHiddenY;
  float mBackArrowX = kArrowHiddenX;
  float mBackArrowY = 538.0f;
  bool mAfterFinishedScene = false;
  int mState = kSlidingIn;

 private:
  void SlideIn();
  // True once the panel is out of sight.
  bool SlideOut();
  void ShowSceneFinished();
  void OfferContinue();
  void SetBackButtonActive(bool active);
  void DrawProgress(Kit::Graphics* g);
};
