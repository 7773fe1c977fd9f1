// Matrix and textured-triangle blits drawn straight into the locked surfaces of surface images on
// 16-bit (5-6-5, 5-5-5) and 32-bit displays.
#include "tests/support/PixelModel.h"
#include "tests/support/ScreenFixture.h"

#include <cstring>
#include <random>

namespace testsupport {
namespace {

class SurfaceRaster : public RunningScreenTest {
 protected:
  int BytesPerPixel() const { return mDisplay->mRGBBits / 8; }
  model::Group Group() const {
    if (mDisplay->mRGBBits == 32) return model::Group::RGB32;
    return mDisplay->mGreenBits == 6 ? model::Group::RGB565 : model::Group::RGB555;
  }

  // The surface's rows as raw bytes, width x bytes per pixel each.
  std::vector<std::uint8_t> Raw(Kit::DDImage& image) {
    std::vector<std::uint8_t> out;
    if (!image.LockSurface()) return out;
    const auto& desc = image.mLockedSurfaceDesc;
    for (int y = 0; y < image.mHeight; ++y) {
      const auto* row = static_cast<const std::uint8_t*>(desc.lpSurface) + static_cast<std::ptrdiff_t>(y) * desc.lPitch;
      out.insert(out.end(), row, row + image.mWidth * BytesPerPixel());
    }
    image.UnlockSurface();
    return out;
  }
};

TEST_P(SurfaceRaster, TrianglesDrawnIntoTheSurfaceMatchTheModel) {
  constexpr int W = 40, H = 30;
  std::mt19937 rng(11);
  for (int round = 0; round < 60; ++round) {
    std::vector<std::uint32_t> pixels(W * H);
    for (auto& p : pixels) p = static_cast<std::uint32_t>(rng()) | 0xFF000000u;
    auto image = MakeImage(pixels, W, H);
    ASSERT_NE(image->GetSurface(), nullptr);
    auto expected = Raw(*image);
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(W * H * BytesPerPixel()));
    model::TriangleCall call(rng, W, H, round);
    call.Draw(Group(), {expected.data(), W * BytesPerPixel(), W, H});
    image->BltTrianglesTex(call.Texture(), call.tri, 1, Kit::Rect(0, 0, W, H), call.color, 0, 0, 0, call.blend);
    ASSERT_EQ(Raw(*image), expected) << "round " << round;
    EXPECT_EQ(image->mBits, nullptr) << "the surface is left the only copy";
  }
}

TEST_P(SurfaceRaster, AMatrixBlitChangesOnlyTheClipRectangle) {
  constexpr int W = 24, H = 20;
  auto image = MakeImage(std::vector<std::uint32_t>(W * H, 0xFF000000), W, H);
  ASSERT_NE(image->GetSurface(), nullptr);
  const auto before = Raw(*image);
  Kit::MemoryImage sprite;
  sprite.SetBits(std::vector<std::uint32_t>(16, 0xFFFFFFFF).data(), 4, 4);
  Kit::Matrix3 big;
  big.m[0][0] = big.m[1][1] = 20;
  const Kit::Rect clip(5, 3, 9, 11);
  image->BltMatrix(&sprite, 12, 10, big, clip, Kit::Color::White, 0, Kit::Rect(0, 0, 4, 4), false);
  const auto after = Raw(*image);
  const int bpp = BytesPerPixel();
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const bool changed = std::memcmp(&after[(y * W + x) * bpp], &before[(y * W + x) * bpp], bpp) != 0;
      ASSERT_EQ(changed, clip.Contains(x, y)) << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Roads, SurfaceRaster, testing::ValuesIn(kScreenFormats), ScreenFormatName);

}  // namespace
}  // namespace testsupport
