// The blitter's fills, copies and nearest-neighbour stretches, plain and colour-keyed, at every vector
// width the processor has and with none, against one pixel at a time: pixel sizes 1 to 4, rows of
// every length up to a few vector registers, targets starting off a register's alignment, enlargements
// and reductions by several ratios, sources narrower than a register and sources whose rows end
// exactly where a register load would, gapless and padded rows, and blits within one memory. Blocks of
// gapless rows are copied exactly through the caches and past them (CacheSizesTest: which way when).
#include "platform/cpu/CacheSizes.h"
#include "platform/ddraw/Blitter.h"
#include "tests/support/SimdLevels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace ddraw_test {
namespace {

using plat::ddraw::PixelView;
using plat::ddraw::SourceKey;

// Pixels in memory of their own, exactly as large as the rows (after `shift` bytes, which move the
// pixels off any alignment), so a read or write past them is caught by AddressSanitizer. Most bytes
// are 0x00 or 0xFF, so keys match often.
struct Memory {
  Memory(int width, int height, int bytesPerPixel, int padding, std::mt19937& rng, int shift = 0)
      : bytes(static_cast<size_t>((width * bytesPerPixel + padding) * height + shift)),
        view{nullptr, width * bytesPerPixel + padding, width, height, bytesPerPixel},
        shift(shift) {
    for (BYTE& b : bytes) b = rng() % 3 == 0 ? static_cast<BYTE>(rng()) : rng() % 2 ? 0xFF : 0x00;
    view.pixels = bytes.data() + shift;
  }
  Memory(const Memory& other) : bytes(other.bytes), view(other.view), shift(other.shift) {
    view.pixels = bytes.data() + shift;
  }
  DWORD At(LONG x, LONG y) const {
    DWORD v = 0;
    std::memcpy(&v, view.pixels + y * view.pitch + x * view.bytesPerPixel, static_cast<size_t>(view.bytesPerPixel));
    return v;
  }
  void Set(LONG x, LONG y, DWORD v) {
    std::memcpy(view.pixels + y * view.pitch + x * view.bytesPerPixel, &v, static_cast<size_t>(view.bytesPerPixel));
  }
  std::vector<BYTE> bytes;
  PixelView view;
  int shift;
};

// What a blit writes, one pixel at a time, from a snapshot of the source.
void ModelBlit(Memory& target, const RECT& to, const RECT& clip, const Memory& source, const RECT& from,
               const SourceKey* key) {
  const LONG tw = to.right - to.left, th = to.bottom - to.top;
  const LONG sw = from.right - from.left, sh = from.bottom - from.top;
  for (LONG y = clip.top; y < clip.bottom; ++y)
    for (LONG x = clip.left; x < clip.right; ++x) {
      const LONG sx = from.left + static_cast<LONG>(static_cast<long long>(x - to.left) * sw / tw);
      const LONG sy = from.top + static_cast<LONG>(static_cast<long long>(y - to.top) * sh / th);
      const DWORD v = source.At(sx, sy);
      if (key && (v & key->mask) == (key->value & key->mask)) continue;
      target.Set(x, y, v);
    }
}

class BlitterTest : public testsupport::SimdLevelTest {
 protected:
  // A keyed blit's key: a pixel value of the source's most common bytes, masked to the colour bits.
  SourceKey KeyFor(int bytesPerPixel) {
    const DWORD all = bytesPerPixel == 4 ? 0xFFFFFFu : (1u << (8 * bytesPerPixel)) - 1;
    return SourceKey{rng() % 2 ? 0xFFFFFFFFu : 0u, all};
  }

  std::mt19937 rng{20261207};
};

TEST_P(BlitterTest, FillsWriteTheValueIntoEveryPixelOfTheAreaAndNothingElse) {
  for (int size = 1; size <= 4; ++size)
    for (const int padding : {0, 12})
      for (LONG left = 0; left < 4; ++left)
        for (LONG width = 0; width <= 40; ++width) {
          Memory target(left + width + 1, 3, size, padding, rng, static_cast<int>(width % 3));
          Memory expected = target;
          const RECT area{left, 1, left + width, 3};
          const DWORD value = rng();
          for (LONG y = area.top; y < area.bottom; ++y)
            for (LONG x = area.left; x < area.right; ++x)
              expected.Set(x, y, value & (size == 4 ? ~0u : (1u << 8 * size) - 1));
          plat::ddraw::FillPixels(target.view, area, value);
          ASSERT_EQ(target.bytes, expected.bytes)
              << "size " << size << " left " << left << " width " << width << " padding " << padding;
        }
}

TEST_P(BlitterTest, GaplessRowsAreFilledAsOneRunShortOrLong) {
  for (const int size : {2, 4})
    for (const LONG height : {5, 130})
      for (LONG width = 1; width <= 41; width += 5) {
        Memory target(width, height, size, 0, rng, static_cast<int>(width % 3));
        Memory expected = target;
        const RECT area{0, 1, width, height - 1};
        for (LONG y = area.top; y < area.bottom; ++y)
          for (LONG x = 0; x < width; ++x) expected.Set(x, y, size == 4 ? 0x5A6B7C8Du : 0x7C8Du);
        plat::ddraw::FillPixels(target.view, area, 0x5A6B7C8D);
        ASSERT_EQ(target.bytes, expected.bytes) << "size " << size << " width " << width << " height " << height;
      }
}

struct StretchCase {
  const char* name;
  LONG sourceWidth, targetWidth, sourceHeight, targetHeight;
};

TEST_P(BlitterTest, CopiesAndStretchesTakeTheNearestSourcePixelPlainOrKeyed) {
  const StretchCase cases[] = {
      {"copy", 37, 37, 3, 3},
      {"copy of one pixel", 1, 1, 1, 1},
      {"doubled", 19, 38, 3, 6},
      {"by 3/2", 26, 39, 4, 6},
      {"by 7/5", 25, 35, 5, 7},
      {"by 40/39", 39, 40, 2, 2},
      {"tripled", 13, 39, 2, 6},
      {"narrow source", 3, 37, 2, 3},
      {"four pixels to many", 4, 40, 1, 2},
      {"eight pixels to many", 8, 40, 1, 2},
      {"halved", 40, 20, 6, 3},
      {"by 5/7", 35, 25, 7, 5},
      {"by 3/40", 40, 3, 40, 3},
      {"wider, shorter", 17, 34, 6, 2},
  };
  for (int size = 1; size <= 4; ++size)
    for (const StretchCase& c : cases)
      for (const bool keyed : {false, true})
        for (const int padding : {0, 4})
          for (LONG left = 0; left < 3; ++left) {
            SCOPED_TRACE(std::string(c.name) + " size " + std::to_string(size) + " keyed " + std::to_string(keyed) +
                         " padding " + std::to_string(padding) + " left " + std::to_string(left));
            // The source rectangle ends at its row's end, so a load of a whole register past the last
            // source pixel would leave the memory.
            Memory source(left + c.sourceWidth, c.sourceHeight + 1, size, 0, rng);
            Memory target(c.targetWidth + 2 * left, c.targetHeight + 1, size, padding, rng);
            const RECT from{left, 1, left + c.sourceWidth, 1 + c.sourceHeight};
            const RECT to{left, 0, left + c.targetWidth, c.targetHeight};
            // Every column, and a clip that starts and ends inside the rectangle.
            for (const RECT clip : {to, RECT{to.left + 1, to.top, to.right - 1, to.bottom}}) {
              Memory expected = target;
              const SourceKey key = KeyFor(size);
              ModelBlit(expected, to, clip, source, from, keyed ? &key : nullptr);
              plat::ddraw::BlitPixels(target.view, to, clip, source.view, from, keyed ? &key : nullptr);
              ASSERT_EQ(target.bytes, expected.bytes);
            }
          }
}

// The enlarging kernels start their blocks where the target's stores fall on whole registers: every
// offset of the target row from that alignment, whole pixels off or not, and every count of pixels
// left before and after the blocks.
TEST_P(BlitterTest, EnlargementsAreExactWhereverTheTargetRowStarts) {
  for (const int size : {2, 4})
    for (int shift = 0; shift < 32; ++shift)
      for (const bool keyed : {false, true})
        for (LONG targetWidth = 8; targetWidth <= 40; ++targetWidth) {
          // Sources of a register's pixels and more, doubled or widened by less.
          const LONG sourceWidth = targetWidth % 2 ? 8 + (targetWidth - 8) / 2 : std::max<LONG>(8, targetWidth / 2);
          SCOPED_TRACE("size " + std::to_string(size) + " shift " + std::to_string(shift) + " keyed " +
                       std::to_string(keyed) + " width " + std::to_string(targetWidth));
          Memory source(sourceWidth, 2, size, 0, rng);
          // A pitch that is no multiple of the register moves each row's alignment.
          Memory target(targetWidth, 4, size, size == 4 ? 16 : 8, rng, shift);
          Memory expected = target;
          const RECT from{0, 0, sourceWidth, 2}, to{0, 0, targetWidth, 4};
          const SourceKey key = KeyFor(size);
          ModelBlit(expected, to, to, source, from, keyed ? &key : nullptr);
          plat::ddraw::BlitPixels(target.view, to, to, source.view, from, keyed ? &key : nullptr);
          ASSERT_EQ(target.bytes, expected.bytes);
        }
}

TEST_P(BlitterTest, BlitsWithinOneMemoryReadTheSourceAsItWasBefore) {
  struct Move {
    const char* name;
    RECT from, to;
  };
  const Move moves[] = {
      {"down", {0, 0, 24, 6}, {0, 2, 24, 8}},
      {"up", {0, 2, 24, 8}, {0, 0, 24, 6}},
      {"right", {0, 1, 20, 5}, {3, 1, 23, 5}},
      {"left", {3, 1, 23, 5}, {0, 1, 20, 5}},
      {"enlarged over itself", {2, 1, 14, 4}, {0, 0, 24, 8}},
      {"whole rows down", {0, 0, 24, 5}, {0, 1, 24, 6}},
  };
  for (const int size : {2, 4})
    for (const Move& m : moves)
      for (const bool keyed : {false, true}) {
        SCOPED_TRACE(std::string(m.name) + " size " + std::to_string(size) + " keyed " + std::to_string(keyed));
        Memory memory(24, 8, size, 0, rng);
        const Memory before = memory;
        Memory expected = memory;
        const SourceKey key = KeyFor(size);
        ModelBlit(expected, m.to, m.to, before, m.from, keyed ? &key : nullptr);
        plat::ddraw::BlitPixels(memory.view, m.to, m.to, memory.view, m.from, keyed ? &key : nullptr);
        ASSERT_EQ(memory.bytes, expected.bytes);
      }
}

// Gapless rows are one block, copied through the caches or past them (never within one memory, where
// source and target may overlap): exact wherever the target starts on its cache line.
TEST_P(BlitterTest, BlocksOfRowsAreCopiedExactlyThroughTheCachesOrPastThem) {
  const plat::cache::Sizes hugeCaches{std::size_t{1} << 40, 1, 0, 1}, noCaches{1, 1, 0, 1};
  for (const plat::cache::Sizes& caches : {hugeCaches, noCaches})
    for (int shift = 0; shift < 64; shift += 4) {
      const plat::cache::ScopedSizes forced(caches);
      Memory source(99, 5, 4, 0, rng, (shift + 24) % 64), target(99, 5, 4, 0, rng, shift);
      Memory expected = target;
      const RECT whole{0, 0, 99, 5}, top{0, 0, 99, 4}, down{0, 1, 99, 5};
      ModelBlit(expected, whole, whole, source, whole, nullptr);
      plat::ddraw::BlitPixels(target.view, whole, whole, source.view, whole, nullptr);
      ASSERT_EQ(target.bytes, expected.bytes) << "shift " << shift;
      const Memory before = target;  // the rows moved one down within the target's memory
      ModelBlit(expected, down, down, before, top, nullptr);
      plat::ddraw::BlitPixels(target.view, down, down, target.view, top, nullptr);
      ASSERT_EQ(target.bytes, expected.bytes) << "shift " << shift << " within one memory";
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, BlitterTest, testing::ValuesIn(testsupport::kSimdLevels), testsupport::SimdLevelName);

}  // namespace
}  // namespace ddraw_test
