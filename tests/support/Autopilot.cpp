#include "tests/support/Autopilot.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "game/play/ActorScene.h"
#include "game/play/Board.h"
#include "game/play/PlayField.h"

namespace testsupport {

namespace {

constexpr int kTicksPerTarget = 500;            // five seconds of game time on one target
constexpr double kMaxOffset = 0.85;             // of half the paddle: never quite the end
constexpr double kEndAngle = 0.45 * 3.1415925;  // radians off vertical at the paddle's end

constexpr double kBallSoonSeconds = 0.05;      // a ball this close to the paddle has it to itself
constexpr double kPowerUpLandsSeconds = 0.03;  // a power-up this close is caught or dodged now
constexpr float kFastBallSpeed = 500.0f;       // pixels per second: no faster, please
constexpr double kSlowBrickClearancePx = 30.0;

struct Arrival {
  const Actor* ball = nullptr;
  double centreX = 400;
  double seconds = 1e30;  // until it reaches the paddle; "never" for a ball that is not falling
};

// What a player wants to catch, given the speed of the ball in play.
bool IsWelcome(const std::string& powerUp, float ballSpeed) {
  if (powerUp == "ups_addvel") return ballSpeed < kFastBallSpeed;
  return powerUp != "ups_subvel" && powerUp != "ups_sublive" && powerUp != "ups_shortpaddle" &&
         powerUp != "ups_smallball" && powerUp != "ups_reverse";
}

// Folds x into [lo, hi] as the walls reflect it.
double Reflect(double x, double lo, double hi) {
  const double span = hi - lo;
  if (span <= 0) return lo;
  double u = std::fmod(x - lo, 2 * span);
  if (u < 0) u += 2 * span;
  return lo + (u > span ? 2 * span - u : u);
}

// The falling ball that reaches the paddle's top first and where its centre will be then; without one,
// the lowest ball where it is.
Arrival NextArrival(const Actor& paddle) {
  Arrival best;
  double soonest = 1e30, lowest = -1e30;
  for (const Actor* ball : gActorScene.mBalls) {
    if (!ball->mAlive) continue;
    const double r = ball->mWidth * 0.5;
    const double bottom = ball->mY + ball->mHeight;
    if (ball->mVelY > 0 && bottom <= paddle.mY) {
      const double t = (paddle.mY - bottom) / ball->mVelY;
      if (t >= soonest) continue;
      soonest = t;
      best = {ball, Reflect(ball->mX + r + ball->mVelX * t, r, PlayField::kRightWallX - r), t};
    } else if (soonest == 1e30 && ball->mY > lowest) {
      lowest = ball->mY;
      best = {ball, ball->mX + r};
    }
  }
  return best;
}

// Whether the straight path from (x0, y0) to (x1, y1) passes within kSlowBrickClearancePx of the
// centre of a live "hh" brick, which would slow the ball down.
bool PassesSlowBrick(double x0, double y0, double x1, double y1) {
  for (const Actor* brick : gActorScene.mBricks) {
    if (!brick->mAlive || brick->ColourCode() != "hh") continue;
    const double cx = brick->mX + brick->mWidth * 0.5, cy = brick->mY + brick->mHeight * 0.5;
    const double dx = x1 - x0, dy = y1 - y0;
    const double t = std::clamp(((cx - x0) * dx + (cy - y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    if (std::hypot(x0 + t * dx - cx, y0 + t * dy - cy) < kSlowBrickClearancePx) return true;
  }
  return false;
}

// This tick's target: the brick of the rotation, or the next one after it that the ball can reach
// without passing a slowing brick.
const Actor* PickTarget(const std::vector<const Actor*>& targets, int tick, double fromX, double fromY) {
  const std::size_t first = (tick / kTicksPerTarget) % targets.size();
  for (std::size_t i = 0; i < targets.size(); ++i) {
    const Actor* target = targets[(first + i) % targets.size()];
    if (!PassesSlowBrick(fromX, fromY, target->mX + target->mWidth * 0.5, target->mY + target->mHeight * 0.5))
      return target;
  }
  return targets[first];
}

}  // namespace

PointerInput Autopilot::Steer(const PlayField& field) {
  const int tick = mTicks++;
  PointerInput input;
  input.click = field.mState == PlayField::kBallOnPaddle;
  const Actor* paddle = field.FindPaddle();
  if (paddle == nullptr) return input;
  const Arrival arrival = NextArrival(*paddle);
  if (arrival.ball == nullptr) return input;
  std::vector<const Actor*> targets;
  for (const Actor* brick : gActorScene.mBricks)
    if (brick->mAlive && IsTargetBrick(*brick)) targets.push_back(brick);
  double offset = 0;
  if (!targets.empty()) {
    const Actor* target = PickTarget(targets, tick, arrival.centreX, paddle->mY);
    const double dx = target->mX + target->mWidth * 0.5 - arrival.centreX;
    const double dy = target->mY + target->mHeight * 0.5 - paddle->mY;
    const double angle = std::asin(std::clamp(-dx / std::hypot(dx, dy), -1.0, 1.0));
    offset = std::clamp(angle / kEndAngle, -kMaxOffset, kMaxOffset);
  }
  const double paddleCentre = arrival.centreX + offset * paddle->mWidth * 0.5;
  input.x = static_cast<int>(std::lround(std::clamp(paddleCentre, 0.0, double(PlayField::kRightWallX))));
  if (arrival.seconds > kBallSoonSeconds) MeetPowerUps(*paddle, BallSpeed(*arrival.ball), input);
  return input;
}

// The paddle moves at once to wherever the pointer is: while no ball is about to arrive it can catch a
// welcome power-up that is landing and step aside from an unwelcome one.
void Autopilot::MeetPowerUps(const Actor& paddle, float ballSpeed, PointerInput& input) const {
  const double halfPaddle = paddle.mWidth * 0.5;
  for (const Actor* powerUp : gActorScene.mPowerUps) {
    const double bottom = powerUp->mY + powerUp->mHeight;
    if (!powerUp->mAlive || bottom > paddle.mY || powerUp->mVelY <= 0) continue;
    if ((paddle.mY - bottom) / powerUp->mVelY > kPowerUpLandsSeconds) continue;
    const double left = powerUp->mX, right = powerUp->mX + powerUp->mWidth;
    if (IsWelcome(powerUp->mName, ballSpeed)) {
      input.x = static_cast<int>(std::lround((left + right) * 0.5));
      return;
    }
    if (input.x + halfPaddle < left || input.x - halfPaddle > right) continue;
    const double toLeft = left - halfPaddle - 2, toRight = right + halfPaddle + 2;
    const bool goLeft = toLeft >= 0 && (input.x - toLeft < toRight - input.x || toRight > PlayField::kRightWallX);
    input.x = static_cast<int>(std::lround(goLeft ? toLeft : toRight));
  }
}

}  // namespace testsupport
