// The play field's life and level states, driven by the pointer and the clicks the widget manager hands
// it, tick by tick.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "framework/widget/WidgetManager.h"
#include "game/play/ObjectTemplate.h"
#include "game/play/ResourceIds.h"
#include "tests/play/PlayFixture.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"

namespace {

using playtest::PlayFieldTest;

class PlayFieldLives : public PlayFieldTest {
 protected:
  // A target brick out of the ball's way keeps the level open.
  void KeepLevelOpen() { AddBrick("brick_aa_001", 700, 100); }
  // The ball falls below the field: it dies in the physics step, the next tick sees no ball.
  void LoseTheBall() {
    Ball()->mY = 700;
    RunTicks(2);
  }
};

TEST_F(PlayFieldLives, ANewLifeShowsTheBallOnlyAfterFortyTicksWithThePaddleCentred) {
  mGame.mLives = kLivesAtNewGame;
  mGame.OpenPlayField();
  mGame.mWidgetManager->MouseMoveEntry(10, 300);  // moving the mouse during the ready phase moves nothing
  RunTicks(PlayField::kReadyTicks - 1);
  EXPECT_EQ(Field().mState, PlayField::kReady);
  EXPECT_FALSE(Ball()->mTmpl->mVisible);
  EXPECT_EQ(Paddle()->mX, (800 - kPaddleWidthPx) / 2);
  EXPECT_EQ(mGame.CountSounds(SOUND_BALLAPPEAR), 1);
  RunTicks(1);
  EXPECT_EQ(Field().mState, PlayField::kBallOnPaddle);
  EXPECT_TRUE(Ball()->mTmpl->mVisible);
  EXPECT_EQ(mGame.GetCursor(), Kit::CURSOR_NONE) << "no pointer during play";
}

// The pointer's x as the widget manager last had it (recorded input), and where the paddle's left edge
// goes: its centre follows the pointer but stays within the field.
class PaddleSteering : public PlayFieldLives, public testing::WithParamInterface<std::pair<int, float>> {};

TEST_P(PaddleSteering, ThePaddleCentreFollowsTheRecordedPointerWithinTheField) {
  StartLevelWithBallOnPaddle();
  mGame.mWidgetManager->MouseMoveEntry(GetParam().first, 300);
  RunTicks(1);
  EXPECT_EQ(Paddle()->mX, GetParam().second);
  EXPECT_EQ(Ball()->mX, Paddle()->mX + (kPaddleWidthPx - kBallSizePx) / 2) << "the ball rides on it";
  EXPECT_EQ(Ball()->mY, Paddle()->mY - kBallSizePx);
}

INSTANTIATE_TEST_SUITE_P(Pointer, PaddleSteering,
                         testing::Values(std::pair{400, 350.0f}, std::pair{0, -50.0f}, std::pair{-30, -50.0f},
                                         std::pair{900, 750.0f}),
                         [](const testing::TestParamInfo<std::pair<int, float>>& info) {
                           const int x = info.param.first;
                           return std::string(x < 0 ? "AtMinus" : "At") + std::to_string(std::abs(x));
                         });

class LaunchSpeed : public PlayFieldLives, public testing::WithParamInterface<int> {};

TEST_P(LaunchSpeed, ALeftClickLaunchesTheBallStraightUpAtTwoHundredPerDifficultyStep) {
  mGame.mDifficulty = GetParam();
  StartLevelWithBallOnPaddle();
  Launch();
  EXPECT_EQ(Ball()->mVelX, 0.0f);
  EXPECT_EQ(Ball()->mVelY, -200.0f * GetParam());
}

INSTANTIATE_TEST_SUITE_P(Difficulty, LaunchSpeed, testing::Values(1, 2, 3), testing::PrintToStringParamName());

TEST_F(PlayFieldLives, AClickWhileTheBallTouchesTheLeftEdgeDoesNotLaunchIt) {
  StartLevelWithBallOnPaddle();
  mGame.mWidgetManager->MouseMoveEntry(0, 300);
  RunTicks(1);
  Field().MouseUp(0, 300, 1);
  EXPECT_EQ(Field().mState, PlayField::kBallOnPaddle);
  Field().MouseUp(0, 300, 3);  // the middle button launches nothing either
  EXPECT_EQ(Field().mState, PlayField::kBallOnPaddle);
}

TEST_F(PlayFieldLives, ALostBallWaitsOneHundredTicksBeforeTheNextLifeStarts) {
  KeepLevelOpen();
  StartLevelWithBallOnPaddle();
  Launch();
  LoseTheBall();
  EXPECT_EQ(Field().mState, PlayField::kBallLost);
  EXPECT_EQ(mGame.mLives, kLivesAtNewGame - 1);
  RunTicks(PlayField::kEndStateTicks - 1);
  EXPECT_EQ(Field().mState, PlayField::kBallLost) << "still showing the loss";
  RunTicks(1);
  EXPECT_EQ(Field().mState, PlayField::kStartOfLife);
  RunTicks(1);
  EXPECT_EQ(Field().mState, PlayField::kReady) << "a new ball on the same paddle";
  EXPECT_EQ(gActorScene.mPaddles.size(), 1u);
}

TEST_F(PlayFieldLives, LosingTheLastLifeEndsTheGameOneHundredTicksLaterWithTheEndTrack) {
  // The game-over screen enters the score in the table: its file goes to a folder of this test's own.
  testsupport::TempDir folder;
  testsupport::ScopedCurrentFolder inFolder(folder.Path());
  KeepLevelOpen();
  StartLevelWithBallOnPaddle();
  mGame.mLives = 1;
  Launch();
  LoseTheBall();
  EXPECT_EQ(Field().mState, PlayField::kGameOver);
  PlayField* ended = &Field();
  RunTicks(PlayField::kEndStateTicks - 1);
  EXPECT_EQ(mGame.mPlayField, ended);
  EXPECT_EQ(mGame.CountSounds(SOUND_GAMEOVER), 0);
  RunTicks(1);
  EXPECT_NE(mGame.mPlayField, ended) << "the game-over hand-over took the field's place";
  EXPECT_EQ(mGame.CountSounds(SOUND_GAMEOVER), 1);
  const std::vector<std::string>& fades = mGame.Music()->mFades;
  EXPECT_NE(std::find(fades.begin(), fades.end(), "in 4"), fades.end());
}

// Which bricks hold a level open: the four target colours, never the others.
class LevelCleared : public PlayFieldLives, public testing::WithParamInterface<std::pair<std::string, bool>> {};

TEST_P(LevelCleared, OnlyTargetBricksHoldTheLevelOpen) {
  AddBrick(GetParam().first, 700, 100);
  StartLevelWithBallOnPaddle();
  Launch();
  RunTicks(1);
  EXPECT_EQ(Field().mState, GetParam().second ? PlayField::kPlaying : PlayField::kLevelCleared);
}

INSTANTIATE_TEST_SUITE_P(Codes, LevelCleared,
                         testing::Values(std::pair{"brick_aa_001", true}, std::pair{"brick_bb_015", true},
                                         std::pair{"brick_cc_018", true}, std::pair{"brick_ee_001", true},
                                         std::pair{"brick_dd_001", false}, std::pair{"brick_ff_003", false},
                                         std::pair{"brick_gg_001", false}),
                         [](const auto& info) { return info.param.first; });

TEST_F(PlayFieldLives, EscapePausesOnlyWhileTheBallIsInPlayOrOnThePaddle) {
  KeepLevelOpen();
  mGame.OpenPlayField();
  RunTicks(1);
  Field().KeyUp(27);
  EXPECT_TRUE(gActorScene.mUpdateEnabled) << "ready phase";
  RunTicks(PlayField::kReadyTicks);
  Field().KeyUp(27);
  EXPECT_FALSE(gActorScene.mUpdateEnabled);
  EXPECT_EQ(mGame.GetCursor(), Kit::CURSOR_POINTER);
}

}  // namespace
