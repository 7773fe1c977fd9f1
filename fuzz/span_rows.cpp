// Runs the triangle spans' row kernels and the textured span routines built on them at every vector
// width the processor has (AVX2, SSE2) against the plain per-pixel code (the scalar level) on
// arbitrary pixels, colours, lengths, triangles and textures, and traps on any difference. Each row
// and destination sits at the very end of its own allocation, so a kernel that reads or writes past
// its pixels is caught by AddressSanitizer.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "framework/graphics/kernels/SimdLevel.h"
#include "framework/graphics/raster/SpanRows.h"
#include "framework/graphics/raster/TriangleSpans.h"
#include "fuzz/FuzzReader.h"

namespace {

using Kit::Simd::Level;

// count words from the input and, past it, from a small generator seeded by it; most alphas are the
// ones the kernels treat apart (0 and 255).
std::vector<std::uint32_t> Words(fuzzsupport::Reader& in, int count, std::uint32_t& seed) {
  std::vector<std::uint32_t> out(static_cast<std::size_t>(count));
  for (std::uint32_t& word : out) {
    seed = seed * 1664525u + 1013904223u;
    word = in.More() ? in.Next<std::uint32_t>() : seed;
    if ((seed >> 28) < 8) word = (word & 0xFFFFFF) | ((seed >> 27) & 1 ? 0xFF000000u : 0);
  }
  return out;
}

// Runs draw on a copy of dest at each level and traps unless every level gives the scalar result.
template <typename Draw>
void Compare(const std::vector<std::uint32_t>& dest, Draw draw) {
  std::vector<std::uint32_t> expected;
  for (const Level level : {Level::kScalar, Level::kSse2, Level::kAvx2}) {
    if (level > Kit::Simd::Supported()) break;
    Kit::Simd::Limit(level);
    std::vector<std::uint32_t> out = dest;
    draw(out.data());
    if (level == Level::kScalar)
      expected = out;
    else if (out != expected)
      __builtin_trap();
  }
  Kit::Simd::Limit(Level::kAvx2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::Reader in(data, size);
  const int kind = in.Next<std::uint8_t>() % 4;
  const Kit::SpanRows::Color color{in.Next<std::uint8_t>(), in.Next<std::uint8_t>(), in.Next<std::uint8_t>(),
                                   in.Next<std::uint8_t>()};
  std::uint32_t seed = in.Next<std::uint32_t>();
  if (kind < 3) {
    const int count = in.Next<std::uint16_t>() % 300;
    const std::vector<std::uint32_t> src = Words(in, count, seed), dest = Words(in, count, seed);
    Compare(dest, [&](std::uint32_t* d) {
      if (kind == 0) Kit::SpanRows::Modulate(d, count, color);
      if (kind == 1) Kit::SpanRows::OntoOpaque(d, src.data(), count);
      if (kind == 2) Kit::SpanRows::OverKeepingAlpha(d, src.data(), count);
    });
    return 0;
  }
  // A textured span routine on a destination up to 300 pixels wide.
  const int width = 1 + in.Next<std::uint16_t>() % 300, height = 1 + in.Next<std::uint8_t>() % 8;
  const int texWidth = 1 + in.Next<std::uint8_t>() % 16, texHeight = 1 + in.Next<std::uint8_t>() % 16;
  const std::vector<std::uint32_t> texels = Words(in, texWidth * texHeight, seed);
  const Kit::SpanTexture texture{texels.data(),        16,       (texWidth - 1) << 16, (texHeight - 1) << 16, texWidth,
                                 texWidth * texHeight, texHeight};
  Kit::FixedVertex triangle[3];
  for (auto& v : triangle) {
    // Inside the destination, as the rasteriser keeps them; texture coordinates anywhere.
    v.mX = static_cast<std::int32_t>(in.Next<std::uint32_t>() % (static_cast<std::uint32_t>(width - 1) << 16 | 1));
    v.mY = static_cast<std::int32_t>(in.Next<std::uint32_t>() % (static_cast<std::uint32_t>(height - 1) << 16 | 1));
    v.mU = in.Next<std::int32_t>() >> (in.Next<std::uint8_t>() % 16);
    v.mV = in.Next<std::int32_t>() >> (in.Next<std::uint8_t>() % 16);
  }
  // Textured, without vertex colours: alpha, colourised and blend from the input, any format group.
  const int features = 16 | (in.Next<std::uint8_t>() & 0xB);
  const int index = features + 32 * (in.Next<std::uint8_t>() % 4);
  const Kit::SpanColor spanColor{static_cast<int>(color.a), static_cast<int>(color.r), static_cast<int>(color.g),
                                 static_cast<int>(color.b)};
  const std::vector<std::uint32_t> dest = Words(in, width * height, seed);
  Compare(dest, [&](std::uint32_t* d) { Kit::GetSpanRoutine(index)(triangle, d, width * 4, texture, spanColor); });
  return 0;
}
