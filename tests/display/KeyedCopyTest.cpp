// The colour-keyed copy onto a surface (SurfaceDraw::CopyNative skipping transparent words), which
// copies the keyed spans made from the source's alpha run table: against the pixel model at every
// vector level, on rows that are wholly transparent, wholly opaque, or runs of every length (one pixel
// up to past the table's cap of 255), cut on every side, at every place in a register of the target,
// from plain and palettized sources; with partly transparent pixels among the opaque ones (runs of
// another class that the spans join); and after the source's pixels change or its run table is dropped.
#include "framework/graphics/surface/SurfaceBlt.h"
#include "tests/support/PixelModel.h"
#include "tests/support/SimdLevels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using Kit::Rect;

// Each row a pattern of its own: row 0 transparent, row 1 opaque, row 2 a transparent run past the
// table's cap then opaque, row 3 an opaque run past the cap then transparent, then runs of random
// lengths (1 to 40) of transparent and opaque pixels, some rows ending in a transparent run and some
// in an opaque one. With `partly`, a third of the drawn pixels come in short runs of alphas 1 to 254.
std::vector<std::uint32_t> KeyedPixels(int width, int height, std::mt19937& rng, bool partly = false) {
  std::vector<std::uint32_t> px(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    bool opaque = rng() % 2 == 0;
    int left = 1 + static_cast<int>(rng() % 40);
    std::uint32_t alpha = 0xFF000000u;
    for (int x = 0; x < width; ++x) {
      if (partly && x % 3 == 0) alpha = rng() % 3 == 0 ? (1 + rng() % 254) << 24 : 0xFF000000u;
      bool drawn = opaque;
      if (y == 0) drawn = false;
      if (y == 1) drawn = true;
      if (y == 2) drawn = x >= 300;
      if (y == 3) drawn = x < 270;
      const std::uint32_t colour = static_cast<std::uint32_t>(rng()) & 0xFFFFFF;
      // A transparent pixel keeps a colour: the copy must not store it.
      px[static_cast<std::size_t>(y) * width + x] = drawn ? alpha | colour : colour;
      if (--left == 0) {
        opaque = !opaque;
        left = 1 + static_cast<int>(rng() % 40);
      }
    }
  }
  return px;
}

class KeyedCopy : public testsupport::SimdLevelTest {
 protected:
  // Copies image at (x, y) from srcRect onto a noise surface of the format and the model on a copy of
  // it; every byte must agree, the padding after each row included.
  void ExpectModel(const model::Format& format, Kit::MemoryImage& image, int x, int y, const Rect& srcRect,
                   int surfaceWidth = kSurfaceWidth, int surfaceHeight = kSurfaceHeight) {
    model::Surface actual = model::MakeSurface(format, surfaceWidth, surfaceHeight, 3, rng_);
    model::Surface expected = actual;
    model::FormatDisplay display(format);
    model::Target target(actual, display);
    Kit::SurfaceDraw::CopyNative(target.target, image, &display, x, y, srcRect, true);
    model::CopyNative(expected, model::SourceOf(image, display), x, y, srcRect, true);
    const auto diff = std::mismatch(actual.bytes.begin(), actual.bytes.end(), expected.bytes.begin());
    ASSERT_TRUE(diff.first == actual.bytes.end())
        << model::FormatName(format) << " at " << x << "," << y << " from " << srcRect.mX << "," << srcRect.mY << " "
        << srcRect.mWidth << "x" << srcRect.mHeight << ": first differing byte at row "
        << (diff.first - actual.bytes.begin()) / actual.pitch << ", byte "
        << (diff.first - actual.bytes.begin()) % actual.pitch;
  }

  static constexpr int kSurfaceWidth = 340, kSurfaceHeight = 30;
  static constexpr int kWidth = 320, kHeight = 24;
  std::mt19937 rng_{97};
};

// A source of keyed pixels, its native words made for the format the test draws onto.
std::unique_ptr<Kit::MemoryImage> KeyedImage(std::vector<std::uint32_t> px, bool palettized, int width, int height) {
  if (palettized)
    for (std::uint32_t& p : px) p &= 0xFF00000Fu;  // few enough colours for a table
  auto image = std::make_unique<Kit::MemoryImage>();
  image->SetBits(px.data(), width, height);
  EXPECT_TRUE(image->mHasTrans && !image->mHasAlpha);
  if (palettized) {
    EXPECT_TRUE(image->Palletize());
  }
  return image;
}

TEST_P(KeyedCopy, MatchesTheModelWhereverTheRunsAreCut) {
  for (bool palettized : {false, true})
    for (const auto& format : model::kSurfaceFormats) {
      SCOPED_TRACE(palettized ? "palettized" : "bits");
      auto image = KeyedImage(KeyedPixels(kWidth, kHeight, rng_), palettized, kWidth, kHeight);
      // Whole, and cut by the surface on each side (rows starting and ending inside runs).
      for (const auto& [x, y] : {std::pair{5, 2}, std::pair{-7, 2}, std::pair{31, 2}, std::pair{3, -5},
                                 std::pair{3, 20}, std::pair{-300, 0}}) {
        ExpectModel(format, *image, x, y, Rect(0, 0, kWidth, kHeight));
      }
      // Source rectangles of every narrow width (tails shorter than a register) and cut mid-run.
      for (int width = 1; width <= 40; ++width)
        ExpectModel(format, *image, 2, 1, Rect(static_cast<int>(rng_() % 200), 0, width, kHeight));
      for (int round = 0; round < 40; ++round) {
        const Rect srcRect(static_cast<int>(rng_() % kWidth) - 4, static_cast<int>(rng_() % kHeight) - 4,
                           static_cast<int>(rng_() % (kWidth + 8)), static_cast<int>(rng_() % (kHeight + 8)));
        ExpectModel(format, *image, static_cast<int>(rng_() % 40) - 20, static_cast<int>(rng_() % 10) - 5, srcRect);
      }
    }
}

// A partly transparent pixel is no hole: the keyed copy stores it as it is, its runs joined to the
// opaque runs beside it.
TEST_P(KeyedCopy, StoresPartlyTransparentPixelsAsOpaqueOnes) {
  for (const auto& format : model::kSurfaceFormats) {
    Kit::MemoryImage image;
    const std::vector<std::uint32_t> px = KeyedPixels(kWidth, kHeight, rng_, true);
    image.SetBits(px.data(), kWidth, kHeight);
    ASSERT_TRUE(image.mHasTrans && image.mHasAlpha);
    ExpectModel(format, image, 5, 2, Rect(0, 0, kWidth, kHeight));
    ExpectModel(format, image, -9, 4, Rect(3, 1, kWidth - 20, kHeight - 3));
  }
}

// The spans are made once and kept with the run table: when the table is dropped (the image's software
// buffers deleted, the pixels then changed in place), the copy follows the pixels.
TEST_P(KeyedCopy, FollowsThePixelsWhenTheRunTableIsDropped) {
  for (const auto& format : model::kSurfaceFormats) {
    auto image = KeyedImage(KeyedPixels(kWidth, kHeight, rng_), false, kWidth, kHeight);
    ExpectModel(format, *image, 4, 3, Rect(0, 0, kWidth, kHeight));
    image->DeleteSWBuffers();
    std::uint32_t* bits = image->GetBits();
    for (int i = 0; i < kWidth * kHeight; ++i) bits[i] ^= 0xFF000000u;
    ExpectModel(format, *image, 4, 3, Rect(0, 0, kWidth, kHeight));
  }
}

// The run table is made from the pixels once and kept: when the pixels change, the copy follows them.
TEST_P(KeyedCopy, FollowsThePixelsWhenTheyChange) {
  for (const auto& format : model::kSurfaceFormats) {
    auto image = KeyedImage(KeyedPixels(kWidth, kHeight, rng_), false, kWidth, kHeight);
    ExpectModel(format, *image, 4, 3, Rect(0, 0, kWidth, kHeight));
    // Every pixel's key turned round: what was stepped over is drawn now, and what was drawn is left.
    std::uint32_t* bits = image->GetBits();
    for (int i = 0; i < kWidth * kHeight; ++i) bits[i] ^= 0xFF000000u;
    image->BitsChanged();
    ExpectModel(format, *image, 4, 3, Rect(0, 0, kWidth, kHeight));
    // And through SetBits, with a new pattern altogether.
    const std::vector<std::uint32_t> px = KeyedPixels(kWidth, kHeight, rng_);
    image->SetBits(px.data(), kWidth, kHeight);
    ExpectModel(format, *image, 4, 3, Rect(0, 0, kWidth, kHeight));
  }
}

// A span is copied in moves of a register and less, the moves between the first and the last on the
// target's register boundaries: spans of every length from one pixel to past four 32-byte registers of
// 16-bit pixels, each at every place in a register of the target, store their pixels and no others.
TEST_P(KeyedCopy, StoresSpansOfEveryLengthAtEveryAlignment) {
  constexpr int kLongest = 80, kWidthWithGaps = kLongest + 9;
  // Row k: one span of k + 1 pixels, its start moving along the row from row to row.
  std::vector<std::uint32_t> px(static_cast<std::size_t>(kWidthWithGaps) * kLongest);
  for (std::size_t i = 0; i < px.size(); ++i) {
    const int k = static_cast<int>(i) / kWidthWithGaps, x = static_cast<int>(i) % kWidthWithGaps, start = 1 + k % 8;
    px[i] = (static_cast<std::uint32_t>(rng_()) & 0xFFFFFF) | (x >= start && x <= start + k ? 0xFF000000u : 0);
  }
  for (const auto& format : model::kSurfaceFormats) {
    Kit::MemoryImage image;  // its native words are made for one format
    image.SetBits(px.data(), kWidthWithGaps, kLongest);
    for (int x = 0; x < 16; ++x) {
      SCOPED_TRACE(testing::Message() << model::FormatName(format) << " at x " << x);
      // The whole picture (its spans as they are) and all but its first two columns (each span cut).
      for (int cut : {0, 2})
        ExpectModel(format, image, x, 0, Rect(cut, 0, kWidthWithGaps - cut, kLongest), kWidthWithGaps + 16, kLongest);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, KeyedCopy, testing::ValuesIn(testsupport::kSimdLevels),
                         testsupport::SimdLevelName);

}  // namespace
