// What CommitBits finds in an image's pixels (transparency: an alpha of 0; partial alpha: 1 to 254),
// at every vector level: one odd pixel anywhere in images whose sizes fall on and around the vector
// blocks, among pixels of every other alpha class.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/graphics/MemoryImage.h"
#include "tests/support/SimdLevels.h"

namespace {

struct AlphaCase {
  std::uint32_t background;  // every pixel but the odd one
  std::uint32_t odd;
  bool hasTrans;
  bool hasAlpha;
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

// Whole blocks of each width, a pixel short and a pixel over, and the odd one first, in the middle and
// last.
const int kSizes[] = {2, 3, 4, 31, 32, 33, 63, 64, 65, 200, 257, 1000};

class CommitAlpha : public testsupport::SimdLevelTest {};

TEST_P(CommitAlpha, FindsTheOddPixelWhereverItIs) {
  for (const AlphaCase& c : kCases) {
    for (const int size : kSizes) {
      for (const int at : {0, size / 2, size - 1}) {
        SCOPED_TRACE(testing::Message() << std::hex << c.background << " with " << c.odd << std::dec << " at " << at
                                        << " of " << size);
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size), c.background);
        pixels[static_cast<std::size_t>(at)] = c.odd;
        Kit::MemoryImage image;
        image.SetBits(pixels.data(), size, 1);
        EXPECT_EQ(image.mHasTrans, c.hasTrans);
        EXPECT_EQ(image.mHasAlpha, c.hasAlpha);
        // The same pixels as a column and a table of the colours used.
        Kit::MemoryImage column;
        column.SetBits(pixels.data(), 1, size);
        ASSERT_TRUE(column.Palletize());
        column.BitsChanged();
        column.CommitBits();
        EXPECT_EQ(column.mHasTrans, c.hasTrans);
        EXPECT_EQ(column.mHasAlpha, c.hasAlpha);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, CommitAlpha, testing::ValuesIn(testsupport::kSimdLevels), testsupport::SimdLevelName);

}  // namespace
