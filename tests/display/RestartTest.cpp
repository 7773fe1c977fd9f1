// After the display restarts (a lost surface, a switch between window and full screen) every image
// looks the same: opaque, colour-keyed, first-pixel-keyed, purged, drawn-into, palettized and
// translucent images, drawn again onto the screen, give the same pixels as before.
#include "platform/ddraw/SurfaceFaults.h"
#include "tests/support/ScreenFixture.h"

namespace testsupport {
namespace {

using Kit::Color;
using Kit::Rect;

constexpr int kSide = 12;

// Colours that every 16-bit field holds exactly once widened (0x00, 0x84 and 0xFF in 5 bits).
std::uint32_t Exact(int i) {
  static const std::uint32_t levels[3] = {0x00, 0x84, 0xFF};
  return 0xFF000000u | levels[i % 3] << 16 | (i % 2 ? 0xFFu : 0u) << 8 | levels[(i / 3) % 3];
}

class RestartTest : public RunningScreenTest {
 protected:
  void SetUp() override {
    RunningScreenTest::SetUp();
    std::vector<std::uint32_t> px(kSide * kSide);
    auto fill = [&](auto pixel) {
      for (int i = 0; i < kSide * kSide; ++i) px[i] = pixel(i);
      return px;
    };
    // Opaque, with a surface.
    images.push_back(MakeImage(fill([](int i) { return Exact(i * 5); }), kSide, kSide));
    images.back()->GetSurface();
    // Colour-keyed whose hole colour clashes with a visible pixel.
    images.push_back(
        MakeImage(fill([](int i) { return i % 4 == 0 ? 0x00FFFFFFu
                                          : i % 3    ? 0xFFFFFFFFu
                                                     : Exact(i); }), kSide, kSide));
    images.back()->GetSurface();
    // Keyed by its first pixel.
    images.push_back(MakeImage(fill([](int i) { return i % 5 == 0 ? 0x00FF00FFu : Exact(i + 1); }), kSide, kSide));
    images.back()->mFirstPixelTransparent = true;
    images.back()->GetSurface();
    // Purged: the surface is the only copy, holes included.
    images.push_back(MakeImage(fill([](int i) { return i % 6 == 0 ? 0u : Exact(i * 7); }), kSide, kSide));
    images.back()->GetSurface();
    images.back()->PurgeBits();
    // Drawn into through its surface only.
    images.push_back(MakeImage(fill([](int) { return 0xFF000000u; }), kSide, kSide));
    images.back()->FillRect(Rect(2, 2, 5, 5), Color(255, 0, 255), 0);
    images.back()->DrawLine(0, 11, 11, 0, Color(0, 255, 0), 0);
    // Palettized.
    images.push_back(MakeImage(fill([](int i) { return Exact(i % 9); }), kSide, kSide));
    images.back()->Palletize();
    // Translucent: software only.
    images.push_back(MakeImage(fill([](int i) { return (i % 3 ? 0x80u : 0xFFu) << 24 | 0x4080C0u; }), kSide, kSide));
  }

  // The screen's pixels after drawing every image, plain and additive, onto a fixed background.
  std::vector<std::uint32_t> DrawAll() {
    Kit::DDImage* screen = mDisplay->GetScreenImage();
    screen->FillRect(Rect(0, 0, kWidth, kHeight), Color(0x84, 0, 0xFF), 0);
    for (std::size_t i = 0; i < images.size(); ++i) {
      const int x = static_cast<int>(i) * (kSide + 2);
      screen->Blt(images[i].get(), x, 0, Rect(0, 0, kSide, kSide), Color::White, 0);
      screen->Blt(images[i].get(), x, kSide + 2, Rect(0, 0, kSide, kSide), Color::White, 1);
    }
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < 2 * kSide + 2; ++y)
      for (int x = 0; x < static_cast<int>(images.size()) * (kSide + 2); ++x) pixels.push_back(ScreenPixel(x, y));
    return pixels;
  }

  std::vector<std::vector<std::uint32_t>> Contents() {
    std::vector<std::vector<std::uint32_t>> all;
    for (auto& image : images) {
      const std::uint32_t* bits = image->GetBits();
      if (!bits) {
        ADD_FAILURE() << "an image lost its pixels";
        all.emplace_back();
        continue;
      }
      std::vector<std::uint32_t> px(bits, bits + kSide * kSide);
      // A hole's colour is not part of what is seen.
      for (auto& p : px)
        if ((p >> 24) == 0) p = 0;
      all.push_back(px);
    }
    return all;
  }

  std::vector<std::unique_ptr<Kit::DDImage>> images;
};

TEST_P(RestartTest, ALostDisplayRestartsAndEveryImageLooksTheSame) {
  const auto before = DrawAll();
  ASSERT_TRUE(mDisplay->Redraw());
  plat::FailNextWithSurfaceLost();
  EXPECT_FALSE(mDisplay->Redraw());
  EXPECT_EQ(mDisplay->mErrorString, "Redraw Windowed: DDERR_SURFACELOST");
  ASSERT_EQ(mHost.Restart(true), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  EXPECT_EQ(DrawAll(), before);
  EXPECT_TRUE(mDisplay->Redraw());
}

TEST_P(RestartTest, AnImageWhoseOwnSurfaceWasLostKeepsItsPixels) {
  const auto before = Contents();
  // Reading them left the purged and drawn-into images with pixels: make the surface their only
  // copy again.
  images[3]->DeleteAllNonSurfaceData();
  images[4]->DeleteAllNonSurfaceData();
  // The next lock (the purged image's read-back during the restart) finds its surface lost.
  plat::FailNextWithSurfaceLost();
  ASSERT_EQ(mHost.Restart(true), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  EXPECT_FALSE(plat::TakeSurfaceLostFault());
  EXPECT_EQ(Contents(), before);
}

TEST_P(RestartTest, SwitchingToFullScreenAndBackKeepsEveryImage) {
  const auto before = DrawAll();
  const auto contents = Contents();
  ASSERT_EQ(mHost.Restart(false), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  EXPECT_EQ(mDisplay->mRGBBits, 16);
  DrawAll();
  ASSERT_TRUE(mDisplay->Redraw());
  ASSERT_EQ(mHost.Restart(true), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  EXPECT_EQ(Contents(), contents);
  EXPECT_EQ(DrawAll(), before);
}

INSTANTIATE_TEST_SUITE_P(Roads, RestartTest, testing::ValuesIn(kScreenFormats), ScreenFormatName);

}  // namespace
}  // namespace testsupport
