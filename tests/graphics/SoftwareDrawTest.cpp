#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/kernels/PixelBlend.h"
#include "tests/support/PixelModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <ostream>
#include <random>

namespace {

using Kit::Color;
using Kit::MemoryImage;
using Kit::Rect;

class Random {
 public:
  explicit Random(unsigned seed) : mEngine(seed) {}
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(mEngine); }
  double Real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(mEngine); }

  // Mostly the alphas sprites have (0 and 255), with partial ones mixed in.
  std::uint32_t Pixel() {
    const int pick = Int(0, 9);
    const int a = pick < 3 ? 0 : pick < 7 ? 255 : Int(1, 254);
    return model::Argb(a, Int(0, 255), Int(0, 255), Int(0, 255));
  }
  model::Pixels Image(int width, int height, int distinctColours = 0) {
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < distinctColours; ++i) palette.push_back(Pixel());
    model::Pixels p{width, height, {}};
    for (int i = 0; i < width * height; ++i)
      p.px.push_back(distinctColours ? palette[Int(0, distinctColours - 1)] : Pixel());
    return p;
  }
  Color AnyColor() {
    if (Int(0, 3) == 0) return Color::White;
    return Color(Int(0, 255), Int(0, 255), Int(0, 255), Int(0, 3) == 0 ? 255 : Int(1, 255));
  }
  Rect RectIn(int width, int height, int slack) {
    const int x = Int(-slack, width), y = Int(-slack, height);
    return Rect(x, y, Int(0, width + slack), Int(0, height + slack));
  }

 private:
  std::mt19937 mEngine;
};

std::unique_ptr<MemoryImage> ToImage(const model::Pixels& p, bool palettize = false) {
  auto image = std::make_unique<MemoryImage>();
  image->SetBits(p.px.data(), p.width, p.height);
  if (palettize) {
    EXPECT_TRUE(image->Palletize());
  }
  return image;
}

model::Pixels FromImage(MemoryImage& image) {
  model::Pixels p{image.mWidth, image.mHeight, {}};
  const std::uint32_t* bits = image.GetBits();
  p.px.assign(bits, bits + static_cast<std::size_t>(image.mWidth) * image.mHeight);
  EXPECT_EQ(bits[p.px.size()], MemoryImage::kGuardWord);
  return p;
}

TEST(PixelBlend, DivisionBy255IsExact) {
  for (std::uint32_t x = 0; x <= 65025; ++x) ASSERT_EQ(Kit::PixelBlend::Div255(x), x / 255) << x;
  for (std::uint32_t x = 65025; x < (1u << 31) - 70000; x += 65521) ASSERT_EQ(Kit::PixelBlend::Div255(x), x / 255);
}

TEST(FillRect, TranslucentWhiteOverOpaqueAndTransparentBlack) {
  MemoryImage image;
  const std::uint32_t pixels[] = {0xFF000000, 0x00000000};
  image.SetBits(pixels, 2, 1);
  image.FillRect(Rect(0, 0, 2, 1), Color(255, 255, 255, 128), 0);
  EXPECT_EQ(image.GetBits()[0], 0xFF7F7F7Fu);
  EXPECT_EQ(image.GetBits()[1], 0x80FEFEFEu);
  image.FillRect(Rect(0, 0, 2, 1), Color(9, 9, 9, 0), 0);  // alpha 0 changes nothing
  EXPECT_EQ(image.GetBits()[0], 0xFF7F7F7Fu);
}

TEST(FillRect, MatchesReferenceOverRandomRectsAndColours) {
  Random random(11);
  for (int round = 0; round < 300; ++round) {
    model::Pixels expected = random.Image(random.Int(1, 30), random.Int(1, 30));
    if (round % 2)  // opaque destinations take the four-pixel path
      for (auto& p : expected.px) p |= 0xFF000000;
    auto image = ToImage(expected);
    const Rect rect = random.RectIn(expected.width, expected.height, 10);
    Color color = random.AnyColor();
    if (round % 10 == 0) color = Color(random.Int(-300, 600), 300, -5, random.Int(-10, 400));  // out of range
    image->FillRect(rect, color, 0);
    model::FillRect(expected, rect, color);
    ASSERT_EQ(FromImage(*image).px, expected.px) << "round " << round;
  }
}

TEST(Clear, ClearsEveryPixel) {
  auto image = ToImage({3, 2, std::vector<std::uint32_t>(6, 0xFFFFFFFF)});
  image->Clear();
  EXPECT_EQ(FromImage(*image).px, std::vector<std::uint32_t>(6, 0));
  MemoryImage empty;
  empty.Clear();  // no pixels: nothing to do
  EXPECT_FALSE(empty.mBits);
}

TEST(DrawLine, MatchesReferenceForEveryDirectionModeAndColour) {
  Random random(5);
  for (int round = 0; round < 400; ++round) {
    model::Pixels expected = random.Image(random.Int(1, 40), random.Int(1, 30));
    auto image = ToImage(expected);
    double x1 = random.Real(-8, 48), y1 = random.Real(-8, 38), x2 = random.Real(-8, 48), y2 = random.Real(-8, 38);
    if (round % 10 == 0) x2 = x1;  // straight lines are fills
    if (round % 10 == 1) y2 = y1;
    const Color color = random.AnyColor();
    const int mode = random.Int(0, 1);
    image->DrawLine(x1, y1, x2, y2, color, mode);
    model::DrawLine(expected, x1, y1, x2, y2, color, mode);
    ASSERT_EQ(FromImage(*image).px, expected.px) << "round " << round;
  }
}

TEST(DrawLine, DiagonalPixelsOfAKnownLine) {
  auto image = ToImage({7, 5, std::vector<std::uint32_t>(35, 0xFF000000)});
  image->DrawLine(0.5, 0.5, 5.5, 3.5, Color::White, 0);
  const model::Pixels p = FromImage(*image);
  std::vector<std::pair<int, int>> lit;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x)
      if (p.At(x, y) != 0xFF000000u) {
        EXPECT_EQ(p.At(x, y), 0xFFFEFEFEu);  // 255 stored as (255 x 255 + 127) >> 8
        lit.emplace_back(x, y);
      }
  std::sort(lit.begin(), lit.end());
  EXPECT_EQ(lit, (std::vector<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 3}, {5, 3}}));
}

TEST(DrawLine, LinesOffTheImageAreClippedAndLongOnesRefused) {
  // No write outside the pixels (the sanitizer build checks), no endless walk.
  auto image = ToImage({4, 4, std::vector<std::uint32_t>(16, 0xFF000000)});
  image->DrawLine(-1e12, 0.5, 1e12, 3.5, Color::White, 0);
  image->DrawLine(std::nan(""), 0, 3, 3, Color::White, 0);
  EXPECT_EQ(FromImage(*image).px, std::vector<std::uint32_t>(16, 0xFF000000));
  image->DrawLine(-100.5, -50.2, 100.0, 51.0, Color::White, 0);
  const model::Pixels p = FromImage(*image);
  for (int x = 0; x < 4; ++x) {
    int lit = 0;
    for (int y = 0; y < 4; ++y) lit += p.At(x, y) != 0xFF000000u;
    EXPECT_EQ(lit, 1) << "column " << x;
  }
}

struct BltCase {
  bool palettized;
  bool opaqueDest;
};

void PrintTo(const BltCase& c, std::ostream* out) {
  *out << (c.palettized ? "Palettized" : "TrueColour") << (c.opaqueDest ? "OntoOpaque" : "OntoAny");
}

class BltMatchesReference : public testing::TestWithParam<BltCase> {};

TEST_P(BltMatchesReference, NormalAndAdditive) {
  Random random(GetParam().palettized * 2 + GetParam().opaqueDest + 1);
  for (int round = 0; round < 400; ++round) {
    model::Pixels dest = random.Image(random.Int(1, 40), random.Int(1, 40));
    if (GetParam().opaqueDest)
      for (auto& p : dest.px) p |= 0xFF000000;
    const model::Pixels src =
        random.Image(random.Int(1, 30), random.Int(1, 30), GetParam().palettized ? random.Int(1, 200) : 0);
    auto destImage = ToImage(dest);
    auto srcImage = ToImage(src, GetParam().palettized);
    const Rect srcRect = random.RectIn(src.width, src.height, 6);
    const int x = random.Int(-20, dest.width + 5), y = random.Int(-20, dest.height + 5);
    const Color color = random.AnyColor();
    const int mode = random.Int(0, 5) == 0 ? 1 : random.Int(0, 1);
    srcImage->CommitBits();
    const bool srcHasAlpha = srcImage->mHasAlpha;
    destImage->Blt(srcImage.get(), x, y, srcRect, color, mode);
    model::Blt(dest, GetParam().opaqueDest, src, srcHasAlpha, x, y, srcRect, color, mode);
    ASSERT_EQ(FromImage(*destImage).px, dest.px) << "round " << round << " mode " << mode;
  }
}

INSTANTIATE_TEST_SUITE_P(Sources, BltMatchesReference,
                         testing::Values(BltCase{false, false}, BltCase{false, true}, BltCase{true, false},
                                         BltCase{true, true}),
                         testing::PrintToStringParamName());

TEST(Blt, IntoItselfReadsTheOldPixels) {
  auto image = ToImage({4, 1, {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004}});
  image->Blt(image.get(), 1, 0, Rect(0, 0, 3, 1), Color::White, 0);
  Kit::Image notMemory;
  image->Blt(&notMemory, 0, 0, Rect(0, 0, 3, 1), Color::White, 0);
  image->Blt(image.get(), 0, 0, Rect(1, 0, 3, 1), Color::White, 2);  // unknown mode: nothing
  EXPECT_EQ(FromImage(*image).px, (std::vector<std::uint32_t>{0xFF000001, 0xFF000001, 0xFF000002, 0xFF000003}));
}

// A draw of an image into itself must read the pixels as they were before it began, exactly as a
// draw from a copy of them does.
TEST(Blt, RotatedAndStretchedIntoItselfReadTheOldPixels) {
  Random random(91);
  const model::Pixels pixels = random.Image(12, 12);
  auto rotated = ToImage(pixels);
  auto rotatedFromCopy = ToImage(pixels);
  auto copy = ToImage(pixels);
  rotated->BltRotated(rotated.get(), 2, 1, Rect(0, 0, 10, 10), Rect(0, 0, 12, 12), Color::White, 0, 0.4, 5, 5);
  rotatedFromCopy->BltRotated(copy.get(), 2, 1, Rect(0, 0, 10, 10), Rect(0, 0, 12, 12), Color::White, 0, 0.4, 5, 5);
  EXPECT_EQ(FromImage(*rotated).px, FromImage(*rotatedFromCopy).px);

  for (bool fast : {false, true}) {
    auto stretched = ToImage(pixels);
    auto stretchedFromCopy = ToImage(pixels);
    stretched->StretchBlt(stretched.get(), Rect(1, 2, 11, 9), Rect(0, 0, 6, 6), Rect(0, 0, 12, 12), Color::White, 0,
                          fast);
    stretchedFromCopy->StretchBlt(copy.get(), Rect(1, 2, 11, 9), Rect(0, 0, 6, 6), Rect(0, 0, 12, 12), Color::White, 0,
                                  fast);
    EXPECT_EQ(FromImage(*stretched).px, FromImage(*stretchedFromCopy).px) << (fast ? "fast" : "area-weighted");
  }
}

TEST(Blt, DestinationChangeIsSeenByLaterDraws) {
  auto dest = ToImage({2, 1, {0xFF000000, 0xFF000000}});
  auto src = ToImage({1, 1, {0xFFFFFFFF}});
  EXPECT_EQ(dest->GetRLAlphaData()[0], 2);
  src->FillRect(Rect(0, 0, 1, 1), Color(0, 0, 0, 255), 0);
  src->ClearRect(Rect(0, 0, 1, 1));  // the source's run table must follow: now transparent
  dest->Blt(src.get(), 0, 0, Rect(0, 0, 1, 1), Color::White, 0);
  EXPECT_EQ(FromImage(*dest).px[0], 0xFF000000u);
  dest->ClearRect(Rect(1, 0, 1, 1));
  EXPECT_EQ(dest->GetRLAlphaData()[0], 1);
}

class RotatedMatchesReference : public testing::TestWithParam<bool> {};

TEST_P(RotatedMatchesReference, AnyAngleColourAndMode) {
  Random random(GetParam() ? 77 : 78);
  for (int round = 0; round < 300; ++round) {
    // Two rounds in five are the game's common draws over an opaque image: unrotated at a whole pixel,
    // and at any angle from a source with opaque runs.
    const bool wholePixel = round % 5 == 0, turnedOverOpaque = round % 5 == 1;
    model::Pixels dest = random.Image(random.Int(1, 50), random.Int(1, 50));
    if (wholePixel || turnedOverOpaque)
      for (std::size_t i = 0; i < dest.px.size(); ++i) dest.px[i] |= i % 37 == 0 ? 0 : 0xFF000000u;
    model::Pixels src = random.Image(random.Int(1, 24), random.Int(1, 24), GetParam() ? random.Int(1, 100) : 0);
    Rect srcRect = random.RectIn(src.width, src.height, 3);
    Rect clip = random.RectIn(dest.width, dest.height, 10);
    float x = static_cast<float>(random.Real(-10, dest.width)), y = static_cast<float>(random.Real(-10, dest.height));
    double angle = random.Int(0, 4) == 0 ? 0.0 : random.Real(-7, 7);
    float cx = static_cast<float>(random.Real(-5, 20)), cy = static_cast<float>(random.Real(-5, 20));
    Random place(static_cast<unsigned>(round));
    if (wholePixel || turnedOverOpaque) {
      // The whole source (turned about its middle), somewhere over the destination (placed by a
      // generator of its own, so that the other rounds stay as they are).
      srcRect = Rect(0, 0, src.width, src.height);
      clip = Rect(0, 0, dest.width, dest.height);
      x = static_cast<float>(place.Real(-4, dest.width - src.width / 2));
      y = static_cast<float>(place.Real(-4, dest.height - src.height / 2));
      cx = src.width / 2.0f;
      cy = src.height / 2.0f;
    }
    Color color = random.AnyColor();
    int mode = random.Int(0, 1);
    if (wholePixel) {
      x = std::round(x);
      y = std::round(y);
      cx = std::round(cx);
      cy = std::round(cy);
      angle = 0.0;
      color = Color::White;
      mode = 0;
    }
    if (turnedOverOpaque) {
      for (std::uint32_t& p : src.px) p |= place.Int(0, 2) == 0 ? 0 : 0xFF000000u;
      color = place.Int(0, 1) == 0 ? Color::White : place.AnyColor();
      mode = place.Int(0, 1);
    }
    auto destImage = ToImage(dest);
    auto srcImage = ToImage(src, GetParam());
    destImage->BltRotated(srcImage.get(), x, y, srcRect, clip, color, mode, angle, cx, cy);
    Rect box;
    if (MemoryImage::GetRotatedBounds(x, y, srcRect, clip, angle, cx, cy, box))
      model::BltRotated(dest, src, x, y, srcRect, box, color, mode, angle, cx, cy);
    ASSERT_EQ(FromImage(*destImage).px, dest.px) << "round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Sources, RotatedMatchesReference, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "Palettized" : "TrueColour");
                         });

TEST(BltRotated, UnrotatedDrawSkipsTheLastColumnAndRow) {
  auto dest = ToImage({4, 4, std::vector<std::uint32_t>(16, 0xFF000000)});
  auto src = ToImage({3, 3, std::vector<std::uint32_t>(9, 0xFFFFFFFF)});
  dest->BltF(src.get(), 0, 0, Rect(0, 0, 3, 3), Rect(0, 0, 4, 4), Color::White, 0);
  const model::Pixels p = FromImage(*dest);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(p.At(x, y), x < 2 && y < 2 ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
}

TEST(BltRotated, BoundsOfAQuarterTurn) {
  Rect box;
  ASSERT_TRUE(
      MemoryImage::GetRotatedBounds(10, 20, Rect(0, 0, 8, 4), Rect(0, 0, 100, 100), std::numbers::pi / 2, 0, 0, box));
  // Turned anticlockwise about (10, 20): the 8 x 4 rectangle stands up above the centre.
  EXPECT_EQ(box, Rect(10, 12, 4, 8));
  EXPECT_FALSE(MemoryImage::GetRotatedBounds(10, 20, Rect(0, 0, 8, 4), Rect(50, 50, 10, 10), 0, 0, 0, box));
  EXPECT_FALSE(MemoryImage::GetRotatedBounds(10, 20, Rect(0, 0, 8, 4), Rect(0, 0, 100, 100), std::nan(""), 0, 0, box));
}

TEST(StretchBlt, ClipCutsTheSourceInProportion) {
  Rect dest;
  MemoryImage::StretchSource src{};
  ASSERT_TRUE(MemoryImage::ClipStretch(Rect(0, 0, 100, 50), Rect(10, 10, 20, 10), Rect(25, 10, 50, 100), dest, src));
  EXPECT_EQ(dest, Rect(25, 10, 50, 40));
  EXPECT_DOUBLE_EQ(src.mX, 15);
  EXPECT_DOUBLE_EQ(src.mY, 12);
  EXPECT_DOUBLE_EQ(src.mWidth, 10);
  EXPECT_DOUBLE_EQ(src.mHeight, 8);
  ASSERT_TRUE(
      MemoryImage::ClipStretchMirror(Rect(0, 0, 100, 50), Rect(10, 10, 20, 10), Rect(0, 0, 30, 100), dest, src));
  EXPECT_DOUBLE_EQ(src.mX, 10 + 70 * 0.2);
  EXPECT_FALSE(MemoryImage::ClipStretch(Rect(0, 0, 0, 50), Rect(0, 0, 5, 5), Rect(0, 0, 9, 9), dest, src));
  EXPECT_FALSE(MemoryImage::ClipStretch(Rect(0, 0, 10, 10), Rect(0, 0, 0, 5), Rect(0, 0, 9, 9), dest, src));
}

TEST(StretchBlt, FastPathMatchesReference) {
  Random random(21);
  for (int round = 0; round < 300; ++round) {
    model::Pixels dest = random.Image(random.Int(1, 40), random.Int(1, 40));
    if (round % 3 == 0)  // opaque destinations take the four-pixel path
      for (auto& p : dest.px) p |= 0xFF000000;
    const bool palettized = round % 2 == 1;
    const model::Pixels src = random.Image(random.Int(1, 20), random.Int(1, 20), palettized ? 50 : 0);
    auto destImage = ToImage(dest);
    auto srcImage = ToImage(src, palettized);
    const Rect destRect = random.RectIn(dest.width, dest.height, 15);
    const Rect srcRect = random.RectIn(src.width, src.height, 4);
    const Rect clip = random.RectIn(dest.width, dest.height, 5);
    const Color color = round % 7 == 0 ? Color(255, 0, 0) : Color::White;  // coloured: the fast path draws nothing
    destImage->StretchBlt(srcImage.get(), destRect, srcRect, clip, color, random.Int(0, 1), true);
    Rect clipped;
    MemoryImage::StretchSource s{};
    if (color == Color::White &&
        MemoryImage::ClipStretch(destRect, srcRect, clip.Intersection(Rect(0, 0, dest.width, dest.height)), clipped, s))
      model::FastStretch(dest, src, clipped, s.mX, s.mY, s.mWidth, s.mHeight);
    ASSERT_EQ(FromImage(*destImage).px, dest.px) << "round " << round;
  }
}

TEST(StretchBlt, SlowPathKeepsOpaqueAndUniformImagesExact) {
  // An opaque source pixel over an opaque destination gets the weight 255 at any scale.
  for (const Rect destRect : {Rect(0, 0, 16, 16), Rect(0, 0, 7, 5), Rect(1, 2, 31, 29), Rect(0, 0, 3, 30)}) {
    auto dest = ToImage({32, 32, std::vector<std::uint32_t>(1024, 0xFF000000)});
    auto src = ToImage({16, 16, std::vector<std::uint32_t>(256, 0xFFC08040)});
    dest->StretchBlt(src.get(), destRect, Rect(0, 0, 16, 16), Rect(0, 0, 32, 32), Color::White, 0, false);
    const model::Pixels p = FromImage(*dest);
    for (int y = destRect.mY; y < destRect.mY + destRect.mHeight; ++y)
      for (int x = destRect.mX; x < destRect.mX + destRect.mWidth; ++x)
        ASSERT_EQ(p.At(x, y), 0xFFBF7F3Fu) << destRect.mWidth << "x" << destRect.mHeight << " at " << x << "," << y;
    EXPECT_EQ(p.At(destRect.mX + destRect.mWidth, destRect.mY), 0xFF000000u);
  }
}

TEST(StretchBlt, SlowPathAtOneToOneCopiesOpaquePixels) {
  Random random(3);
  model::Pixels src = random.Image(12, 9);
  for (auto& p : src.px) p |= 0xFF000000;
  auto dest = ToImage({12, 9, std::vector<std::uint32_t>(108, 0xFF000000)});
  auto srcImage = ToImage(src);
  dest->StretchBlt(srcImage.get(), Rect(0, 0, 12, 9), Rect(0, 0, 12, 9), Rect(0, 0, 12, 9), Color::White, 0, false);
  const model::Pixels out = FromImage(*dest);
  for (std::size_t i = 0; i < out.px.size(); ++i) {
    // Weight 255: each channel is src x 255 >> 8, the old black contributes nothing.
    const std::uint32_t s = src.px[i];
    ASSERT_EQ(out.px[i], model::Over(0xFF000000, model::R(s), model::G(s), model::B(s), 255)) << i;
  }
}

}  // namespace
