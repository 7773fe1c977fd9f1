// The textured spans' row kernels at every vector width the processor has, and with none, against
// the per-pixel formulas: every length up to a few registers (the tails), rows starting off a
// register's alignment, and the channel and alpha values the kernels treat apart.
#include "framework/graphics/raster/SpanRows.h"

#include "tests/support/PixelModel.h"
#include "tests/support/SimdLevels.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace rastertest {
namespace {

class SpanRowsTest : public testsupport::SimdLevelTest {
 protected:
  // Pixels whose channels are mostly the edge values 0 and 255, and whose alphas come in runs of
  // 0, 255 and anything, so whole registers of each kind occur.
  std::vector<std::uint32_t> Pixels(int count) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(count));
    std::uint32_t runAlpha = 0;
    for (int i = 0; i < count; ++i) {
      if (i % 8 == 0) runAlpha = std::uniform_int_distribution<int>(0, 3)(mRng);
      std::uint32_t p = mRng();
      if (mRng() % 3 == 0) p = (p & 0xFF000000u) | (mRng() % 2 ? 0xFFFFFF : 0);
      const std::uint32_t alpha = runAlpha == 0 ? 0 : runAlpha == 1 ? 255 : runAlpha == 2 ? p >> 24 : 1 + mRng() % 254;
      out[static_cast<std::size_t>(i)] = (p & 0xFFFFFF) | alpha << 24;
    }
    return out;
  }

  std::mt19937 mRng{20261207};
};

TEST_P(SpanRowsTest, ModulateMatchesTheFormulaOnEveryLengthAndColour) {
  const Kit::SpanRows::Color colours[] = {{0, 0, 0, 0}, {255, 255, 255, 255}, {200, 200, 150, 100}, {1, 254, 128, 3}};
  for (const auto& c : colours)
    for (int offset = 0; offset < 4; ++offset)
      for (int count = 0; count <= 40; ++count) {
        std::vector<std::uint32_t> row = Pixels(offset + count), expected = row;
        for (int i = offset; i < offset + count; ++i) expected[i] = model::SpanModulate(row[i], c.a, c.r, c.g, c.b);
        Kit::SpanRows::Modulate(row.data() + offset, count, c);
        ASSERT_EQ(row, expected) << "count " << count << " offset " << offset << " colour " << c.a << "," << c.r;
      }
}

TEST_P(SpanRowsTest, OntoOpaqueLeavesClearPixelsAndBlendsTheRest) {
  for (int offset = 0; offset < 4; ++offset)
    for (int count = 0; count <= 40; ++count) {
      const std::vector<std::uint32_t> src = Pixels(offset + count);
      std::vector<std::uint32_t> row = Pixels(offset + count + 1), expected = row;
      for (int i = offset; i < offset + count; ++i)
        if (const std::uint32_t sa = src[i] >> 24; sa != 0) expected[i] = model::SpanOntoOpaque(row[i], src[i], sa);
      Kit::SpanRows::OntoOpaque(row.data() + offset, src.data() + offset, count);
      ASSERT_EQ(row, expected) << "count " << count << " offset " << offset;
    }
}

TEST_P(SpanRowsTest, OverKeepingAlphaCopiesOpaqueLeavesClearAndBlendsTheRestOverAnyDestination) {
  for (const bool opaqueRow : {true, false})
    for (int offset = 0; offset < 4; ++offset)
      for (int count = 0; count <= 40; ++count) {
        const std::vector<std::uint32_t> src = Pixels(offset + count);
        std::vector<std::uint32_t> row = Pixels(offset + count + 1);
        // Mostly opaque destinations, as a screen image's are; one translucent pixel in a few rows.
        for (std::uint32_t& d : row) d |= opaqueRow || mRng() % 8 ? 0xFF000000u : 0;
        std::vector<std::uint32_t> expected = row;
        for (int i = offset; i < offset + count; ++i) {
          const std::uint32_t sa = src[i] >> 24;
          if (sa == 255) expected[i] = src[i];
          if (sa != 0 && sa != 255) expected[i] = model::SpanOverKeepingAlpha(row[i], src[i], sa);
        }
        Kit::SpanRows::OverKeepingAlpha(row.data() + offset, src.data() + offset, count);
        ASSERT_EQ(row, expected) << "count " << count << " offset " << offset << " opaque " << opaqueRow;
      }
}

INSTANTIATE_TEST_SUITE_P(Widths, SpanRowsTest, testing::ValuesIn(testsupport::kSimdLevels), testsupport::SimdLevelName);

}  // namespace
}  // namespace rastertest
