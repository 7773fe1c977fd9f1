#include "framework/resource/ImageLoader.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/resource/ImageLib.h"
#include "tests/resource/TestImageFiles.h"
#include "tests/support/TempDir.h"

namespace {

using namespace testimages;

struct File {
  const char* name;  // its extension picks the writer: png, tga or gif
  uint32_t color;
  int width = 2;
};

// Each case adds its files to one folder, then asks for a program path (backslashes, as the game
// writes them): the first pixel read, or 0 for no picture.
TEST(ImageLoader, FindsTheFileAndItsAlphaCompanion) {
  const struct {
    std::vector<File> files;
    const char* path;
    bool lookForAlpha;
    uint32_t firstPixel;
  } cases[] = {
      // Without an extension: TGA, then JPEG, then PNG, then GIF.
      {{{"a/logo.gif", 0x00FF00}}, "a\\logo", false, 0xFF00FF00},
      {{{"a/logo.png", 0xFF0000FF}}, "a\\logo", false, 0xFF0000FF},
      {{{"a/logo.tga", 0xFFFF0000}}, "a\\logo", false, 0xFFFF0000},
      // An extension picks one reader, in any letter case.
      {{}, "a\\logo.PNG", false, 0xFF0000FF},
      {{}, "a\\logo.jpeg", false, 0},
      {{}, "a\\logo.bmp", false, 0},
      {{}, "a\\missing", true, 0},
      {{{"v1.2/logo.png", 0xFF123456}}, "v1.2\\logo", false, 0xFF123456},  // a dot in a folder is no extension
      // The alpha file's blue channel is the alpha; "_name" is preferred to "name_".
      {{{"b/logo.png", 0xFF102030}, {"b/logo_.png", 0xFF000011}}, "b\\logo", true, 0x11102030},
      {{}, "b\\logo.png", false, 0xFF102030},
      {{{"b/_logo.tga", 0xFF000022}}, "b\\logo", true, 0x22102030},
      {{{"c/logo.png", 0xFF102030}, {"c/_logo.png", 0xFF000040, 3}}, "c\\logo.png", true, 0xFF102030},  // size differs
      {{{"d/_glow.png", 0xFF7F7F7F}}, "d\\glow.png", true, 0x7FFFFFFF},  // alone: the compose colour
  };
  testsupport::TempDir dir;
  for (const auto& c : cases) {
    for (const File& file : c.files) {
      const std::string name = file.name;
      const std::vector<uint32_t> pixels(file.width * 2, file.color);
      GIFFrame frame;
      frame.width = frame.height = 2;
      frame.indices = {0, 0, 0, 0};
      if (name.ends_with(".png")) {
        ASSERT_TRUE(WriteSolidPNG(dir / name, file.width, 2, file.color));
      }
      if (name.ends_with(".tga")) dir.Write(name, TGABytes(file.width, 2, pixels));
      if (name.ends_with(".gif")) dir.Write(name, GIFBytes({file.color, 0}, {frame}, 2));
    }
    auto image = ImageLib::GetImage(dir.Path().string() + "\\" + c.path, c.lookForAlpha);
    EXPECT_EQ(image ? image->GetBits()[0] : 0, c.firstPixel) << c.path;
  }
}

}  // namespace
