#include "framework/resource/ImageLoader.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "framework/resource/ImageLib.h"
#include "tests/resource/TestImageFiles.h"
#include "tests/support/TempDir.h"

namespace {

using namespace testimages;

// Writes a one-colour picture of the given size as a PNG, a TGA or a GIF.
class ImageLoaderTest : public testing::Test {
 protected:
  void WritePNG(const std::string& name, int width, int height, uint32_t color) {
    ASSERT_TRUE(testimages::WriteSolidPNG(mDir / name, width, height, color));
  }
  void WriteTGA(const std::string& name, int width, int height, uint32_t color) {
    mDir.Write(name, TGABytes(width, height, std::vector<uint32_t>(width * height, color)));
  }
  void WriteGIF(const std::string& name, uint32_t rgb) {
    GIFFrame frame;
    frame.width = frame.height = 2;
    frame.indices = {0, 0, 0, 0};
    mDir.Write(name, GIFBytes({rgb, 0}, {frame}, 2));
  }
  // A program path with backslashes, as the game writes them.
  std::string ProgramPath(const std::string& name) { return mDir.Path().string() + "\\" + name; }

  uint32_t FirstPixel(const std::string& name, bool lookForAlpha) {
    auto image = ImageLib::GetImage(ProgramPath(name), lookForAlpha);
    EXPECT_NE(image, nullptr) << name;
    return image ? image->GetBits()[0] : 0xDEADBEEF;
  }

  testsupport::TempDir mDir;
};

TEST_F(ImageLoaderTest, NameWithoutExtensionTriesTGAThenJPEGThenPNGThenGIF) {
  WriteGIF("images/logo.gif", 0x00FF00);
  EXPECT_EQ(FirstPixel("images\\logo", false), 0xFF00FF00u);
  WritePNG("images/logo.png", 2, 2, 0xFF0000FF);
  EXPECT_EQ(FirstPixel("images\\logo", false), 0xFF0000FFu);
  WriteTGA("images/logo.tga", 2, 2, 0xFFFF0000);
  EXPECT_EQ(FirstPixel("images\\logo", false), 0xFFFF0000u);
}

TEST_F(ImageLoaderTest, ExtensionPicksOneReaderIgnoringCase) {
  WritePNG("images/logo.png", 2, 2, 0xFF0000FF);
  WriteTGA("images/logo.tga", 2, 2, 0xFFFF0000);
  EXPECT_EQ(FirstPixel("images\\logo.PNG", false), 0xFF0000FFu);
  EXPECT_EQ(ImageLib::GetImage(ProgramPath("images\\logo.jpeg"), false), nullptr);
  EXPECT_EQ(ImageLib::GetImage(ProgramPath("images\\logo.bmp"), false), nullptr);
  EXPECT_EQ(ImageLib::GetImage(ProgramPath("images\\missing"), true), nullptr);
}

TEST_F(ImageLoaderTest, DotInAFolderNameIsNoExtension) {
  WritePNG("v1.2/logo.png", 2, 2, 0xFF123456);
  EXPECT_EQ(FirstPixel("v1.2\\logo", false), 0xFF123456u);
}

TEST_F(ImageLoaderTest, AlphaFileGivesItsBlueChannelAsAlpha) {
  WritePNG("images/logo.png", 2, 2, 0xFF102030);
  WritePNG("images/_logo.png", 2, 2, 0xFF000040);
  EXPECT_EQ(FirstPixel("images\\logo.png", true), 0x40102030u);
  EXPECT_EQ(FirstPixel("images\\logo.png", false), 0xFF102030u);
}

TEST_F(ImageLoaderTest, UnderscoreBeforeTheNameIsPreferredToAfter) {
  WritePNG("images/logo.png", 2, 2, 0xFF102030);
  WritePNG("images/logo_.png", 2, 2, 0xFF000011);
  EXPECT_EQ(FirstPixel("images\\logo", true), 0x11102030u);
  WriteTGA("images/_logo.tga", 2, 2, 0xFF000022);
  EXPECT_EQ(FirstPixel("images\\logo", true), 0x22102030u);
}

TEST_F(ImageLoaderTest, AlphaFileAloneGivesAComposeColouredImage) {
  WritePNG("images/_glow.png", 3, 1, 0xFF7F7F7F);
  EXPECT_EQ(FirstPixel("images\\glow.png", true), 0x7FFFFFFFu);
  ImageLib::gAlphaComposeColor = 0x00FF8000;
  EXPECT_EQ(FirstPixel("images\\glow.png", true), 0x7FFF8000u);
  ImageLib::gAlphaComposeColor = 0xFFFFFF;
}

TEST_F(ImageLoaderTest, AlphaFileOfAnotherSizeIsIgnored) {
  WritePNG("images/logo.png", 2, 2, 0xFF102030);
  WritePNG("images/_logo.png", 3, 2, 0xFF000040);
  EXPECT_EQ(FirstPixel("images\\logo.png", true), 0xFF102030u);
}

}  // namespace
