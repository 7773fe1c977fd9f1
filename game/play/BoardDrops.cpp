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
  if (name == "ups_largeball") return EveryBallNamed("balllarge");
  if (name == "ups_smallball") return EveryBallNamed("ballsmall");
  if (name == "ups_addvel")
    return FindLiveActor(kBallKind, [this](const Actor& ball) { return BallSpeed(ball) > mMaxBallSpeed; }) != nullptr;
  if (name == "ups_subvel")
    return FindLiveActor(kBallKind, [this](const Actor& ball) { return BallSpeed(ball) < mMinBallSpeed; }) != nullptr;
  if (name == "ups_longpaddle") return SomePaddleNamed("paddlelong");
  if (name == "ups_shortpaddle") return SomePaddleNamed("paddleshort");
  if (name == "ups_explode") return NoBrickWithCode({"ee"});
  if (name == "ups_thru") return EveryBallNamed("ballthru");
  if (name == "ups_newball") return EveryBallNamed("ballnew");
  if (name == "ups_up") return !CanMoveBricksUp();
  if (name == "ups_down") return !CanMoveBricksDown();
  if (name == "ups_convert") return NoBrickWithCode({"bb", "cc", "dd"});
  if (name == "ups_fireball") return EveryBallNamed("ballfire");
  return false;
}
