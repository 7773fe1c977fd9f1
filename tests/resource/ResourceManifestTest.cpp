#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/resource/ResourceManager.h"
#include "tests/resource/TestResourceHost.h"
#include "tests/support/TempDir.h"
#include "tests/support/UnreadableFile.h"

namespace {

using Kit::ResourceManager;
using testsupport::Unreadable;

// Parses manifests written into a temporary folder.
class ResourceManifestTest : public testing::Test {
 protected:
  bool Parse(const std::string& text) {
    mPath = mDir.Write("resources.xml", text);
    return mManager.ParseResourcesFile(mPath);
  }
  // A manifest with one section "Game" holding the body.
  bool ParseSection(const std::string& body) {
    return Parse("<ResourceManifest>\n<Resources id=\"Game\">\n" + body + "</Resources>\n</ResourceManifest>\n");
  }
  std::string Error() const { return mManager.GetErrorText(); }
  // The error text with the manifest's line and file.
  std::string At(const std::string& message, int line) const {
    return message + " on Line " + std::to_string(line) + " in File '" + mPath + "'";
  }
  const ResourceManager::ImageRes& Image(const std::string& id) const {
    return static_cast<const ResourceManager::ImageRes&>(*mManager.GetImageMap().at(id));
  }
  const ResourceManager::SoundRes& Sound(const std::string& id) const {
    return static_cast<const ResourceManager::SoundRes&>(*mManager.GetSoundMap().at(id));
  }

  testsupport::TempDir mDir;
  std::string mPath;
  testresources::TestResourceHost mHost;
  ResourceManager mManager{&mHost};
};

TEST_F(ResourceManifestTest, DeclarationAndCommentsBeforeTheRootAreIgnoredAndSectionsMayStayOpen) {
  EXPECT_TRUE(
      Parse("<?xml version=\"1.0\"?>\n<!-- the game -->\n<ResourceManifest>\n"
            "<Resources id=\"Init\"><Image id=\"A\" path=\"a.png\"/><Sound id=\"S\" path=\"s.wav\"/>\n"))
      << Error();
  EXPECT_EQ(Image("A").mPath, "a.png");
  EXPECT_EQ(Image("A").mResGroup, "Init");
  EXPECT_EQ(mManager.GetSoundMap().size(), 1u);
}

// A missing manifest is not found; one that is there but gives no bytes is named with the reason.
TEST_F(ResourceManifestTest, AManifestThatCannotBeOpenedNamesTheFileAndWhy) {
  const std::string path = mDir / "manifest.xml";
  for (const auto& [standing, error] : std::vector<std::pair<std::optional<Unreadable>, std::string>>{
           {std::nullopt, "Resource file not found: " + path},
           {Unreadable::kFolder, "Resource file could not be read: " + path + " (Is a directory)"},
           {Unreadable::kReadError, "Resource file could not be read: " + path + " (Input/output error)"},
           {Unreadable::kLinkLoop, "Resource file could not be read: " + path + " (Too many levels of symbolic links)"},
       }) {
    std::filesystem::remove_all(path);
    if (standing) testsupport::MakeUnreadable(path, *standing);
    ResourceManager manager{&mHost};
    EXPECT_FALSE(manager.ParseResourcesFile(path));
    EXPECT_EQ(manager.GetErrorText(), error);
    EXPECT_EQ(manager.GetErrorFile(), path);
  }
}

TEST_F(ResourceManifestTest, DefaultsGivePathsAndIdentifiers) {
  ASSERT_TRUE(
      ParseSection("<SetDefaults path=\"data\\\" idprefix=\"IMAGE_\"/>\n"
                   "<Image path=\"images\\star.png\"/>\n"
                   "<Image id=\"STAR2\" path=\"images\\star\"/>\n"
                   "<Image id=\"P\" path=\"!program\"/>\n"
                   "<SetDefaults path=\"\" idprefix=\"SOUND_\"/>\n"
                   "<Sound id=\"HIT\" path=\"sounds/hit\"/>\n"))
      << Error();
  EXPECT_EQ(Image("IMAGE_star").mPath, "data/images\\star.png");
  EXPECT_EQ(Image("IMAGE_STAR2").mPath, "data/images\\star");
  EXPECT_TRUE(Image("IMAGE_P").mFromProgram);
  EXPECT_EQ(Image("IMAGE_P").mPath, "!program");
  EXPECT_FALSE(Image("IMAGE_star").mFromProgram);
  EXPECT_EQ(Sound("SOUND_HIT").mPath, "sounds/hit");
  // They carry into later sections.
  ASSERT_TRUE(mManager.ParseResourcesFile(mDir.Write(
      "more.xml", "<ResourceManifest><Resources id=\"B\"><Image id=\"Y\" path=\"y\"/></Resources></ResourceManifest>")))
      << Error();
  EXPECT_EQ(Image("SOUND_Y").mPath, "y");
  EXPECT_EQ(Image("SOUND_Y").mResGroup, "B");
  // Records accumulate over files; an identifier stays unique across them.
  EXPECT_FALSE(mManager.ParseResourcesFile(mPath));
  EXPECT_EQ(Error().rfind("Resource already defined.", 0), 0u);
}

// (The pixel formats, grids, alpha files and colours are judged where a group loads.)
TEST_F(ResourceManifestTest, ImageAttributes) {
  ASSERT_TRUE(
      ParseSection("<Image id=\"A\" path=\"a\" nopal=\"false\" noalpha variant=\"red\" nobits2d custom=\"kept\"/>\n"
                   "<Image id=\"B\" path=\"b\" nobits3d rows=\"0\" cols=\"-4\"/>\n"))
      << Error();
  const auto& a = Image("A");
  EXPECT_FALSE(a.mPalletize);
  EXPECT_FALSE(a.mAutoFindAlpha);
  EXPECT_EQ(a.mVariant, "red");
  EXPECT_TRUE(a.mPurgeBits);
  EXPECT_EQ(a.mXmlAttributes.at("custom"), "kept");
  const auto& b = Image("B");
  EXPECT_TRUE(b.mPalletize);
  EXPECT_TRUE(b.mAutoFindAlpha);
  EXPECT_FALSE(b.mPurgeBits) << "nobits3d only counts with 3D acceleration";
  EXPECT_EQ(b.mRows, 1);
  EXPECT_EQ(b.mCols, 1);
  EXPECT_EQ(b.mAlphaColor, 0xFFFFFFu);
}

TEST_F(ResourceManifestTest, NoBitsFollowsTheDisplayMode) {
  mHost.accelerated = true;
  ASSERT_TRUE(
      ParseSection("<Image id=\"A\" path=\"a\" nobits3d/><Image id=\"B\" path=\"b\" nobits2d/>"
                   "<Image id=\"C\" path=\"c\" nobits/>"));
  EXPECT_TRUE(Image("A").mPurgeBits);
  EXPECT_FALSE(Image("B").mPurgeBits);
  EXPECT_TRUE(Image("C").mPurgeBits);
}

TEST_F(ResourceManifestTest, AnimationAttributes) {
  ASSERT_TRUE(
      ParseSection("<Image id=\"L\" path=\"l\" rows=\"4\" anim=\"Loop\" framedelay=\"3\"/>\n"
                   "<Image id=\"N\" path=\"n\" rows=\"4\" framedelay=\"9\" perframedelay=\"5\"/>\n"
                   "<Image id=\"M\" path=\"m\" cols=\"5\" anim=\"once\" framemap=\" 4, 2,,1\" perframedelay=\"2,7\"/>\n"
                   "<Image id=\"P\" path=\"p\" cols=\"3\" anim=\"PINGPONG\" begindelay=\"10\" enddelay=\"20\"/>\n"))
      << Error();
  const auto& loop = Image("L").mAnimInfo;
  EXPECT_EQ(loop.mAnimType, Kit::AnimInfo::ANIM_LOOP);
  EXPECT_EQ(loop.mNumCels, 4);
  EXPECT_EQ(loop.mFrameDelay, 3);
  EXPECT_EQ(loop.mTotalAnimTime, 12);
  const auto& none = Image("N").mAnimInfo;
  EXPECT_EQ(none.mAnimType, Kit::AnimInfo::ANIM_NONE);
  EXPECT_EQ(none.mFrameDelay, 1);
  EXPECT_TRUE(none.mPerFrameDelay.empty());
  const auto& mapped = Image("M").mAnimInfo;
  EXPECT_EQ(mapped.mAnimType, Kit::AnimInfo::ANIM_ONCE);
  EXPECT_EQ(mapped.mFrameMap, (std::vector<int>{4, 2, 0, 1}));
  EXPECT_EQ(mapped.mPerFrameDelay.at(0), 2);
  EXPECT_EQ(mapped.mPerFrameDelay.at(1), 7);
  const auto& pingpong = Image("P").mAnimInfo;
  EXPECT_EQ(pingpong.mAnimType, Kit::AnimInfo::ANIM_PINGPONG);
  EXPECT_EQ(pingpong.mFrameMap, (std::vector<int>{0, 1, 2, 1}));
  EXPECT_EQ(pingpong.mPerFrameDelay.front(), 10);
  EXPECT_EQ(pingpong.mPerFrameDelay.back(), 20);
}

// (Volumes, pans, font images and tags are judged where a group loads.)
TEST_F(ResourceManifestTest, AnImageAndASoundMayShareAnIdentifier) {
  ASSERT_TRUE(ParseSection("<Sound id=\"A\" path=\"a\"/>\n<Image id=\"A\" path=\"a.png\"/>\n")) << Error();
  EXPECT_EQ(Sound("A").mSoundId, -1);
  EXPECT_EQ(Image("A").mPath, "a.png");
}

TEST_F(ResourceManifestTest, EveryErrorNamesItsLine) {
  const auto section = [](const std::string& body) {
    return "<ResourceManifest>\n<Resources id=\"Game\">\n" + body + "</Resources>\n</ResourceManifest>\n";
  };
  struct Case {
    std::string text;
    std::string message;
    int line;
  };
  const Case cases[] = {
      {section("<Image id=\"A\" path=\"a\"/>\n<Image id=\"A\" path=\"b\"/>\n"), "Resource already defined.", 4},
      {section("<Image id=\"A\" path=\"a\" anim=\"bounce\"/>\n"), "Invalid animation type.", 3},
      {section("<Image id=\"A\"/>\n"), "No path specified.", 3},
      {section("<Sound id=\"A\" path=\"\"/>\n"), "No path specified.", 3},
      {section("<Picture id=\"A\" path=\"a\"/>\n"), "Invalid Section 'Picture'", 3},
      {section("some words\n<Image path=\"a\"/>"), "Element Not Expected 'some words'", 4},
      {section("<Image id=\"A\" path=\"a\">\n<Image id=\"B\" path=\"b\"/>\n"), "Unexpected element found.", 4},
      {section("<Image id=\"A\" path=\"a\"/>\n</Other>\n"), "End 'Other' Doesn't Match Start 'Resources'", 4},
      {"<ResourceManifest>\n<Images id=\"a\"/>\n</ResourceManifest>", "Invalid Section 'Images'", 2},
      {"<ResourceManifest>\n\n<Resources>\n</Resources></ResourceManifest>", "No id specified.", 3},
      {"<ResourceManifest>\nloose text\n<Resources id=\"x\"/></ResourceManifest>", "Element Not Expected 'loose text'",
       3},
      {"", "Expecting ResourceManifest tag", 1},
      {"  \n <!-- nothing -->\n", "Expecting ResourceManifest tag", 3},
      {"<Resources id=\"a\"/>", "Expecting ResourceManifest tag", 1},
  };
  for (const Case& c : cases) {
    ResourceManager manager(&mHost);
    mPath = mDir.Write("case.xml", c.text);
    EXPECT_FALSE(manager.ParseResourcesFile(mPath)) << c.message;
    EXPECT_EQ(manager.GetErrorText(), At(c.message, c.line));
  }
}

TEST_F(ResourceManifestTest, RecordsBeforeAnErrorStayAndTheFirstErrorIsKept) {
  EXPECT_FALSE(ParseSection("<Image id=\"A\" path=\"a\"/>\n<Image id=\"B\" path=\"b\" anim=\"x\"/>\n"));
  EXPECT_EQ(mManager.GetImageMap().size(), 2u);
  std::string first = Error();
  EXPECT_FALSE(mManager.Fail("later"));
  EXPECT_EQ(Error(), first);
}

}  // namespace
