// Runs the DirectDraw blitter's fills, copies and stretches (plain and colour-keyed) at every vector
// width the processor has (AVX2, SSE2) against the plain per-pixel code (the scalar level) on
// arbitrary pixel sizes, surface sizes, rectangles, clips, keys and pixels, and traps on any
// difference. Each surface's memory ends exactly where its last row does, so a read or write past it
// is caught by AddressSanitizer; its rows start anywhere off a register's alignment (up to 31 bytes
// into the allocation) but, as in the layer's own surfaces, at a multiple of their pixel size. Plain
// copies of gapless rows go through the caches, or, as the input asks for caches every copy overflows,
// past them at the vector widths (which the scalar level never does), or, for caches that leave every
// copy to a trial, both ways at the first copy of each size of the input.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/FuzzReader.h"
#include "platform/cpu/CacheSizes.h"
#include "platform/cpu/SimdLevel.h"
#include "platform/ddraw/Blitter.h"

namespace {

using plat::ddraw::PixelView;
using plat::simd::Level;

struct Memory {
  std::vector<BYTE> bytes;
  size_t shift;
  PixelView view;
};

Memory MakeMemory(fuzzsupport::Reader& in, int bytesPerPixel, std::uint32_t& seed) {
  const int width = 1 + in.Next<std::uint8_t>() % 80, height = 1 + in.Next<std::uint8_t>() % 6;
  const int pitch = width * bytesPerPixel + in.Next<std::uint8_t>() % 3 * 4;
  // The layer's surfaces keep rows at their pixel size's alignment (16- and 32-bit pixels); so does this.
  const size_t alignment = bytesPerPixel == 3 ? 1 : static_cast<size_t>(bytesPerPixel);
  const size_t shift = in.Next<std::uint8_t>() % 32 / alignment * alignment;
  Memory m{std::vector<BYTE>(static_cast<size_t>(pitch) * height + shift),
           shift,
           {nullptr, pitch, width, height, bytesPerPixel}};
  for (BYTE& b : m.bytes) {
    seed = seed * 1664525u + 1013904223u;
    b = (seed >> 29) < 3 ? static_cast<BYTE>(seed >> 16) : (seed >> 28) & 1 ? 0xFF : 0x00;
  }
  m.view.pixels = m.bytes.data() + shift;
  return m;
}

// A rectangle inside width x height with at least one pixel.
RECT MakeRect(fuzzsupport::Reader& in, int width, int height) {
  const LONG left = in.Next<std::uint8_t>() % width, top = in.Next<std::uint8_t>() % height;
  return RECT{left, top, left + 1 + in.Next<std::uint8_t>() % (width - left),
              top + 1 + in.Next<std::uint8_t>() % (height - top)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::Reader in(data, size);
  const int bytesPerPixel = 1 + in.Next<std::uint8_t>() % 4;
  const int kind = in.Next<std::uint8_t>() % 4;  // fill, blit, keyed blit, blit within one memory
  std::uint32_t seed = in.Next<std::uint32_t>();
  const Memory target = MakeMemory(in, bytesPerPixel, seed);
  const Memory source = MakeMemory(in, bytesPerPixel, seed);
  const RECT to = MakeRect(in, target.view.width, target.view.height);
  RECT clip = to;
  if (in.Next<std::uint8_t>() & 1) {
    const RECT inner = MakeRect(in, to.right - to.left, to.bottom - to.top);
    clip = RECT{to.left + inner.left, to.top + inner.top, to.left + inner.right, to.top + inner.bottom};
  }
  const bool within = kind == 3;
  const RECT from =
      MakeRect(in, within ? target.view.width : source.view.width, within ? target.view.height : source.view.height);
  const plat::ddraw::SourceKey key{in.Next<std::uint32_t>() & 1 ? 0xFFFFFFFFu : 0u, in.Next<std::uint32_t>()};
  const DWORD fill = in.Next<std::uint32_t>();
  const std::uint8_t cachesAsked = in.Next<std::uint8_t>() % 3;
  const plat::cache::ScopedSizes caches(cachesAsked == 0   ? plat::cache::Machine()
                                        : cachesAsked == 1 ? plat::cache::Sizes{1, 1, 0, 1}
                                                           : plat::cache::Sizes{std::size_t{1} << 40, 1, 0, 1});
  std::vector<BYTE> expected;
  for (const Level level : {Level::kScalar, Level::kSse2, Level::kAvx2}) {
    if (level > plat::simd::Supported()) break;
    plat::simd::Limit(level);
    Memory out = target;
    out.view.pixels = out.bytes.data() + out.shift;
    if (kind == 0) {
      plat::ddraw::FillPixels(out.view, to, fill);
    } else {
      const PixelView& fromView = within ? out.view : source.view;
      plat::ddraw::BlitPixels(out.view, to, clip, fromView, from, kind == 2 || (within && (seed & 1)) ? &key : nullptr);
    }
    if (level == Level::kScalar)
      expected = out.bytes;
    else if (out.bytes != expected)
      __builtin_trap();
  }
  plat::simd::Limit(Level::kAvx2);
  return 0;
}
