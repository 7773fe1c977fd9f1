// What CommitBits finds in an image's pixels (transparency: an alpha of 0; partial alpha: 1 to 254) at
// every vector level: one odd pixel first, in the middle or last, among pixels of every other class.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "framework/graphics/MemoryImage.h"
#include "tests/support/SimdLevels.h"

namespace {

struct AlphaCase {
  std::uint32_t background, odd;  // every pixel but the odd one, the odd one
  bool hasTrans, hasAlpha;
};

// The colour bytes take their extreme values too, which a scan of the alpha byte must not mistake.
const AlphaCase kCases[] = {
    {0xFF000000, 0xFFFFFFFF, false, false},  // opaque only
    {0xFFFFFFFF, 0x00FFFFFF, true, false},   // one transparent pixel among opaque ones
    {0xFF000000, 0x00000000, true, false},
    {0xFFFFFFFF, 0x01FFFFFF, false, true},  // the least partial alpha
    {0xFF000000, 0xFE000000, false, true},  // the greatest
    {0xFF808080, 0x80808080, false, true},
    {0x00FFFFFF, 0xFF000000, true, false},  // transparent only, but for an opaque pixel
    {0x00000000, 0x7F000000, true, true},   // both classes
    {0x40FFFFFF, 0x00FFFFFF, true, true},
    {0xFEFFFFFF, 0xFF000000, false, true},  // partial everywhere
};

// Whole blocks of each width, a pixel short and a pixel over.
const int kSizes[] = {2, 3, 4, 31, 32, 33, 63, 64, 65, 200, 257, 1000};

std::pair<bool, bool> Found(const Kit::MemoryImage& image) { return {image.mHasTrans, image.mHasAlpha}; }

class CommitAlpha : public testsupport::SimdLevelTest {};

TEST_P(CommitAlpha, FindsTheOddPixelWhereverItIs) {
  for (const AlphaCase& c : kCases)
    for (const int size : kSizes)
      for (const int at : {0, size / 2, size - 1}) {
        SCOPED_TRACE(testing::Message() << std::hex << c.background << " with " << c.odd << std::dec << " at " << at
                                        << " of " << size);
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size), c.background);
        pixels[static_cast<std::size_t>(at)] = c.odd;
        Kit::MemoryImage row, column;  // the column holds them as a table of the colours used
        row.SetBits(pixels.data(), size, 1);
        column.SetBits(pixels.data(), 1, size);
        ASSERT_TRUE(column.Palletize());
        column.BitsChanged();
        column.CommitBits();
        EXPECT_EQ(Found(row), std::make_pair(c.hasTrans, c.hasAlpha));
        EXPECT_EQ(Found(column), std::make_pair(c.hasTrans, c.hasAlpha));
      }
}

INSTANTIATE_TEST_SUITE_P(Levels, CommitAlpha, testing::ValuesIn(testsupport::kSimdLevels), testsupport::SimdLevelName);

}  // namespace
