// A level in miniature for the play field's tests: a game application that logs the sounds it plays and
// the music it changes, hand-made prototypes for the paddle and the ball (opaque boxes, or any mask), and
// the game's single objects reset around every test. Ticks run the play field's update and fractional
// update as the frame loop does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/MemoryImage.h"
#include "framework/sound/MusicInterface.h"
#include "game/play/Actor.h"
#include "game/play/GameApp.h"
#include "game/play/PlayField.h"
#include "tests/support/Autopilot.h"

namespace playtest {

// Logs every fade as "in 2" or "out 0".
class MusicLog : public Kit::MusicInterface {
 public:
  void FadeIn(int songId, int offset, double speed, bool noLoop) override;
  void FadeOut(int songId, bool stopSong, double speed) override;
  std::vector<std::string> mFades;
};

class SoundLoggingGame : public GameApp {
 public:
  SoundLoggingGame();
  void PlaySample(int soundId) override { mSounds.push_back(soundId); }
  int CountSounds(int soundId) const;
  MusicLog* Music() { return static_cast<MusicLog*>(mMusicInterface.get()); }
  std::vector<int> mSounds;
};

class PlayFieldTest : public testing::Test {
 protected:
  static constexpr int kBallSizePx = 16;
  static constexpr int kPaddleWidthPx = 100;
  static constexpr int kPaddleHeightPx = 16;

  PlayFieldTest();
  ~PlayFieldTest() override;

  // A prototype "template" + name of the given size whose image is the mask (0xAARRGGBB rows).
  void AddPrototype(const std::string& name, int width, int height, std::uint32_t fill);
  // A brick actor of the template name ("brick_aa_001") at (x, y), with its hit points.
  Actor* AddBrick(const std::string& name, float x, float y, int width = 40, int height = 20);
  // Opens the play field and runs the first life up to the ball waiting on the paddle.
  void StartLevelWithBallOnPaddle();
  // The ball launched straight up (left click).
  void Launch();
  void RunTicks(int ticks);
  // One tick after the pointer moved to the input's x (and clicked, when it asks).
  void RunTickWith(const testsupport::PointerInput& input);
  void CloseField();
  // The score, lives and sounds played, then every actor of the scene: kind, name, place, velocity, hit
  // points and whether it lives.
  std::string DescribeField() const;
  PlayField& Field() { return *mGame.mPlayField; }
  Actor* Ball() { return Field().FindBall(); }
  Actor* Paddle() { return Field().FindPaddle(); }

  SoundLoggingGame mGame;
  std::vector<std::unique_ptr<Kit::MemoryImage>> mImages;
};

}  // namespace playtest
