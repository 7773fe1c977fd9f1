// LoadingScreen: the game's first screen, a logo with a progress bar that fills from left to right as
// the loading thread brings in the resources of the group "Game". When loading is done it removes itself
// and lets the application hand over to the game. It never takes the focus and ignores input. The
// application owns it while GameApp::mLoadingScreen points at it. Main thread only: the loading thread
// only counts its progress, and the screen asks to be redrawn when the count has moved.
#pragma once

#include "framework/widget/ButtonListener.h"
#include "framework/widget/Widget.h"

class GameApp;

class LoadingScreen : public Kit::Widget, public Kit::ButtonListener {
 public:
  static constexpr int kBarX = 199;
  static constexpr int kBarY = 279;

  explicit LoadingScreen(GameApp* app) : mApp(app) {}

  void Update() override;
  void Draw(Kit::Graphics* g) override;
  // Called once by the application on the first tick after loading finished: the screen leaves (it is
  // deleted once the tick has unwound) and the application hands over.
  void OnLoadingDone();

 private:
  GameApp* mApp;
  int mShownTasks = 0;  // the completed count the last draw showed
};
