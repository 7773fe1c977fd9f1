// Feeds arbitrary bytes to the object library as a template file and as a level file, then animates,
// places and draws what it read: the readers must stop cleanly and no field value may overflow.
#include <cstddef>
#include <cstdint>

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
  for (std::size_t i = 0; i < gObjectLibrary.mPrototypes.size(); ++i) {
    const std::string& name = gObjectLibrary.mPrototypes[i]->mName;
    if (name.starts_with(ObjectLibrary::kPrototypePrefix)) gObjectLibrary.ObtainAnimation(name.substr(8));
  }
  for (std::size_t i = 0; i < gObjectLibrary.mInstances.size(); ++i) {
    ObjectTemplate* record = gObjectLibrary.mInstances[i].get();
    record->mImage = &cels;
    Actor* actor = gActorScene.CreateActor(record, static_cast<int>(i % 7) + 1);
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
