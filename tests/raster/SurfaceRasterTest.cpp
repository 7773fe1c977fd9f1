// Matrix and textured-triangle blits drawn straight into the locked surfaces of surface images on
// 16-bit (5-6-5, 5-5-5) and 32-bit displays.
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "platform/ddraw/DisplaySettings.h"
#include "platform/win/Window.h"
#include "tests/support/PixelModel.h"
#include "tests/support/ScreenFormats.h"
#include "tests/support/ScreenHost.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace rastertest {
namespace {

using namespace model;

constexpr int kScreenW = 320, kScreenH = 240;

HWND TestWindow() {
  static HWND window = testsupport::CreateTestWindow("RasterTest", "raster", 40, 30, kScreenW, kScreenH);
  return window;
}

struct Road {
  plat::DesktopFormat format;
  Group group;
  int bytesPerPixel;
  const char* name;
};

class SurfaceRaster : public testing::TestWithParam<Road> {
 protected:
  void SetUp() override {
    mSettings = testsupport::UseTestDesktop(GetParam().format);
    ASSERT_NE(TestWindow(), nullptr);
    mDisplay = std::make_unique<Kit::DDInterface>(&mHost);
    mHost.display = mDisplay.get();
    ASSERT_EQ(mDisplay->Init(TestWindow(), true), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  }
  void TearDown() override {
    mDisplay.reset();
    mHost.display = nullptr;
    MSG message;
    while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&message);
    mSettings.reset();
  }

  // The surface's rows as raw bytes, width x bytes per pixel each.
  std::vector<std::uint8_t> Raw(Kit::DDImage& image) {
    std::vector<std::uint8_t> out;
    if (!image.LockSurface()) return out;
    const auto& desc = image.mLockedSurfaceDesc;
    const int rowBytes = image.mWidth * GetParam().bytesPerPixel;
    for (int y = 0; y < image.mHeight; ++y) {
      const auto* row = static_cast<const std::uint8_t*>(desc.lpSurface) + static_cast<std::ptrdiff_t>(y) * desc.lPitch;
      out.insert(out.end(), row, row + rowBytes);
    }
    image.UnlockSurface();
    return out;
  }

  testsupport::ScreenHost mHost{kScreenW, kScreenH};
  std::unique_ptr<plat::ScopedDisplaySettings> mSettings;
  std::unique_ptr<Kit::DDInterface> mDisplay;
};

TEST_P(SurfaceRaster, TrianglesDrawnIntoTheSurfaceMatchTheModel) {
  constexpr int W = 40, H = 30;
  std::mt19937 rng(11);
  for (int round = 0; round < 60; ++round) {
    std::vector<std::uint32_t> pixels(W * H);
    for (auto& p : pixels) p = static_cast<std::uint32_t>(rng()) | 0xFF000000u;
    Kit::DDImage image(mDisplay.get());
    image.SetBits(pixels.data(), W, H);
    ASSERT_NE(image.GetSurface(), nullptr);
    auto expected = Raw(image);
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(W * H * GetParam().bytesPerPixel));

    const int tw = 1 + static_cast<int>(rng() % 8), th = 1 + static_cast<int>(rng() % 8);
    std::vector<std::uint32_t> texels(static_cast<std::size_t>(tw * th));
    for (auto& t : texels) t = static_cast<std::uint32_t>(rng());
    Kit::MemoryImage texture;
    texture.SetBits(texels.data(), tw, th);
    const bool blend = round % 2, vertexColors = (round / 2) % 2;
    const Kit::Color color =
        round % 3 ? Kit::Color(static_cast<std::uint32_t>(rng()) | 0x01000000u) : Kit::Color::White;
    std::uniform_real_distribution<float> px(0, W - 1), py(0, H - 1), uv(0, 1);
    Kit::TriVertex tri[1][3];
    for (auto& v : tri[0])
      v = {px(rng), py(rng), uv(rng), uv(rng), vertexColors ? static_cast<std::uint32_t>(rng() | 1u) : 0xFFFFFFFFu};

    texture.CommitBits();
    Features f;
    f.textured = true;
    f.alpha = texture.mHasAlpha || texture.mHasTrans || blend;
    f.vertexColors = vertexColors;
    f.colourised = color != Kit::Color::White;
    f.blend = blend;
    f.group = GetParam().group;
    Kit::FixedVertex fixed[3];
    for (int i = 0; i < 3; ++i)
      fixed[i] = ToFixed(tri[0][i].mX, tri[0][i].mY, tri[0][i].mU, tri[0][i].mV, tri[0][i].mColor, tw, th);
    Triangle(fixed, f, {expected.data(), W * GetParam().bytesPerPixel, W, H}, DescribeTexture(texels.data(), tw, th),
             {color.mAlpha, color.mRed, color.mGreen, color.mBlue});

    image.BltTrianglesTex(&texture, tri, 1, Kit::Rect(0, 0, W, H), color, 0, 0, 0, blend);
    ASSERT_EQ(Raw(image), expected) << "round " << round;
    EXPECT_EQ(image.mBits, nullptr) << "the surface is left the only copy";
  }
}

TEST_P(SurfaceRaster, AMatrixBlitChangesOnlyTheClipRectangle) {
  constexpr int W = 24, H = 20;
  Kit::DDImage image(mDisplay.get());
  const std::vector<std::uint32_t> black(W * H, 0xFF000000);
  image.SetBits(black.data(), W, H);
  ASSERT_NE(image.GetSurface(), nullptr);
  const auto before = Raw(image);
  Kit::MemoryImage sprite;
  const std::vector<std::uint32_t> white(16, 0xFFFFFFFF);
  sprite.SetBits(white.data(), 4, 4);
  Kit::Matrix3 big;
  big.m[0][0] = big.m[1][1] = 20;
  const Kit::Rect clip(5, 3, 9, 11);
  image.BltMatrix(&sprite, 12, 10, big, clip, Kit::Color::White, 0, Kit::Rect(0, 0, 4, 4), false);
  const auto after = Raw(image);
  const int bpp = GetParam().bytesPerPixel;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const bool changed = std::memcmp(&after[(y * W + x) * bpp], &before[(y * W + x) * bpp], bpp) != 0;
      ASSERT_EQ(changed, clip.Contains(x, y)) << x << "," << y;
    }
}

const Road kRoads[] = {{plat::DesktopFormat::Rgb565, Group::RGB565, 2, "Rgb565"},
                       {plat::DesktopFormat::Rgb555, Group::RGB555, 2, "Rgb555"},
                       {plat::DesktopFormat::Xrgb8888, Group::RGB32, 4, "Xrgb8888"}};
INSTANTIATE_TEST_SUITE_P(Roads, SurfaceRaster, testing::ValuesIn(kRoads),
                         [](const testing::TestParamInfo<Road>& info) { return info.param.name; });

}  // namespace
}  // namespace rastertest
