// Images that the manifest asks to keep in a DirectDraw surface, loaded while a display runs.
#include <gtest/gtest.h>

#include <cstdlib>

#include "framework/resource/ResourceManager.h"
#include "tests/resource/TestImageFiles.h"
#include "tests/resource/TestResourceHost.h"
#include "tests/support/ScreenFixture.h"
#include "tests/support/TempDir.h"

namespace {

using Kit::DDImage;

class ResourceSurfaceTest : public testsupport::RunningScreenTest {
 protected:
  void SetUp() override {
    RunningScreenTest::SetUp();
    mResources.makeImage = [this] { return std::make_unique<DDImage>(mDisplay.get()); };
  }
  void TearDown() override {
    mManager.reset();
    ScreenTest::TearDown();
  }

  void Load(const std::string& images) {
    ASSERT_TRUE(testimages::WriteSolidPNG(mDir / "solid.png", 12, 8, 0xFF20A060));
    ASSERT_TRUE(testimages::WriteSolidPNG(mDir / "half.png", 12, 8, 0x8020A060));
    const std::string path =
        mDir.Write("resources.xml", "<ResourceManifest><Resources id=\"Game\"><SetDefaults path=\"" +
                                        mDir.Path().string() + "\"/>" + images + "</Resources></ResourceManifest>");
    ASSERT_TRUE(mManager->ParseResourcesFile(path)) << mManager->GetErrorText();
    ASSERT_TRUE(mManager->LoadResources("Game")) << mManager->GetErrorText();
  }
  DDImage* Loaded(const std::string& id) { return dynamic_cast<DDImage*>(mManager->GetImageThrow(id).GetImage()); }

  static bool Near(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift < 32; shift += 8)
      if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 8) return false;
    return true;
  }

  testsupport::TempDir mDir;
  testresources::TestResourceHost mResources;
  std::unique_ptr<Kit::ResourceManager> mManager = std::make_unique<Kit::ResourceManager>(&mResources);
};

// An opaque image moves into its surface; translucent and plain ones keep their pixels. (The display's
// own tests restore surfaces after a restart.)
TEST_P(ResourceSurfaceTest, OnlyOpaqueImagesMoveIntoTheirSurface) {
  Load(
      "<Image id=\"Solid\" path=\"solid.png\" ddsurface/><Image id=\"Half\" path=\"half.png\" ddsurface/>"
      "<Image id=\"Plain\" path=\"solid.png\" variant=\"p\"/>");
  DDImage* solid = Loaded("Solid");
  ASSERT_NE(solid, nullptr);
  EXPECT_TRUE(solid->mWantDDSurface && solid->mPurgeBits);
  ASSERT_NE(solid->mSurface, nullptr) << "the surface holds the picture";
  EXPECT_EQ(solid->mBits, nullptr) << "its pixels are not kept twice";
  const std::uint32_t* bits = solid->GetBits();
  ASSERT_NE(bits, nullptr) << "read back from the surface";
  EXPECT_TRUE(Near(bits[12 * 8 - 1], 0xFF20A060)) << std::hex << bits[12 * 8 - 1];
  for (const char* id : {"Half", "Plain"}) {
    DDImage* image = Loaded(id);
    ASSERT_NE(image, nullptr) << id;
    EXPECT_FALSE(image->mWantDDSurface || image->mPurgeBits) << id;
    EXPECT_EQ(image->mSurface, nullptr) << id;
  }
  EXPECT_EQ(Loaded("Half")->GetBits()[0], 0x8020A060u);
}

INSTANTIATE_TEST_SUITE_P(Formats, ResourceSurfaceTest, testing::ValuesIn(testsupport::kScreenFormats),
                         testsupport::ScreenFormatName);

}  // namespace
