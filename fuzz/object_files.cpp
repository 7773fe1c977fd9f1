// Feeds arbitrary bytes to the object library as a template file and as a level file, then animates,
// places and draws what it read: the readers must stop cleanly and no field value may overflow.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <set>
#include <string>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "fuzz/FuzzInputFile.h"
#include "game/play/ActorScene.h"
#include "game/play/ObjectLibrary.h"

namespace {

// Answers nothing: the scene's own steps are under test.
struct SilentResponder : CollisionResponder, SceneRules {
  void CollideActor(Actor*, Actor*, int) override {}
  void BallHitsBrick(Actor*, Actor*) override {}
  void SpeedUpBall(Actor*) override {}
  void SlowDownBall(Actor*) override {}
  void TeleportBall(Actor*, Actor*) override {}
};

Kit::MemoryImage& Image(int width, int height) {
  auto* image = new Kit::MemoryImage();
  image->Create(width, height);
  return *image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Kit::MemoryImage& canvas = Image(64, 48);
  static Kit::MemoryImage& cels = []() -> Kit::MemoryImage& {
    Kit::MemoryImage& image = Image(8, 8);
    image.mNumRows = image.mNumCols = 2;
    return image;
  }();
  static SilentResponder responder;
  const std::string path = fuzzsupport::WriteInputFile(data, size, ".dat");

  gObjectLibrary.Reset();
  gActorScene.Reset();
  gActorScene.mCollisionResponder = &responder;
  gActorScene.mRules = &responder;
  gObjectLibrary.LoadTemplates(path);
  gObjectLibrary.LoadLevel(path);
  // Two requests for each name a prototype offers: the second, made while the first instance runs, makes
  // another. (A request walks the instances of its name for an idle one: thousands of requests for one
  // name, all kept running, would measure that walk rather than the readers.)
  std::set<std::string> requested;
  for (const auto& prototype : gObjectLibrary.Prototypes()) {
    const std::string& name = prototype->mName;
    if (!name.starts_with(ObjectLibrary::kPrototypePrefix) || !requested.insert(name).second) continue;
    for (int request = 0; request < 2; ++request) gObjectLibrary.ObtainAnimation(name.substr(8));
  }
  // Each record becomes an actor: the first seven one of each kind (1 to 6, and 7, which is none), the
  // rest bricks, power-ups, effects and kindless ones. Balls, paddles and projectiles stay few, as in a
  // game, where none comes from a file: the scene tests each of them against every brick or power-up.
  constexpr int kManyKinds[] = {kBrickKind, kPowerUpKind, kEffectKind, 7};
  for (std::size_t i = 0; i < gObjectLibrary.Instances().size(); ++i) {
    ObjectTemplate* record = gObjectLibrary.Instances()[i].get();
    record->mImage = &cels;
    const int kind = i < 7 ? static_cast<int>(i) + 1 : kManyKinds[i % std::size(kManyKinds)];
    Actor* actor = gActorScene.CreateActor(record, kind);
    actor->mVelX = record->mX;
    actor->mVelY = record->mHeight;
    actor->mRadius = record->mWidth;
  }
  Kit::Graphics g(&canvas);
  for (int tick = 0; tick < 4; ++tick) {
    gObjectLibrary.UpdateAnimations();
    gActorScene.Update(0.01f, 1.0f);
    gActorScene.Draw(&g);
  }
  return 0;
}
