#include "framework/resource/ResourceManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "framework/font/ImageFont.h"
#include "framework/resource/ResourceManagerException.h"
#include "tests/resource/TestImageFiles.h"
#include "tests/resource/TestResourceHost.h"
#include "tests/support/TempDir.h"

namespace {

using Kit::ResourceManager;

// A manager over a manifest and the pictures it names, all in a temporary folder.
class ResourceManagerTest : public testing::Test {
 protected:
  void WritePNG(const std::string& name, int width, int height, uint32_t color) {
    ASSERT_TRUE(testimages::WriteSolidPNG(mDir / name, width, height, color));
  }
  // Parses a manifest whose default path is the temporary folder.
  void Manifest(const std::string& sections) {
    std::string path =
        mDir.Write("resources.xml", "<ResourceManifest><Resources id=\"Defaults\"><SetDefaults path=\"" +
                                        mDir.Path().string() + "\"/></Resources>" + sections + "</ResourceManifest>");
    ASSERT_TRUE(mManager.ParseResourcesFile(path)) << mManager.GetErrorText();
  }
  // Font descriptors and a glyph strip with its width file, in fonts/.
  void WriteFonts() {
    mDir.Write("fonts/plain.txt", "SetDefaultPointSize 12; CreateLayer Main; LayerSetAscent Main 7;");
    mDir.Write("fonts/broken.txt", "CreateLayer Main; Frobnicate Main;");
    mDir.Write("fonts/strip.txt", "4 9\na 3\nb 5\n");
    WritePNG("fonts/strip.png", 8, 10, 0);
  }
  std::string Folder() const { return mDir.Path().string() + "/"; }
  // The text of what the getter throws.
  static std::string Thrown(const std::function<void()>& get) {
    try {
      get();
    } catch (const Kit::ResourceManagerException& e) {
      return e.what();
    }
    return "no exception";
  }
  Kit::MemoryImage* Loaded(const std::string& id) { return mManager.GetImageThrow(id).GetImage(); }
  ResourceManager::ImageRes& Record(const std::string& id) {
    return static_cast<ResourceManager::ImageRes&>(*mManager.GetImageMap().at(id));
  }
  ResourceManager::FontRes& FontRecord(const std::string& id) {
    return static_cast<ResourceManager::FontRes&>(*mManager.GetFontMap().at(id));
  }

  testsupport::TempDir mDir;
  testresources::TestResourceHost mHost;
  ResourceManager mManager{&mHost};
};

TEST_F(ResourceManagerTest, LoadsAGroupAndAppliesTheRecordToTheImage) {
  WritePNG("a.png", 8, 4, 0xFF102030);
  WritePNG("b.png", 6, 6, 0x80405060);
  Manifest(
      "<Resources id=\"Game\">"
      "<Image id=\"A\" path=\"a.png\" rows=\"2\" cols=\"4\" anim=\"loop\" a4r4g4b4 minsubdivide nopal/>"
      "<Image id=\"B\" path=\"b.png\" a8r8g8b8/>"
      "</Resources><Resources id=\"Other\"><Image id=\"C\" path=\"a.png\" variant=\"v\"/></Resources>"
      "<Resources id=\"Empty\"></Resources>");
  EXPECT_TRUE(mManager.LoadResources("Empty"));
  EXPECT_TRUE(mManager.IsGroupLoaded("empty")) << "group names compare without case";
  EXPECT_EQ(mManager.GetNumResources("Empty"), 0);
  EXPECT_EQ(mManager.GetNumImages("Game"), 2);
  ASSERT_TRUE(mManager.LoadResources("Game")) << mManager.GetErrorText();
  Kit::MemoryImage* a = Loaded("A");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->GetWidth(), 8);
  EXPECT_EQ(a->mNumRows, 2);
  EXPECT_EQ(a->mNumCols, 4);
  EXPECT_EQ(a->GetCelWidth(), 2);
  ASSERT_NE(a->mAnimInfo, nullptr);
  EXPECT_EQ(a->mAnimInfo->mNumCels, 4);
  EXPECT_EQ(a->mD3DFlags, 4 | 1);
  EXPECT_EQ(a->GetBits()[0], 0xFF102030u);
  Kit::MemoryImage* b = Loaded("B");
  EXPECT_EQ(b->mD3DFlags, 8);
  EXPECT_EQ(b->mAnimInfo, nullptr);
  EXPECT_TRUE(b->mHasAlpha);
  EXPECT_FALSE(Record("C").mImage.GetImage()) << "another group is not loaded";
  EXPECT_THROW(mManager.GetImageThrow("C"), Kit::ResourceManagerException);
}

TEST_F(ResourceManagerTest, StepLoadingCountsEveryResourceOfTheGroup) {
  for (int i = 0; i < 5; ++i) WritePNG("p" + std::to_string(i) + ".png", 2, 2, 0xFF000000u + i);
  Manifest(
      "<Resources id=\"Game\"><Image id=\"P3\" path=\"p3.png\"/><Image id=\"P1\" path=\"p1.png\"/>"
      "<Image id=\"P0\" path=\"p0.png\"/><Image id=\"X\" path=\"!program\"/></Resources>"
      "<Resources id=\"Init\"><Image id=\"P2\" path=\"p2.png\"/><Image id=\"P4\" path=\"p4.png\"/></Resources>");
  EXPECT_EQ(mManager.GetNumResources("Game"), 3) << "program images are not loaded from files";
  EXPECT_EQ(mManager.GetNumResources(""), 6);
  mManager.StartLoadResources("Game");
  std::vector<std::string> order;
  while (mManager.LoadNextResource()) {
    for (const auto& [id, record] : mManager.GetImageMap()) {
      auto& image = static_cast<ResourceManager::ImageRes&>(*record);
      if (image.mImage.GetImage() && std::find(order.begin(), order.end(), id) == order.end()) order.push_back(id);
    }
  }
  EXPECT_FALSE(mManager.HadError());
  EXPECT_EQ(order, (std::vector<std::string>{"P0", "P1", "P3"}));
  EXPECT_FALSE(Record("X").mImage.GetImage());
  EXPECT_FALSE(Record("P2").mImage.GetImage());
}

TEST_F(ResourceManagerTest, MissingFileStopsLoadingAndARetryStartsClean) {
  WritePNG("a.png", 2, 2, 0xFF000000);
  Manifest(
      "<Resources id=\"Game\"><Image id=\"A\" path=\"a.png\"/><Image id=\"B\" path=\"missing.png\"/>"
      "<Image id=\"C\" path=\"a.png\" variant=\"2\"/></Resources>");
  EXPECT_FALSE(mManager.LoadResources("Game"));
  EXPECT_EQ(mManager.GetErrorText(), "Failed to load image: " + Folder() + "missing.png");
  EXPECT_FALSE(Record("C").mImage.GetImage()) << "nothing loads after the error";
  EXPECT_FALSE(mManager.LoadNextResource());
  EXPECT_FALSE(mManager.IsGroupLoaded("Game"));

  WritePNG("missing.png", 2, 2, 0xFF000000);
  EXPECT_TRUE(mManager.LoadResources("Game")) << mManager.GetErrorText();
  EXPECT_FALSE(mManager.HadError());
  EXPECT_TRUE(Record("C").mImage.GetImage());
}

TEST_F(ResourceManagerTest, SharedFileLoadsOnceAndItsAlphaIsAppliedOnce) {
  WritePNG("a.png", 2, 1, 0xFF102030);
  WritePNG("mask.png", 2, 1, 0xFF000080);
  Manifest(
      "<Resources id=\"One\"><Image id=\"A\" path=\"a.png\" alphaimage=\"mask.png\"/></Resources>"
      "<Resources id=\"Two\"><Image id=\"B\" path=\"a.png\" alphaimage=\"missing.png\"/></Resources>");
  ASSERT_TRUE(mManager.LoadResources("One")) << mManager.GetErrorText();
  ASSERT_TRUE(mManager.LoadResources("Two")) << mManager.GetErrorText();
  EXPECT_EQ(mHost.loads, 1);
  EXPECT_EQ(Loaded("A"), Loaded("B"));
  EXPECT_EQ(Loaded("B")->GetBits()[1], 0x80102030u);
}

TEST_F(ResourceManagerTest, AlphaImageAndGridErrors) {
  WritePNG("a.png", 4, 2, 0xFF102030);
  WritePNG("wide.png", 5, 2, 0xFF000080);
  WritePNG("cell.png", 2, 1, 0xFF000040);
  Manifest(
      "<Resources id=\"Size\"><Image id=\"A\" path=\"a.png\" alphaimage=\"wide.png\"/></Resources>"
      "<Resources id=\"Gone\"><Image id=\"B\" path=\"a.png\" variant=\"b\" alphagrid=\"gone.png\"/></Resources>"
      "<Resources id=\"Grid\"><Image id=\"C\" path=\"a.png\" variant=\"c\" rows=\"2\" cols=\"2\" "
      "alphagrid=\"cell.png\"/></Resources>"
      "<Resources id=\"Cells\"><Image id=\"D\" path=\"a.png\" variant=\"d\" rows=\"1\" cols=\"2\" "
      "alphagrid=\"cell.png\"/></Resources>");
  const std::string folder = Folder();
  EXPECT_FALSE(mManager.LoadResources("Size"));
  EXPECT_EQ(mManager.GetErrorText(), "AlphaImage size mismatch between " + folder + "a.png and " + folder + "wide.png");
  EXPECT_FALSE(Record("A").mImage.GetImage());
  EXPECT_FALSE(mManager.LoadResources("Gone"));
  EXPECT_EQ(mManager.GetErrorText(), "Failed to load image: " + folder + "gone.png");
  ASSERT_TRUE(mManager.LoadResources("Grid")) << mManager.GetErrorText();
  for (int i = 0; i < 8; ++i) EXPECT_EQ(Loaded("C")->GetBits()[i], 0x40102030u) << i;
  EXPECT_FALSE(mManager.LoadResources("Cells"));
  EXPECT_EQ(mManager.GetErrorText(),
            "GridAlphaImage size mismatch between " + folder + "a.png and " + folder + "cell.png");
}

TEST_F(ResourceManagerTest, AlphaColourColoursAnAlphaOnlyImage) {
  WritePNG("_glow.png", 1, 1, 0xFF000099);
  Manifest("<Resources id=\"Game\"><Image id=\"G\" path=\"glow.png\" alphacolor=\"FF0000\"/></Resources>");
  ASSERT_TRUE(mManager.LoadResources("Game")) << mManager.GetErrorText();
  EXPECT_EQ(Loaded("G")->GetBits()[0], 0x99FF0000u);
  EXPECT_EQ(ImageLib::gAlphaComposeColor, 0xFFFFFFu);
}

TEST_F(ResourceManagerTest, DeletingAGroupFreesOnlyItsImages) {
  WritePNG("a.png", 2, 2, 0xFF000000);
  WritePNG("b.png", 2, 2, 0xFF000000);
  Manifest(
      "<Resources id=\"One\"><Image id=\"A\" path=\"a.png\"/></Resources>"
      "<Resources id=\"Two\"><Image id=\"B\" path=\"b.png\"/></Resources>");
  ASSERT_TRUE(mManager.LoadResources("One"));
  ASSERT_TRUE(mManager.LoadResources("Two"));
  Kit::SharedImage* a = mManager.GetImageThrow("A").mSharedImage;
  mManager.DeleteResources("One");
  EXPECT_EQ(a->mRefCount, 0) << "the manager held the only reference";
  EXPECT_FALSE(mManager.IsGroupLoaded("One"));
  EXPECT_TRUE(mManager.IsGroupLoaded("Two"));
  EXPECT_NE(Loaded("B"), nullptr);
  EXPECT_THROW(mManager.GetImageThrow("A"), Kit::ResourceManagerException);
  ASSERT_TRUE(mManager.LoadResources("One"));
  EXPECT_NE(Loaded("A"), nullptr);
  EXPECT_EQ(mHost.loads, 3);
}

TEST_F(ResourceManagerTest, GettersThrowWithTheFirstError) {
  Manifest("<Resources id=\"Game\"><Image id=\"P\" path=\"!program\"/><Sound id=\"S\" path=\"s.wav\"/></Resources>");
  EXPECT_EQ(Thrown([&] { mManager.GetImageThrow("NOPE"); }), "Image resource not found: NOPE");
  EXPECT_EQ(Thrown([&] { mManager.GetSoundThrow("S"); }), "Image resource not found: NOPE") << "the first error counts";
  EXPECT_THROW(mManager.GetImageThrow("P"), Kit::ResourceManagerException);
  mManager.SetAllowMissingProgramImages(true);
  EXPECT_EQ(mManager.GetImageThrow("P").GetImage(), nullptr);
}

// Freeing on another thread than the one that loaded (the application's loading thread) leaves a
// still-held image alone.
TEST_F(ResourceManagerTest, AnImageHeldWhileItsGroupIsFreedOnAnotherThreadStays) {
  WritePNG("img.png", 16, 16, 0xFF000007u);
  Manifest("<Resources id=\"Game\"><Image id=\"I\" path=\"img.png\"/></Resources>");
  std::thread([&] { EXPECT_TRUE(mManager.LoadResources("Game")); }).join();
  Kit::ResourceImageRef kept = mManager.GetImageThrow("I");
  std::thread([&] { mManager.DeleteResources("Game"); }).join();
  mHost.Tick();
  EXPECT_EQ(kept.GetImage()->GetBits()[0], 0xFF000007u);
}

TEST_F(ResourceManagerTest, SoundsGetRisingIdsAndTheirBaseVolumeAndPan) {
  testresources::RecordingSoundManager sounds;
  sounds.missing.insert(Folder() + "gone.wav");
  mHost.sounds = &sounds;
  Manifest(
      "<Resources id=\"Game\"><Sound id=\"B\" path=\"b.wav\" volume=\"0.5\" pan=\"-200\"/>"
      "<Sound id=\"A\" path=\"a.wav\"/><Sound id=\"C\" path=\"c.wav\" volume=\"0\"/></Resources>"
      "<Resources id=\"Gone\"><Sound id=\"G\" path=\"gone.wav\"/></Resources>");
  ASSERT_TRUE(mManager.LoadResources("Game")) << mManager.GetErrorText();
  EXPECT_EQ(mManager.GetSoundThrow("A"), 0);
  EXPECT_EQ(mManager.GetSoundThrow("B"), 1);
  EXPECT_EQ(mManager.GetSoundThrow("C"), 2);
  const std::string folder = Folder();
  EXPECT_EQ(sounds.loaded.at(0).path, folder + "a.wav");
  EXPECT_EQ(sounds.loaded.at(0).baseVolume, -1.0) << "no volume keeps the base volume";
  EXPECT_EQ(sounds.loaded.at(0).basePan, 0);
  EXPECT_EQ(sounds.loaded.at(1).baseVolume, 0.5);
  EXPECT_EQ(sounds.loaded.at(1).basePan, -200);
  EXPECT_EQ(sounds.loaded.at(2).baseVolume, 0.0);

  mManager.DeleteResources("Game");
  EXPECT_THROW(mManager.GetSoundThrow("A"), Kit::ResourceManagerException);
  ASSERT_TRUE(mManager.LoadResources("Game"));
  EXPECT_EQ(mManager.GetSoundThrow("A"), 3) << "ids are never reused";
  EXPECT_EQ(mManager.GetSoundThrow("C"), 5);
  EXPECT_FALSE(mManager.LoadResources("Gone"));
  EXPECT_EQ(mManager.GetErrorText(), "Failed to load sound: " + Folder() + "gone.wav");
}

TEST_F(ResourceManagerTest, HostMakesSoftwareImagesWithTheirAlphaFile) {
  WritePNG("pic.png", 3, 2, 0xFF112233);
  WritePNG("_pic.png", 3, 2, 0xFF000080);
  std::unique_ptr<Kit::Image> image = mHost.GetImage(mDir / "pic.png");
  auto* software = dynamic_cast<Kit::MemoryImage*>(image.get());
  ASSERT_NE(software, nullptr);
  EXPECT_EQ(software->GetWidth(), 3);
  EXPECT_EQ(software->GetBits()[5], 0x80112233u);
  EXPECT_EQ(mHost.GetImage(mDir / "none.png"), nullptr);
}

TEST_F(ResourceManagerTest, DescriptorFontLoadsWithItsTags) {
  WriteFonts();
  Manifest("<Resources id=\"Game\"><Font id=\"F\" path=\"fonts/plain.txt\" tags=\"bold, shadow\tbig\"/></Resources>");
  ASSERT_TRUE(mManager.LoadResources("Game")) << mManager.GetErrorText();
  auto* font = dynamic_cast<Kit::ImageFont*>(mManager.GetFontThrow("F"));
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->mTagVector, (std::vector<std::string>{"BOLD", "SHADOW", "BIG"}));
  EXPECT_EQ(mManager.GetFont("F"), font);
  EXPECT_EQ(mManager.GetFont("NONE"), nullptr);
  EXPECT_FALSE(mManager.HadError()) << "GetFont never fails";
}

TEST_F(ResourceManagerTest, GlyphImageFontAndItsCopyOutliveTheOriginalGroup) {
  WriteFonts();
  Manifest("<Resources id=\"Init\"><Font id=\"A\" path=\"fonts/strip.txt\" image=\"" + Folder() +
           "fonts/strip.png\"/></Resources>"
           "<Resources id=\"Game\"><Font id=\"B\" path=\"!ref:A\"/></Resources>");
  ASSERT_TRUE(mManager.LoadResources("Init")) << mManager.GetErrorText();
  ASSERT_TRUE(mManager.LoadResources("Game")) << mManager.GetErrorText();
  Kit::Font* copy = mManager.GetFontThrow("B");
  EXPECT_NE(copy, mManager.GetFontThrow("A"));
  EXPECT_EQ(copy->StringWidth("ab"), 8);
  std::weak_ptr<Kit::Image> sheet = FontRecord("A").mImage;
  mManager.DeleteResources("Init");
  EXPECT_EQ(FontRecord("A").mFont, nullptr);
  EXPECT_FALSE(sheet.expired()) << "the copy still draws from the glyph image";
  EXPECT_EQ(copy->StringWidth("ba"), 8);
  mManager.DeleteResources("Game");
  EXPECT_TRUE(sheet.expired());
}

TEST_F(ResourceManagerTest, FontErrors) {
  WriteFonts();
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
  mManager.LoadResources("Empty");
  EXPECT_EQ(Thrown([&] { mManager.GetFontThrow("D"); }), "Font resource not found: D");
}

TEST_F(ResourceManagerTest, FontsLoadAfterImagesAndSounds) {
  WriteFonts();
  WritePNG("z.png", 1, 1, 0);
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
