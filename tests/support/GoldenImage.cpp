#include "tests/support/GoldenImage.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "framework/resource/PNGReader.h"
#include "framework/resource/PNGWriter.h"
#include "tests/support/TestData.h"

namespace testsupport {

namespace {

std::string GoldenPath(const std::string& name) { return TestDataPath("golden/" + name + ".png"); }

bool Write(const std::string& path, const std::uint32_t* pixels, int width, int height) {
  ImageLib::Image image;
  if (!image.Allocate(width, height)) return false;
  std::copy(pixels, pixels + image.GetPixelCount(), image.GetBits());
  return ImageLib::WritePNGImage(path, image);
}

}  // namespace

testing::AssertionResult MatchesGolden(const std::string& name, const std::uint32_t* pixels, int width, int height) {
  const std::string path = GoldenPath(name);
  const char* update = std::getenv("KIT_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    if (!Write(path, pixels, width, height)) return testing::AssertionFailure() << "cannot write " << path;
    return testing::AssertionSuccess();
  }

  auto golden = ImageLib::GetPNGImage(path);
  if (!golden) return testing::AssertionFailure() << "no golden image " << path;
  auto failure = [&]() {
    Write(name + ".actual.png", pixels, width, height);
    return testing::AssertionFailure();
  };
  if (golden->GetWidth() != width || golden->GetHeight() != height)
    return failure() << name << ": drawn " << width << "x" << height << ", golden " << golden->GetWidth() << "x"
                     << golden->GetHeight();
  int differing = 0;
  std::ostringstream first;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint32_t drawn = pixels[y * width + x];
      const std::uint32_t expected = golden->GetBits()[y * width + x];
      if (drawn == expected) continue;
      if (differing++ == 0)
        first << std::hex << " first at (" << std::dec << x << ", " << y << "): drawn 0x" << std::hex << drawn
              << ", golden 0x" << expected;
    }
  if (differing) return failure() << name << ": " << differing << " pixels differ;" << first.str();
  return testing::AssertionSuccess();
}

}  // namespace testsupport
