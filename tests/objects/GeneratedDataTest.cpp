// The generated game data through the game's own globals: every resource identifier bound after its
// group has loaded, and the animations the code asks for by name. The files themselves are checked
// against the game's rules in tests/gamedata.
#include <gtest/gtest.h>

#include <set>

#include "framework/resource/ResourceManager.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ResourceIds.h"
#include "tests/objects/ObjectsFixture.h"
#include "tests/resource/TestResourceHost.h"
#include "tests/support/ScopedCurrentFolder.h"

namespace {

// Sounds only recorded, not decoded.
class DataHost : public testresources::TestResourceHost {
 public:
  DataHost() { sounds = &mSounds; }

 private:
  testresources::RecordingSoundManager mSounds;
};

class GeneratedData : public ObjectsTest {
 protected:
  testsupport::ScopedCurrentFolder mInData{QUARVEL_DATA_DIR};
};

TEST_F(GeneratedData, EveryResourceIdentifierIsBoundOnceItsGroupHasLoaded) {
  DataHost host;
  Kit::ResourceManager manager(&host);
  ASSERT_TRUE(manager.ParseResourcesFile("properties\\resources.xml")) << manager.GetErrorText();
  ASSERT_TRUE(manager.LoadResources("Init") && ExtractInitResources(&manager)) << manager.GetErrorText();
  ASSERT_TRUE(manager.LoadResources("FormLoading") && ExtractFormLoadingResources(&manager));
  ASSERT_TRUE(manager.LoadResources("Game") && ExtractGameResources(&manager)) << manager.GetErrorText();
  std::set<std::intptr_t> soundIds;
  for (int id = 0; id < kResourceIdCount; ++id) {
    if (std::string_view(GetResourceNameById(id)).starts_with("SOUND")) {
      soundIds.insert(GetResourceById(id));  // 0 is a sound like any other
    } else {
      EXPECT_NE(GetResourceById(id), 0) << GetResourceNameById(id);
    }
  }
  EXPECT_EQ(soundIds.size(), 34u) << "each sound global holds its own sound";

  gObjectLibrary.LoadTemplates("data\\template.dat");
  for (const char* name : {"paddlemiddle", "largeball", "smallball", "fireball", "fire", "makeball", "newball",
                           "explode", "bounce", "smallyellowbom"}) {
    const ObjectTemplate* animation = gObjectLibrary.ObtainAnimation(name);
    ASSERT_NE(animation, nullptr) << name;
    EXPECT_NE(animation->mImage, nullptr) << name << " shows " << animation->mImageName;
  }
  EXPECT_TRUE(Beeps().empty());
}

}  // namespace
