// GameOverScreen: follows the loss of the last life. As it appears it enters the score in the high-score
// table and writes the score file. Over the background and the HUD, after a pause, two halves of the
// game-over picture slide together until they meet in the middle, the game-over text shows, and after
// a further pause the high-score table opens in record mode; closing that table takes this screen away.
// Clicks are ignored. The application owns the screen while GameApp::mGameOverScreen points at it. Main
// thread only.
#pragma once

#include "framework/widget/ButtonListener.h"
#include "framework/widget/Widget.h"

class GameApp;

class GameOverScreen : public Kit::Widget, public Kit::ButtonListener {
 public:
  enum State : int { kFirstPause = 1, kSliding = 2, kSecondPause = 3, kTableOpened = 4 };
  static constexpr int kFirstPauseTicks = 50;
  static constexpr int kSecondPauseTicks = 350;
  static constexpr int kMeetingX = 400;  // the halves touch here

  explicit GameOverScreen(GameApp* app);

  void AddedToManager(Kit::WidgetManager* manager) override;
  void Update() override;
  void Draw(Kit::Graphics* g) override;
  void MouseUp(int x, int y, int clickCount) override {}

  GameApp* mApp;
  int mLeftX;
  int mLeftY = 205;
  int mRightX = 640;
  int mRightY = 205;
  int mTextX = 314;
  int mTextY = 263;
  int mState = kFirstPause;
  int mCounter = 0;

 private:
  void DrawBase(Kit::Graphics* g);
  void DrawHalves(Kit::Graphics* g);
};
