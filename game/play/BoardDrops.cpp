// The rules object's power-up drops: the drop table by difficulty, the falling power-up, and the test
// that keeps a power-up that would do nothing now from dropping.
#include <algorithm>
#include <cstdlib>

#include "game/play/Actor.h"
#include "game/play/Board.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ObjectTemplate.h"

namespace {

// Easy draws from the first fifteen, normal from all nineteen, hard from "ups_bounce" on.
int DrawDropIndex() {
  switch (GameDifficulty()) {
    case kEasyDifficulty:
      return std::rand() % 15 + 1;
    case kNormalDifficulty:
      return std::rand() % 19 + 1;
    default:
      return std::rand() % 8 + 12;
  }
}

constexpr int kMinFallSpeed = 150;  // pixels per second, downwards
constexpr int kFallSpeedRange = 100;

bool EveryBallNamed(const char* name) {
  return FindLiveActor(kBallKind, [name](const Actor& ball) { return ball.mName != name; }) == nullptr;
}
bool SomePaddleNamed(const char* name) {
  return FindLiveActor(kPaddleKind, [name](const Actor& paddle) { return paddle.mName == name; }) != nullptr;
}
bool NoBrickWithCode(std::initializer_list<std::string_view> codes) {
  return FindLiveActor(kBrickKind, [codes](const Actor& brick) {
           return std::find(codes.begin(), codes.end(), brick.ColourCode()) != codes.end();
         }) == nullptr;
}

// The power-ups that can be useless, each with the test that says so, in the order they are asked.
using UsefulnessTest = bool (Board::*)() const;
struct UsefulnessEntry {
  const char* mName;
  UsefulnessTest mUseless;
};
constexpr UsefulnessEntry kUsefulnessTests[] = {
    {"ups_largeball", &Board::AllBallsLarge},     {"ups_smallball", &Board::AllBallsSmall},
    {"ups_addvel", &Board::AnyBallAboveMaxSpeed}, {"ups_subvel", &Board::AnyBallBelowMinSpeed},
    {"ups_longpaddle", &Board::HasLongPaddle},    {"ups_shortpaddle", &Board::HasShortPaddle},
    {"ups_explode", &Board::NoExplosiveBrick},    {"ups_thru", &Board::AllBallsThru},
    {"ups_newball", &Board::AllBallsNew},         {"ups_up", &Board::CannotMoveBricksUp},
    {"ups_down", &Board::CannotMoveBricksDown},   {"ups_convert", &Board::NoConvertibleBrick},
    {"ups_fireball", &Board::AllBallsFire},
};

}  // namespace

std::string Board::DrawRandomPowerUp() const {
  std::string name;
  do {
    name = kPowerUpDropTable[DrawDropIndex()];
  } while (IsPowerUpUseless(name));
  return name;
}

void Board::DropPowerUp(std::string name, float x, float y) {
  if (name.empty() || IsPowerUpUseless(name)) return;
  if (name == "random") name = DrawRandomPowerUp();
  ObjectTemplate* look = gObjectLibrary.ObtainAnimation(name);
  if (look == nullptr) return;
  Actor* powerUp = gActorScene.CreateActorDeferred(look, kPowerUpKind);
  powerUp->mVelX = 0.0f;
  powerUp->mVelY = static_cast<float>(std::rand() % kFallSpeedRange + kMinFallSpeed);
  powerUp->mX = x - look->mWidth * 0.5f;
  powerUp->mY = y - look->mHeight * 0.5f;
  powerUp->mName = name;
}

bool Board::IsPowerUpUseless(std::string_view name) const {
  for (const UsefulnessEntry& entry : kUsefulnessTests)
    if (name == entry.mName) return (this->*entry.mUseless)();
  return false;
}

bool Board::AllBallsLarge() const { return EveryBallNamed("balllarge"); }
bool Board::AllBallsSmall() const { return EveryBallNamed("ballsmall"); }
bool Board::AnyBallAboveMaxSpeed() const {
  return FindLiveActor(kBallKind, [this](const Actor& ball) { return BallSpeed(ball) > mMaxBallSpeed; }) != nullptr;
}
bool Board::AnyBallBelowMinSpeed() const {
  return FindLiveActor(kBallKind, [this](const Actor& ball) { return BallSpeed(ball) < mMinBallSpeed; }) != nullptr;
}
bool Board::HasLongPaddle() const { return SomePaddleNamed("paddlelong"); }
bool Board::HasShortPaddle() const { return SomePaddleNamed("paddleshort"); }
bool Board::NoExplosiveBrick() const { return NoBrickWithCode({"ee"}); }
bool Board::AllBallsThru() const { return EveryBallNamed("ballthru"); }
bool Board::AllBallsNew() const { return EveryBallNamed("ballnew"); }
bool Board::CannotMoveBricksUp() const { return !CanMoveBricksUp(); }
bool Board::CannotMoveBricksDown() const { return !CanMoveBricksDown(); }
bool Board::NoConvertibleBrick() const { return NoBrickWithCode({"bb", "cc", "dd"}); }
bool Board::AllBallsFire() const { return EveryBallNamed("ballfire"); }
