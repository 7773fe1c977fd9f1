#include "tests/screens/WindowShot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "framework/graphics/MemoryImage.h"
#include "framework/resource/Image.h"
#include "framework/resource/PNGWriter.h"

namespace testsupport {

namespace {

constexpr int kChannelTolerance = 8;  // the window may hold fewer bits per channel than the images

std::uint32_t ImagePixel(Kit::Image* image, int x, int y) {
  auto* pixels = dynamic_cast<Kit::MemoryImage*>(image);
  if (pixels == nullptr || pixels->GetBits() == nullptr) return 0;
  return pixels->GetBits()[y * image->GetWidth() + x];
}

}  // namespace

bool NearColour(std::uint32_t a, std::uint32_t b) {
  for (int shift : {0, 8, 16}) {
    const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (difference > kChannelTolerance || difference < -kChannelTolerance) return false;
  }
  return true;
}

void ExpectShows(const WindowShot& shot, const std::string& name, const std::vector<KnownPixel>& known) {
  for (const KnownPixel& pixel : known) {
    const std::uint32_t expected = ImagePixel(pixel.image, pixel.x, pixel.y);
    const std::uint32_t seen = shot.At(pixel.left + pixel.x, pixel.top + pixel.y);
    EXPECT_TRUE(NearColour(seen, expected)) << name << " at " << pixel.left + pixel.x << "," << pixel.top + pixel.y
                                            << ": " << std::hex << seen << " instead of " << expected;
  }
}

void ExpectOneColour(const WindowShot& shot, const std::string& name, int y, int x0, int x1) {
  for (int x = x0 + 1; x < x1; ++x)
    if (!NearColour(shot.At(x, y), shot.At(x0, y))) {
      ADD_FAILURE() << name << ": row " << y << " changes colour at x " << x << ": " << std::hex << shot.At(x, y)
                    << " after " << shot.At(x0, y);
      return;
    }
}

void WriteHalfSize(const WindowShot& shot, const std::string& path) {
  ImageLib::Image half;
  ASSERT_TRUE(half.Allocate(shot.width / 2, shot.height / 2));
  std::uint32_t* bits = half.GetBits();
  for (int y = 0; y < shot.height / 2; ++y) {
    for (int x = 0; x < shot.width / 2; ++x) {
      std::uint32_t mean = 0xFF000000;
      for (int shift : {0, 8, 16}) {
        std::uint32_t sum = 0;
        for (int dy = 0; dy < 2; ++dy)
          for (int dx = 0; dx < 2; ++dx) sum += (shot.At(2 * x + dx, 2 * y + dy) >> shift) & 0xFF;
        mean |= (sum / 4) << shift;
      }
      bits[y * half.GetWidth() + x] = mean;
    }
  }
  EXPECT_TRUE(ImageLib::WritePNGImage(path, half)) << path;
}

void WriteWhole(const WindowShot& shot, const std::string& path) {
  ImageLib::Image whole;
  ASSERT_TRUE(whole.Allocate(shot.width, shot.height));
  for (std::size_t i = 0; i < shot.argb.size(); ++i) whole.GetBits()[i] = shot.argb[i] | 0xFF000000;
  EXPECT_TRUE(ImageLib::WritePNGImage(path, whole)) << path;
}

void WriteReadmeShot(const WindowShot& shot, const std::string& name, const std::vector<std::string>& readmeShots) {
  const char* folder = std::getenv("QUARVEL_SHOTS_DIR");
  if (folder == nullptr || std::find(readmeShots.begin(), readmeShots.end(), name) == readmeShots.end()) return;
  WriteHalfSize(shot, std::string(folder) + "/" + name + ".png");
}

}  // namespace testsupport
