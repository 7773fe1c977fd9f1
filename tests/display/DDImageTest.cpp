// Surface-backed images on a running display: when they get a surface, colour keys, locking, the
// routing between surface and software drawing, and reading the surface back.
#include "tests/support/PixelModel.h"
#include "tests/support/ScreenFixture.h"
#include "tests/support/SimdLevels.h"

#include <random>

namespace testsupport {
namespace {

using Kit::Color;
using Kit::Rect;

class DDImageTest : public RunningScreenTest {
 protected:
  void SetUp() override {
    RunningScreenTest::SetUp();
    screen = mDisplay->GetScreenImage();
    screen->FillRect(Rect(0, 0, kWidth, kHeight), Color(0, 0, 255), 0);
  }
  Kit::DDImage* screen = nullptr;
};

TEST_P(DDImageTest, LocksNestAndTheSurfaceIsUnlockedByTheLastUnlock) {
  auto image = MakeImage(std::vector<std::uint32_t>(16, 0xFF808080), 4, 4);
  ASSERT_TRUE(image->LockSurface());
  ASSERT_TRUE(image->LockSurface());
  EXPECT_TRUE(image->UnlockSurface());
  EXPECT_EQ(image->mLockCount, 1);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  EXPECT_EQ(image->mSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_TRUE(image->UnlockSurface());
  EXPECT_EQ(image->mSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  image->mSurface->Unlock(nullptr);
  EXPECT_FALSE(image->UnlockSurface());
}

TEST_P(DDImageTest, ChangingTheMemoryKindRebuildsTheSurfaceOnlyOnAChange) {
  auto image = MakeImage(std::vector<std::uint32_t>(16, 0xFF808080), 4, 4);
  IDirectDrawSurface* before = image->GetSurface();
  image->SetVideoMemory(false);
  EXPECT_EQ(image->mSurface, before);
  image->SetVideoMemory(true);
  EXPECT_EQ(image->mSurface, nullptr);
  ASSERT_NE(image->GetSurface(), nullptr);
  DDSCAPS caps{};
  image->mSurface->GetCaps(&caps);
  EXPECT_NE(caps.dwCaps & DDSCAPS_VIDEOMEMORY, 0u);
}

TEST_P(DDImageTest, DrawingThroughTheSurfaceLeavesItTheOnlyCopyAndReadsBackOpaque) {
  auto image = MakeImage(std::vector<std::uint32_t>(12, 0xFF000000), 4, 3);
  image->FillRect(Rect(1, 1, 2, 1), Color(255, 255, 255), 0);
  EXPECT_EQ(image->mBits, nullptr);
  EXPECT_NE(image->mSurface, nullptr);
  const std::uint32_t* bits = image->GetBits();
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(bits[0], 0xFF000000u);
  EXPECT_EQ(bits[5], 0xFFFFFFFFu);
  EXPECT_EQ(bits[6], 0xFFFFFFFFu);
  EXPECT_EQ(bits[7], 0xFF000000u);
  EXPECT_EQ(bits[12], Kit::MemoryImage::kGuardWord);
  // Changing the pixels makes them authoritative and drops the surface.
  image->BitsChanged();
  EXPECT_EQ(image->mSurface, nullptr);
}

TEST_P(DDImageTest, AHorizontalLineIsARectangleFill) {
  auto image = MakeImage(std::vector<std::uint32_t>(16 * 8, 0xFF000000), 16, 8);
  image->DrawLine(10, 5, 2, 5, Color(255, 0, 0), 0);
  const std::uint32_t* bits = image->GetBits();
  for (int x = 0; x < 16; ++x) EXPECT_EQ(bits[5 * 16 + x] == 0xFF000000u, x < 2 || x > 10) << x;
  image->DrawLine(3, 0.5, 3, 3.9, Color(0, 255, 0), 0);
  bits = image->GetBits();
  EXPECT_EQ(bits[0 * 16 + 3], 0xFF00FF00u);
  EXPECT_EQ(bits[3 * 16 + 3], 0xFF00FF00u);
  EXPECT_EQ(bits[4 * 16 + 3], 0xFF000000u);
}

TEST_P(DDImageTest, VideoOnlyScreenTakesHardwareCopiesButNoLockedDrawing) {
  mDisplay->SetVideoOnlyDraw(true);
  ASSERT_TRUE(mDisplay->mVideoOnlyDraw);
  Kit::DDImage* videoScreen = mDisplay->GetScreenImage();
  ASSERT_TRUE(videoScreen->mNoLock);
  auto sprite = MakeImage(std::vector<std::uint32_t>(4, 0xFF00FF00), 2, 2);
  ASSERT_NE(sprite->GetSurface(), nullptr);
  videoScreen->FillRect(Rect(0, 0, kWidth, kHeight), Color(255, 0, 0), 0);
  const std::uint32_t before = ScreenPixel(5, 5);
  EXPECT_NE(before, Native(0xFFFF0000));
  videoScreen->DrawLine(0, 0, 30, 20, Color(255, 0, 0), 0);
  auto soft = MakeImage({0x80FFFFFF}, 1, 1);
  videoScreen->Blt(soft.get(), 5, 5, Rect(0, 0, 1, 1), Color::White, 0);
  EXPECT_EQ(ScreenPixel(5, 5), before);
  EXPECT_EQ(videoScreen->GetBits(), nullptr);
  videoScreen->Blt(sprite.get(), 5, 5, Rect(0, 0, 2, 2), Color::White, 0);
  EXPECT_EQ(ScreenPixel(5, 5), Native(0xFF00FF00));
  EXPECT_EQ(ScreenPixel(6, 6), Native(0xFF00FF00));
}

TEST_P(DDImageTest, BlitsChooseTheSurfaceOrTheSoftwareRoutines) {
  auto opaque = MakeImage(std::vector<std::uint32_t>(4, 0xFFFFFF00), 2, 2);
  auto soft = MakeImage(std::vector<std::uint32_t>(4, 0x80FFFFFF), 2, 2);
  // Onto an opaque image: through its surface, which then holds the only copy.
  auto canvas = MakeImage(std::vector<std::uint32_t>(16, 0xFF000000), 4, 4);
  canvas->Blt(soft.get(), 0, 0, Rect(0, 0, 2, 2), Color::White, 0);
  EXPECT_EQ(canvas->mBits, nullptr);
  EXPECT_NE(canvas->mSurface, nullptr);
  // Onto an image with partial alpha: in software, which keeps its pixels.
  auto translucent = MakeImage(std::vector<std::uint32_t>(16, 0x40000000), 4, 4);
  translucent->Blt(opaque.get(), 1, 1, Rect(0, 0, 2, 2), Color::White, 0);
  EXPECT_EQ(translucent->mSurface, nullptr);
  ASSERT_NE(translucent->mBits, nullptr);
  EXPECT_EQ(translucent->mBits[5] >> 24, 0xFFu);
  // A mirrored blit onto an image that cannot have a surface draws nothing and loses nothing.
  translucent->BltMirror(opaque.get(), 0, 0, Rect(0, 0, 2, 2), Color::White, 0);
  ASSERT_NE(translucent->GetBits(), nullptr);
  EXPECT_EQ(translucent->GetBits()[0], 0x40000000u);
  // A plain image copied (and drawn at a whole pixel, which weighs an opaque pixel 254 / 256), changed
  // and drawn again shows its new pixels.
  Kit::MemoryImage plain;
  for (const auto& [argb, weighed] : {std::pair{0xFF00FF00u, 0xFF00FD00u}, std::pair{0xFFFF0000u, 0xFFFD0000u}}) {
    plain.SetBits(std::vector<std::uint32_t>(6, argb).data(), 3, 2);
    screen->Blt(&plain, 24, 20, Rect(0, 0, 2, 2), Color::White, 0);
    EXPECT_EQ(ScreenPixel(25, 21), Native(argb));
    screen->FillRect(Rect(24, 24, 3, 2), Color(0, 0, 0), 0);
    screen->BltF(&plain, 24, 24, Rect(0, 0, 3, 2), Rect(0, 0, kWidth, kHeight), Color::White, 0);
    EXPECT_EQ(ScreenPixel(25, 24), Native(weighed));
  }
}

TEST_P(DDImageTest, PurgedImagesLiveInTheirSurfaceAndComeBackWithTheirHoles) {
  auto keyed = MakeImage({0x00000000, 0xFFFF0000, 0xFF00FF00, 0x00123456}, 2, 2);
  ASSERT_NE(keyed->GetSurface(), nullptr);
  keyed->PurgeBits();
  EXPECT_EQ(keyed->mBits, nullptr);
  const std::uint32_t* bits = keyed->GetBits();
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(bits[0] >> 24, 0u);
  EXPECT_EQ(bits[1], 0xFFFF0000u);
  EXPECT_EQ(bits[2], 0xFF00FF00u);
  EXPECT_EQ(bits[3] >> 24, 0u);
}

// A purged software image keeps only its native words: its keyed copy steps over its holes by a run
// table made from them, without bringing the pixels back.
TEST_P(DDImageTest, APurgedKeyedImageIsCopiedWithoutItsPixelsComingBack) {
  Kit::MemoryImage keyed(&mHost);
  keyed.SetBits(std::vector<std::uint32_t>{0x00000000, 0xFFFF0000, 0xFF00FF00, 0x00123456}.data(), 2, 2);
  keyed.PurgeBits();
  ASSERT_EQ(keyed.mBits, nullptr);
  ASSERT_NE(keyed.mNativeAlphaData, nullptr);
  screen->Blt(&keyed, 10, 10, Rect(0, 0, 2, 2), Color::White, 0);
  EXPECT_EQ(keyed.mBits, nullptr);
  EXPECT_EQ(ScreenPixel(10, 10), Native(0xFF0000FF));
  EXPECT_EQ(ScreenPixel(11, 10), Native(0xFFFF0000));
  EXPECT_EQ(ScreenPixel(10, 11), Native(0xFF00FF00));
  EXPECT_EQ(ScreenPixel(11, 11), Native(0xFF0000FF));
}

TEST_P(DDImageTest, SoftwareDrawingOnTheScreenGoesIntoItsSurface) {
  // Clearing has no surface routine: the screen's pixels are read, cleared in software and, the
  // screen's surface being the display's own, written back into it rather than dropped.
  screen->ClearRect(Rect(5, 6, 3, 2));
  EXPECT_EQ(ScreenPixel(5, 6), 0u);
  EXPECT_EQ(ScreenPixel(7, 7), 0u);
  EXPECT_EQ(ScreenPixel(8, 7), Native(0xFF0000FF));
  EXPECT_EQ(screen->mSurface, mDisplay->mDrawSurface);
  // The next surface drawing makes the surface authoritative again.
  screen->FillRect(Rect(5, 6, 1, 1), Color(255, 255, 255), 0);
  EXPECT_EQ(screen->mBits, nullptr);
  EXPECT_EQ(ScreenPixel(5, 6), Native(0xFFFFFFFF));
}

TEST_P(DDImageTest, VolatileImagesBlendStraightFromTheirPixels) {
  screen->FillRect(Rect(0, 0, 4, 1), Color(0, 0, 0), 0);
  Kit::MemoryImage changing;
  changing.SetBits(std::vector<std::uint32_t>{0x80FF0000, 0xFF00FF00}.data(), 2, 1);
  changing.SetVolatile(true);
  screen->Blt(&changing, 0, 0, Rect(0, 0, 2, 1), Color::White, 0);
  // No premultiplied copy is made for an image that changes from frame to frame.
  EXPECT_EQ(changing.mNativeAlphaData, nullptr);
  const DDPIXELFORMAT primary = PrimaryFormat();
  const model::Format format{static_cast<int>(primary.dwRGBBitCount), primary.dwRBitMask, primary.dwGBitMask,
                             primary.dwBBitMask};
  model::Surface expected{format, 2, 1, format.bitCount / 8 * 2, {}};
  expected.bytes.resize(static_cast<std::size_t>(expected.pitch));
  for (int x = 0; x < 2; ++x) expected.Set(x, 0, model::Pack(0xFF000000, format));
  model::VolatileBlt(expected, model::SourceOf(changing, model::FormatDisplay(format)), 0, 0, Rect(0, 0, 2, 1));
  for (int x = 0; x < 2; ++x) EXPECT_EQ(ScreenPixel(x, 0), expected.Get(x, 0)) << x;
}

// Images of every kind drawn onto the blue screen, and the pixels that show from (x, y) on.
TEST_P(DDImageTest, ScreenDrawsShowTheExpectedPixels) {
  constexpr std::uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF, K = 0xFF000000;
  constexpr std::uint32_t Y = 0xFFFFFF00, M = 0xFFFF00FF, D = 0xFF102030, D2 = 0xFF203040, D3 = 0xFF304050;
  // Derived: an image kind of the program's own built on the software image; NoPixels: an image that
  // has no pixels of its own to draw from.
  enum class Kind { Surface, Memory, FirstPixelKeyed, Palettized, Derived, NoPixels };
  struct DerivedImage : Kit::MemoryImage {};
  enum class Op { Blt, Mirror, Additive, Stretch, StretchMirror };
  struct Case {
    const char* what;
    Kind kind;
    std::vector<std::uint32_t> pixels;
    int width;
    Op op;
    int x, y;
    std::vector<std::vector<std::uint32_t>> shown;  // a stretch fills just these
    Rect clip = Rect(0, 0, kWidth, kHeight);
    int srcWidth = -1;  // -1: the whole image
  };
  const std::vector<std::uint32_t> rgbw = {R, G, B, W};
  const std::vector<std::vector<std::uint32_t>> doubled = {{R, R, G, G}, {R, R, G, G}, {B, B, W, W}, {B, B, W, W}};
  const std::vector<std::vector<std::uint32_t>> flipped = {{G, G, R, R}, {G, G, R, R}, {W, W, B, B}, {W, W, B, B}};
  const std::vector<std::vector<std::uint32_t>> blue = {{B, B}, {B, B}};
  const Case cases[] = {
      // The transparent pixels' colour converts to the opaque white's value: the key must be another.
      {"keyed", Kind::Surface, {0x00FFFFFF, W, K, 0x00FFFFFF}, 2, Op::Blt, 10, 10, {{B, W}, {K, B}}},
      // Every pixel of the first pixel's colour is a hole, whatever its alpha.
      {"first pixel keyed", Kind::FirstPixelKeyed, {0x00FF00FF, G, M, D}, 2, Op::Blt, 0, 0, {{B, G}, {B, D}}},
      {"mirrored", Kind::Surface, {R, G, B}, 3, Op::Mirror, 30, 7, {{B, G, R}}},
      {"palettized: built again", Kind::Palettized, {D, D2, D, D3}, 2, Op::Blt, 0, 0, {{D, D2}, {D, D3}}},
      {"additive", Kind::Surface, {Y, Y, Y, Y}, 2, Op::Additive, 20, 20, {{W, W}, {W, W}}},
      {"from a derived image", Kind::Derived, rgbw, 2, Op::Blt, 12, 14, {{R, G}, {B, W}}},
      {"additive from a derived image", Kind::Derived, {Y, Y, Y, Y}, 2, Op::Additive, 20, 20, {{W, W}, {W, W}}},
      {"mirrored from a derived image", Kind::Derived, {R, G, B}, 3, Op::Mirror, 30, 7, {{B, G, R}}},
      {"from an image without pixels", Kind::NoPixels, rgbw, 2, Op::Blt, 12, 14, blue},
      {"stretched by two", Kind::Memory, rgbw, 2, Op::Stretch, 10, 10, doubled},
      {"stretched from a surface", Kind::Surface, rgbw, 2, Op::Stretch, 30, 10, doubled},
      {"stretched mirrored", Kind::Memory, rgbw, 2, Op::StretchMirror, 20, 10, flipped},
      {"stretched from nothing", Kind::Memory, rgbw, 2, Op::Stretch, 10, 10, blue, Rect(0, 0, kWidth, kHeight), 0},
      {"stretched outside the clip", Kind::Memory, rgbw, 2, Op::Stretch, 10, 10, blue, Rect(100, 100, 5, 5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    screen->FillRect(Rect(0, 0, kWidth, kHeight), Color(0, 0, 255), 0);
    const int height = static_cast<int>(c.pixels.size()) / c.width;
    Kit::MemoryImage memory;
    memory.SetBits(c.pixels.data(), c.width, height);
    DerivedImage derived;
    derived.SetBits(c.pixels.data(), c.width, height);
    Kit::Image noPixels;
    noPixels.mWidth = c.width;
    noPixels.mHeight = height;
    auto image = MakeImage(c.pixels, c.width, height);
    if (c.kind == Kind::FirstPixelKeyed) {
      image->mFirstPixelTransparent = true;
      image->SetColorKeyFromFirstPixel();
    }
    ASSERT_NE(image->GetSurface(), nullptr);
    if (c.kind == Kind::Palettized) {
      ASSERT_TRUE(image->Palletize());
    }
    Kit::Image* source = c.kind == Kind::Memory     ? static_cast<Kit::Image*>(&memory)
                         : c.kind == Kind::Derived  ? static_cast<Kit::Image*>(&derived)
                         : c.kind == Kind::NoPixels ? &noPixels
                                                    : image.get();
    const Rect dest(c.x, c.y, static_cast<int>(c.shown[0].size()), static_cast<int>(c.shown.size()));
    const Rect srcRect(0, 0, c.srcWidth < 0 ? c.width : c.srcWidth, height);
    switch (c.op) {
      case Op::Blt:
      case Op::Additive:
        screen->Blt(source, c.x, c.y, srcRect, Color::White, c.op == Op::Additive);
        break;
      case Op::Mirror:
        screen->BltMirror(source, c.x, c.y, srcRect, Color::White, 0);
        break;
      case Op::Stretch:
        screen->StretchBlt(source, dest, srcRect, c.clip, Color::White, 0, true);
        break;
      case Op::StretchMirror:
        screen->StretchBltMirror(source, dest, srcRect, c.clip, Color::White, 0, true);
        break;
    }
    for (int y = 0; y < dest.mHeight; ++y)
      for (int x = 0; x < dest.mWidth; ++x)
        EXPECT_EQ(ScreenPixel(c.x + x, c.y + y), Native(c.shown[y][x])) << x << "," << y;
  }
}

TEST_P(DDImageTest, SmoothStretchesAndImagesWithoutASurfaceStillDraw) {
  Kit::MemoryImage source;
  source.SetBits(std::vector<std::uint32_t>(16, 0xFFFFFFFF).data(), 4, 4);
  screen->StretchBlt(&source, Rect(40, 40, 8, 8), Rect(0, 0, 4, 4), Rect(0, 0, kWidth, kHeight), Color::White, 0,
                     false);
  auto nearWhite = [](std::uint32_t argb) {
    return ((argb >> 16) & 0xFF) >= 0xF0 && ((argb >> 8) & 0xFF) >= 0xF0 && (argb & 0xFF) >= 0xF0;
  };
  // The resampler's rounding keeps white within a step of full intensity.
  EXPECT_TRUE(ScreenPixel(44, 44) == Native(0xFFFFFFFF) || ScreenPixel(44, 44) == Native(0xFFFEFEFE));
  // An image with partial alpha has no surface: the software stretch draws into its pixels.
  auto translucent = MakeImage(std::vector<std::uint32_t>(64, 0x40000000), 8, 8);
  translucent->StretchBlt(&source, Rect(0, 0, 8, 8), Rect(0, 0, 4, 4), Rect(0, 0, 8, 8), Color::White, 0, true);
  ASSERT_NE(translucent->GetBits(), nullptr);
  EXPECT_EQ(translucent->GetBits()[27] >> 24, 0xFFu);
  EXPECT_TRUE(nearWhite(translucent->GetBits()[27]));
  // A mirrored stretch there has nowhere to go and leaves the pixels as they were.
  auto other = MakeImage(std::vector<std::uint32_t>(64, 0x40000000), 8, 8);
  other->StretchBltMirror(&source, Rect(0, 0, 8, 8), Rect(0, 0, 4, 4), Rect(0, 0, 8, 8), Color::White, 0, true);
  ASSERT_NE(other->GetBits(), nullptr);
  EXPECT_EQ(other->GetBits()[27], 0x40000000u);
  // The picture kept for the next such stretch is made again once the source changes.
  source.SetBits(std::vector<std::uint32_t>(16, 0xFF000000).data(), 4, 4);
  screen->StretchBlt(&source, Rect(40, 40, 8, 8), Rect(0, 0, 4, 4), Rect(0, 0, kWidth, kHeight), Color::White, 0,
                     false);
  EXPECT_EQ(ScreenPixel(44, 44), Native(0xFF000000));
}

// A surface image's area-weighted stretch is not kept (its surface may change unseen): it goes onto the
// screen as it is resampled, and must draw what the kept stretch of a software image with the same
// pixels draws, at every vector level, whole and clipped.
TEST_P(DDImageTest, AnUncachedAreaStretchDrawsWhatTheKeptOneDraws) {
  std::mt19937 rng(5);
  const std::vector<std::uint32_t> px = model::MakeSpritePixels(21, 17, rng);
  auto surfaceSprite = MakeImage(px, 21, 17);
  Kit::MemoryImage softwareSprite;
  softwareSprite.SetBits(px.data(), 21, 17);
  struct Case {
    Rect dest, src, clip;
  };
  const Case cases[] = {{Rect(10, 12, 150, 120), Rect(0, 0, 21, 17), Rect(0, 0, kWidth, kHeight)},
                        {Rect(30, 5, 9, 40), Rect(2, 1, 17, 15), Rect(0, 0, kWidth, kHeight)},
                        {Rect(-20, 200, 100, 80), Rect(0, 0, 21, 17), Rect(0, 0, kWidth, kHeight)},
                        {Rect(50, 50, 120, 90), Rect(0, 0, 21, 17), Rect(70, 60, 33, 21)}};
  for (const plat::simd::Level level : kSimdLevels) {
    if (level > plat::simd::Supported()) break;
    plat::simd::Limit(level);
    for (const Case& c : cases) {
      Clear(0x405060);
      const std::vector<std::uint32_t> cleared = ReadScreen();
      screen->StretchBlt(surfaceSprite.get(), c.dest, c.src, c.clip, Color::White, 0, false);
      const std::vector<std::uint32_t> uncached = ReadScreen();
      Clear(0x405060);
      screen->StretchBlt(&softwareSprite, c.dest, c.src, c.clip, Color::White, 0, false);
      EXPECT_NE(uncached, cleared);
      EXPECT_EQ(uncached, ReadScreen()) << "level " << static_cast<int>(level) << " onto " << c.dest.mX << ","
                                        << c.dest.mY;
    }
  }
  plat::simd::Limit(plat::simd::Level::kAvx2);
}

TEST_P(DDImageTest, HostileArgumentsNeverReachOutsideEitherImage) {
  std::mt19937 rng(77);
  auto any = [&] {
    static const int extremes[] = {0, 1, -1, 7, -7, 40, -40, 1 << 20, -(1 << 20), 2147483647, -2147483647};
    return rng() % 3 ? static_cast<int>(rng() % 60) - 20 : extremes[rng() % 11];
  };
  auto anyRect = [&] { return Rect(any(), any(), any(), any()); };
  auto canvas = MakeImage(std::vector<std::uint32_t>(24 * 16, 0xFF000000), 24, 16);
  auto keyed = MakeImage(std::vector<std::uint32_t>(9, 0x00000000), 3, 3);
  auto sprite = MakeImage({0xFF102030, 0x80405060, 0x00000000, 0xFFFFFFFF}, 2, 2);
  const Color colours[] = {Color::White, Color(10, 200, 90, 120), Color(-5, 300, 7, 999)};
  for (int i = 0; i < 3000; ++i) {
    Kit::DDImage* target = i % 3 == 0 ? screen : canvas.get();
    Kit::Image* source = i % 2 ? static_cast<Kit::Image*>(sprite.get()) : keyed.get();
    const Color& colour = colours[rng() % 3];
    const int mode = static_cast<int>(rng() % 2);
    switch (rng() % 7) {
      case 0:
        target->FillRect(anyRect(), colour, mode);
        break;
      case 1:
        target->DrawLine(any() + 0.5, any() * 1.5, any(), any() - 0.25, colour, mode);
        break;
      case 2:
        target->Blt(source, any(), any(), anyRect(), colour, mode);
        break;
      case 3:
        target->BltMirror(source, any(), any(), anyRect(), colour, mode);
        break;
      case 4:
        target->BltRotated(source, static_cast<float>(any()), static_cast<float>(any()), anyRect(), anyRect(), colour,
                           mode, any() * 0.1, static_cast<float>(any()), static_cast<float>(any()));
        break;
      case 5:
        target->StretchBlt(source, anyRect(), anyRect(), anyRect(), colour, mode, rng() % 2);
        break;
      default:
        target->StretchBltMirror(source, anyRect(), anyRect(), anyRect(), colour, mode, true);
        break;
    }
  }
  ASSERT_NE(canvas->GetBits(), nullptr);
  EXPECT_EQ(canvas->GetBits()[24 * 16], Kit::MemoryImage::kGuardWord);
}

INSTANTIATE_TEST_SUITE_P(Roads, DDImageTest, testing::ValuesIn(kScreenFormats), ScreenFormatName);

}  // namespace
}  // namespace testsupport
