// The generated game data read through the game's own readers: the templates the code asks for, the
// hundred level files, the brick-effect table, the glyph table, and every resource identifier bound
// after its group has loaded.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "framework/font/FontHost.h"
#include "framework/resource/ResourceManager.h"
#include "game/play/EffectFile.h"
#include "game/play/GlyphFont.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ResourceIds.h"
#include "tests/objects/ObjectsFixture.h"
#include "tests/resource/TestResourceHost.h"
#include "tests/support/ScopedCurrentFolder.h"

namespace {

// Pictures and glyph sheets as shared images; sounds only recorded, not decoded.
class DataHost : public testresources::TestResourceHost, public Kit::FontHost {
 public:
  DataHost() { sounds = &mSounds; }
  Kit::FontHost* GetFontHost() override { return this; }
  Kit::ResourceImageRef GetSharedImage(const std::string& path, const std::string& variant, bool* created) override {
    return TestResourceHost::GetSharedImage(path, variant, created);
  }

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

TEST_F(GeneratedData, TheTemplateFileIsReadWholeAndNamesEveryPrototypeForARequest) {
  gObjectLibrary.LoadTemplates("data\\template.dat");
  const auto& prototypes = gObjectLibrary.mPrototypes;
  ASSERT_FALSE(prototypes.empty());
  std::size_t bytes = 4;
  for (const auto& prototype : prototypes) {
    EXPECT_TRUE(prototype->mName.starts_with(ObjectLibrary::kPrototypePrefix)) << prototype->mName;
    EXPECT_TRUE(prototype->mImageName.starts_with("IMAGE_")) << prototype->mName;
    EXPECT_GT(prototype->mWidth, 0.0f);
    EXPECT_GE(prototype->mFrameCount, 1);
    bytes +=
        78 + prototype->mName.size() + prototype->mImageName.size() + prototype->mNote.size() + prototype->mCode.size();
  }
  EXPECT_EQ(bytes, std::filesystem::file_size("data/template.dat")) << "every record whole, nothing after them";
}

TEST_F(GeneratedData, EveryLevelSelectsABackgroundAndPlacesNamedBricksInsideTheField) {
  for (int scene = 1; scene <= 10; ++scene) {
    for (int level = 1; level <= 10; ++level) {
      const std::string path = "data\\level" + std::to_string(scene) + "_" + std::to_string(level) + ".vel";
      gObjectLibrary.Reset();
      EXPECT_NE(gObjectLibrary.LoadLevel(path), ObjectLibrary::kKeepBackground) << path;
      ASSERT_FALSE(gObjectLibrary.mInstances.empty()) << path;
      for (const auto& brick : gObjectLibrary.mInstances) {
        EXPECT_TRUE(brick->mName.starts_with("brick_") && brick->mName.size() >= 8) << path << ": " << brick->mName;
        EXPECT_TRUE(brick->mX >= 0.0f && brick->mX + brick->mWidth <= 800.0f && brick->mY >= 22.0f) << brick->mName;
      }
    }
  }
}

TEST_F(GeneratedData, TheEffectAndGlyphTablesReadWithoutALineLeftOver) {
  std::vector<BrickEffectRecord> effects;
  LoadEffectFile("data\\effect.txt", effects);
  ASSERT_FALSE(effects.empty());
  for (const BrickEffectRecord& record : effects) {
    EXPECT_TRUE(record.mBrickName.starts_with("brick_")) << record.mBrickName;
    EXPECT_FALSE(record.mHitName.empty() && record.mDeadName.empty()) << record.mBrickName;
  }
  gGlyphFont.LoadFile("fonts\\unicode.txt");
  for (char16_t c = u' '; c <= u'~'; ++c) EXPECT_NE(gGlyphFont.FindGlyph(c), nullptr) << static_cast<char>(c);
}

}  // namespace
