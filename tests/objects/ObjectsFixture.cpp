#include "tests/objects/ObjectsFixture.h"

#include <cstdlib>

#include "game/play/ActorScene.h"
#include "game/play/GlyphFont.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ResourceIds.h"

namespace {

void ResetGameObjects() {
  gActorScene.Reset();
  gObjectLibrary.Reset();
  gGlyphFont.Reset();
  ResetResourceIds();
  srand(1);
}

}  // namespace

ObjectsTest::ObjectsTest() { ResetGameObjects(); }

ObjectsTest::~ObjectsTest() { ResetGameObjects(); }
