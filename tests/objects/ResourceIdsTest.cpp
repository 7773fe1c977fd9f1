#include "game/play/ResourceIds.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/graphics/MemoryImage.h"
#include "framework/resource/ResourceManager.h"
#include "framework/resource/ResourceManagerException.h"
#include "tests/objects/ObjectsFixture.h"

namespace {

// A manager whose getters hand out stand-ins, record each request and throw for one missing name.
class StandInManager : public Kit::ResourceManager, private Kit::ResourceHost {
 public:
  StandInManager() : ResourceManager(this) {}

  Kit::ResourceImageRef GetImageThrow(const std::string& id) override {
    Request(id);
    Kit::ResourceImageRef image;
    image = &mImage;
    return image;
  }
  int GetSoundThrow(const std::string& id) override {
    Request(id);
    return static_cast<int>(requested.size());
  }
  Kit::Font* GetFontThrow(const std::string& id) override {
    Request(id);
    return reinterpret_cast<Kit::Font*>(&mImage);
  }
  Kit::ResourceImageRef GetSharedImage(const std::string&, const std::string&, bool*) override { return {}; }

  std::vector<std::string> requested;
  std::string missing;
  Kit::MemoryImage mImage;

 private:
  void Request(const std::string& id) {
    if (id == missing) throw Kit::ResourceManagerException("no " + id);
    requested.push_back(id);
  }
};

class ResourceIdsBinding : public ObjectsTest {
 protected:
  StandInManager mManager;
};

TEST_F(ResourceIdsBinding, EachGroupBindsItsOwnGlobalsTheGameGroupInNameOrder) {
  ASSERT_TRUE(ExtractInitResources(&mManager));
  EXPECT_EQ(mManager.requested, std::vector<std::string>{"FONT_DEFAULT"});
  ASSERT_TRUE(ExtractFormLoadingResources(&mManager));
  EXPECT_EQ(IMAGE_LOADER_LOGO, &mManager.mImage);
  EXPECT_EQ(IMAGE_CNFONT, nullptr);
  ASSERT_TRUE(ExtractGameResources(&mManager));
  ASSERT_EQ(mManager.requested.size(), 273u);
  EXPECT_EQ(mManager.requested[3], "FONT_ARIAL");
  EXPECT_TRUE(std::is_sorted(mManager.requested.begin() + 3, mManager.requested.end()));
  for (int id = 0; id < kResourceIdCount; ++id) EXPECT_NE(GetResourceById(id), 0) << GetResourceNameById(id);
  EXPECT_EQ(GetResourceById(7), reinterpret_cast<std::intptr_t>(IMAGE_CNFONT));
  EXPECT_EQ(GetResourceById(272), SOUND_BUTTON);
  EXPECT_EQ(GetResourceById(273), 0);
  EXPECT_EQ(GetResourceById(-1), 0);
  EXPECT_STREQ(GetResourceNameById(272), "SOUND_BUTTON");
  EXPECT_STREQ(GetResourceNameById(273), "");
  EXPECT_STREQ(GetResourceNameById(-1), "");
}

TEST_F(ResourceIdsBinding, AMissingResourceStopsItsGroupWithTheNamesSortedBeforeItBound) {
  mManager.missing = "IMAGE_BRICK_AA_001";
  EXPECT_FALSE(ExtractGameResources(&mManager));
  EXPECT_NE(IMAGE_BACK, nullptr);
  EXPECT_NE(FONT_ARIAL, nullptr);
  EXPECT_EQ(IMAGE_BRICK_AA_002, nullptr);
  EXPECT_EQ(SOUND_BUTTON, 0);
  mManager.missing = "FONT_DEFAULT";
  EXPECT_FALSE(ExtractInitResources(&mManager));
  EXPECT_EQ(FONT_DEFAULT, nullptr);
}

}  // namespace
