// LevelStartScreen: the screen between choosing a level and playing it. Opening it loads the level (the
// previous level's bricks and actors go, the level file's bricks become hidden brick actors, the music
// changes to the level's track); on screen it shows the background and reveals the bricks group by
// group, each with a sound and a flare, then puts up the play field, at the end of the reveal or at the
// first click. A level without any brick (its file missing, unreadable or empty) is not played: the
// screen says why and leaves for the main menu, so such a level never counts as cleared. The
// application owns the screen while GameApp::mLevelStartScreen points at it. Main thread only.
#pragma once

#include <string>

#include "framework/widget/ButtonListener.h"
#include "framework/widget/Widget.h"
#include "game/play/LevelLoading.h"

class GameApp;

class LevelStartScreen : public Kit::Widget, public Kit::ButtonListener {
 public:
  enum State : int { kRevealing = 1, kAllRevealed = 2, kPlayStarted = 3 };
  static constexpr int kStepTicks = 2;    // ticks per flare cel
  static constexpr int kRevealStep = 15;  // the step at which a group appears
  static constexpr int kLastFlareCel = 14;
  static constexpr const char* kNoBrick = "none";

  explicit LevelStartScreen(GameApp* app) : mApp(app) {}

  // Clears the previous level and loads the current one (scene and level, or the next queued custom
  // level).
  void LoadLevel();
  void Update() override;
  void Draw(Kit::Graphics* g) override;
  // Any click starts play, once.
  void MouseUp(int x, int y, int clickCount) override;
  // The record name of the first brick still hidden, or kNoBrick.
  std::string FindHiddenBrick() const;
  // Shows every brick of that record name.
  void RevealBrick(const std::string& name);

  GameApp* mApp;
  int mState = kRevealing;
  int mStepTimer = kStepTicks;
  bool mRevealing = false;
  int mRevealStep = 0;
  std::string mRevealName = kNoBrick;
  bool mStarted = false;
  // Anything but kBricks is told to the player on the first tick instead of a level.
  LevelContents mLevelContents = LevelContents::kBricks;
  std::string mLevelPath;

 private:
  // The current level's file (scene and level, or the next queued custom level), read into hidden
  // brick actors, with its music.
  void LoadLevelFile();
  void UpdateReveal();
  void LeaveUnplayableLevel();
  void DrawFlares(Kit::Graphics* g);
};
