#include <gtest/gtest.h>

#include "framework/font/ImageFont.h"
#include "framework/resource/ImageLib.h"
#include "framework/resource/ResourceManager.h"
#include "framework/resource/ResourceManagerException.h"
#include "tests/resource/TestResourceHost.h"
#include "tests/support/TempDir.h"

namespace {

using Kit::ResourceManager;

// Fonts of a manifest: descriptor files and a glyph strip with its width file, in a temporary folder.
class ResourceFontsTest : public testing::Test {
 protected:
  void SetUp() override {
    mDir.Write("fonts/plain.txt", "SetDefaultPointSize 12; CreateLayer Main; LayerSetAscent Main 7;");
    mDir.Write("fonts/broken.txt", "CreateLayer Main; Frobnicate Main;");
    mDir.Write("fonts/strip.txt", "4 9\na 3\nb 5\n");
    ImageLib::Image strip;
    ASSERT_TRUE(strip.Allocate(8, 10));
    ASSERT_TRUE(ImageLib::WritePNGImage(mDir / "fonts/strip.png", strip));
  }
  void Manifest(const std::string& sections) {
    std::string folder = mDir.Path().string() + "/";
    std::string path = mDir.Write("resources.xml", "<ResourceManifest><Resources id=\"Defaults\"><SetDefaults path=\"" +
                                                       folder + "\"/></Resources>" + sections + "</ResourceManifest>");
    ASSERT_TRUE(mManager.ParseResourcesFile(path)) << mManager.GetErrorText();
  }
  std::string Folder() const { return mDir.Path().string() + "/"; }
  ResourceManager::FontRes& Record(const std::string& id) {
    return static_cast<ResourceManager::FontRes&>(*mManager.GetFontMap().at(id));
  }

  testsupport::TempDir mDir;
  testresources::TestResourceHost mHost;
  ResourceManager mManager{&mHost};
};

TEST_F(ResourceFontsTest, DescriptorFontLoadsWithItsTags) {
  Manifest("<Resources id=\"Game\"><Font id=\"F\" path=\"fonts/plain.txt\" tags=\"bold, shadow\tbig\"/></Resources>");
  ASSERT_TRUE(mManager.LoadResources("Game")) << mManager.GetErrorText();
  auto* font = dynamic_cast<Kit::ImageFont*>(mManager.GetFontThrow("F"));
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->mTagVector, (std::vector<std::string>{"BOLD", "SHADOW", "BIG"}));
  EXPECT_EQ(mManager.GetFont("F"), font);
  EXPECT_EQ(mManager.GetFont("NONE"), nullptr);
  EXPECT_FALSE(mManager.HadError()) << "GetFont never fails";
}

TEST_F(ResourceFontsTest, GlyphImageFontAndItsCopyOutliveTheOriginalGroup) {
  Manifest("<Resources id=\"Init\"><Font id=\"A\" path=\"fonts/strip.txt\" image=\"" + Folder() +
           "fonts/strip.png\"/></Resources>"
           "<Resources id=\"Game\"><Font id=\"B\" path=\"!ref:A\"/></Resources>");
  ASSERT_TRUE(mManager.LoadResources("Init")) << mManager.GetErrorText();
  ASSERT_TRUE(mManager.LoadResources("Game")) << mManager.GetErrorText();
  Kit::Font* copy = mManager.GetFontThrow("B");
  EXPECT_NE(copy, mManager.GetFontThrow("A"));
  EXPECT_EQ(copy->StringWidth("ab"), 8);
  std::weak_ptr<Kit::Image> sheet = Record("A").image;
  mManager.DeleteResources("Init");
  EXPECT_EQ(Record("A").font, nullptr);
  EXPECT_FALSE(sheet.expired()) << "the copy still draws from the glyph image";
  EXPECT_EQ(copy->StringWidth("ba"), 8);
  mManager.DeleteResources("Game");
  EXPECT_TRUE(sheet.expired());
}

TEST_F(ResourceFontsTest, FontErrors) {
  Manifest(
      "<Resources id=\"Ref\"><Font id=\"R\" path=\"!ref:LATER\"/></Resources>"
      "<Resources id=\"Bad\"><Font id=\"D\" path=\"fonts/broken.txt\"/></Resources>"
      "<Resources id=\"Gone\"><Font id=\"G\" path=\"fonts/gone.txt\"/></Resources>"
      "<Resources id=\"NoSheet\"><Font id=\"S\" path=\"fonts/strip.txt\" image=\"fonts/none.png\"/></Resources>");
  EXPECT_FALSE(mManager.LoadResources("Ref"));
  EXPECT_EQ(mManager.GetErrorText(), "Ref font not found: LATER");
  EXPECT_FALSE(mManager.LoadResources("Bad"));
  EXPECT_EQ(mManager.GetErrorText(), "Failed to load font: " + Folder() + "fonts/broken.txt");
  EXPECT_FALSE(mManager.LoadResources("Gone"));
  EXPECT_EQ(mManager.GetErrorText(), "Failed to load font: " + Folder() + "fonts/gone.txt");
  EXPECT_FALSE(mManager.LoadResources("NoSheet"));
  EXPECT_EQ(mManager.GetErrorText(), "Failed to load image: fonts/none.png");
  try {
    mManager.LoadResources("Empty");
    mManager.GetFontThrow("D");
    FAIL() << "no exception";
  } catch (const Kit::ResourceManagerException& e) {
    EXPECT_STREQ(e.what(), "Font resource not found: D");
  }
}

TEST_F(ResourceFontsTest, FontsLoadAfterImagesAndSounds) {
  ImageLib::Image pixel;
  ASSERT_TRUE(pixel.Allocate(1, 1));
  ASSERT_TRUE(ImageLib::WritePNGImage(mDir / "z.png", pixel));
  Manifest(
      "<Resources id=\"Game\"><Font id=\"A\" path=\"fonts/plain.txt\"/><Sound id=\"M\" path=\"m.wav\"/>"
      "<Image id=\"Z\" path=\"z.png\"/></Resources>");
  EXPECT_EQ(mManager.GetNumResources("Game"), 3);
  mManager.StartLoadResources("Game");
  ASSERT_TRUE(mManager.LoadNextResource());
  EXPECT_NE(mManager.GetImageThrow("Z").GetImage(), nullptr);
  EXPECT_EQ(mManager.GetFont("A"), nullptr);
  ASSERT_TRUE(mManager.LoadNextResource());
  EXPECT_EQ(mManager.GetSoundThrow("M"), 0);
  EXPECT_EQ(mManager.GetFont("A"), nullptr);
  ASSERT_TRUE(mManager.LoadNextResource());
  EXPECT_NE(mManager.GetFont("A"), nullptr);
  EXPECT_FALSE(mManager.LoadNextResource());
}

}  // namespace
