// The blitter against a pixel-by-pixel reference over random rectangles, clips, keys and pixel sizes,
// including copies within one memory.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/ddraw/Blitter.h"

namespace {

using plat::ddraw::BlitPixels;
using plat::ddraw::FillPixels;
using plat::ddraw::PixelView;
using plat::ddraw::SourceKey;

DWORD Get(const PixelView& v, int x, int y) {
  DWORD value = 0;
  std::memcpy(&value, v.pixels + static_cast<size_t>(y) * v.pitch + static_cast<size_t>(x) * v.bytesPerPixel,
              v.bytesPerPixel);
  return value;
}

PixelView MakeView(std::vector<BYTE>& memory, int width, int height, int bytes, std::mt19937& random) {
  const LONG pitch = (width * bytes + 7) / 8 * 8 + 8 * static_cast<LONG>(random() % 2);
  memory.resize(static_cast<size_t>(pitch) * height);
  for (BYTE& b : memory) b = static_cast<BYTE>(random() % 4);  // few distinct values: keys match often
  return PixelView{memory.data(), pitch, width, height, bytes};
}

RECT RandomRect(int width, int height, std::mt19937& random) {
  const LONG left = static_cast<LONG>(random() % width);
  const LONG top = static_cast<LONG>(random() % height);
  const LONG right = left + 1 + static_cast<LONG>(random() % (width - left));
  const LONG bottom = top + 1 + static_cast<LONG>(random() % (height - top));
  return RECT{left, top, right, bottom};
}

TEST(BlitterReferenceTest, RandomBlitsMatchTheReference) {
  std::mt19937 random(1234);
  for (int round = 0; round < 3000; ++round) {
    const int bytes = 1 + static_cast<int>(random() % 4);
    const bool sameMemory = random() % 4 == 0;
    std::vector<BYTE> targetMemory;
    std::vector<BYTE> sourceMemory;
    const PixelView target = MakeView(targetMemory, 1 + random() % 24, 1 + random() % 24, bytes, random);
    const PixelView source =
        sameMemory ? target : MakeView(sourceMemory, 1 + random() % 24, 1 + random() % 24, bytes, random);
    const RECT to =
        random() % 2 ? RandomRect(target.width, target.height, random) : RECT{0, 0, target.width, target.height};
    RECT from = RandomRect(source.width, source.height, random);
    if (random() % 2) {
      // Same size when it fits.
      from.right = std::min<LONG>(from.left + (to.right - to.left), source.width);
      from.bottom = std::min<LONG>(from.top + (to.bottom - to.top), source.height);
    }
    RECT clip = to;
    if (random() % 2) {
      const RECT inner = RandomRect(to.right - to.left, to.bottom - to.top, random);
      clip = RECT{to.left + inner.left, to.top + inner.top, to.left + inner.right, to.top + inner.bottom};
    }
    const bool keyed = random() % 2;
    const DWORD keyValue = Get(source, from.left, from.top);
    const SourceKey key{keyValue, bytes == 4 ? 0xFFFFFFu : 0xFFFFFFFFu};

    // Reference: every clipped target pixel from the source snapshot.
    const std::vector<BYTE> sourceSnapshot(source.pixels,
                                           source.pixels + static_cast<size_t>(source.pitch) * source.height);
    const PixelView snapshot{const_cast<BYTE*>(sourceSnapshot.data()), source.pitch, source.width, source.height,
                             bytes};
    std::vector<BYTE> expected(target.pixels, target.pixels + static_cast<size_t>(target.pitch) * target.height);
    const LONG tw = to.right - to.left, th = to.bottom - to.top;
    const LONG sw = from.right - from.left, sh = from.bottom - from.top;
    for (LONG y = clip.top; y < clip.bottom; ++y)
      for (LONG x = clip.left; x < clip.right; ++x) {
        const LONG sx = from.left + static_cast<LONG>(static_cast<long long>(x - to.left) * sw / tw);
        const LONG sy = from.top + static_cast<LONG>(static_cast<long long>(y - to.top) * sh / th);
        const DWORD v = Get(snapshot, sx, sy);
        if (keyed && (v & key.mask) == (key.value & key.mask)) continue;
        std::memcpy(expected.data() + static_cast<size_t>(y) * target.pitch + static_cast<size_t>(x) * bytes, &v,
                    bytes);
      }

    BlitPixels(target, to, clip, source, from, keyed ? &key : nullptr);
    ASSERT_EQ(std::memcmp(expected.data(), target.pixels, expected.size()), 0)
        << "round " << round << " bytes " << bytes << " same " << sameMemory << " keyed " << keyed << " to " << to.left
        << "," << to.top << "," << to.right << "," << to.bottom << " from " << from.left << "," << from.top << ","
        << from.right << "," << from.bottom;
  }
}

TEST(BlitterReferenceTest, FillsTouchOnlyTheirArea) {
  std::mt19937 random(99);
  for (int round = 0; round < 500; ++round) {
    const int bytes = 1 + static_cast<int>(random() % 4);
    std::vector<BYTE> memory;
    const PixelView view = MakeView(memory, 1 + random() % 20, 1 + random() % 20, bytes, random);
    const std::vector<BYTE> before = memory;
    const RECT area = RandomRect(view.width, view.height, random);
    const DWORD value = static_cast<DWORD>(random());
    FillPixels(view, area, value);
    for (int y = 0; y < view.height; ++y)
      for (LONG b = 0; b < view.pitch; ++b) {
        const size_t at = static_cast<size_t>(y) * view.pitch + b;
        const LONG x = b / bytes;
        const bool inside =
            y >= area.top && y < area.bottom && x >= area.left && x < area.right && b < view.width * bytes;
        const BYTE want = inside ? static_cast<BYTE>(value >> (8 * (b % bytes))) : before[at];
        ASSERT_EQ(memory[at], want) << "round " << round << " at " << b << "," << y;
      }
  }
}

}  // namespace
