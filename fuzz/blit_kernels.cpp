// Runs the drawing row kernels at every vector width the processor has (AVX2, SSE2) against their
// plain per-pixel formulas (the scalar level) on arbitrary pixels, lengths and offsets, and traps on
// any difference. Every row sits at the very end of its own allocation, so a kernel that reads or
// writes past its pixels is caught by AddressSanitizer.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "framework/graphics/NativePixel.h"
#include "framework/graphics/kernels/AreaStretchRows.h"
#include "framework/graphics/kernels/CopyRows.h"
#include "framework/graphics/kernels/OverRows.h"
#include "framework/graphics/kernels/PixelRows.h"
#include "framework/graphics/kernels/SimdLevel.h"
#include "framework/graphics/kernels/SurfaceRows.h"
#include "framework/graphics/kernels/TintRows.h"
#include "framework/graphics/software/KeyedSpans.h"
#include "framework/graphics/software/PixelBlend.h"
#include "framework/graphics/software/RunLengthTable.h"
#include "fuzz/FuzzReader.h"

namespace {

using Kit::Simd::Level;

// A row of count values at the end of a buffer `offset` values longer, filled from the input and,
// past it, from a small generator seeded by the input, so short inputs still give long rows.
template <typename T>
struct Row {
  std::vector<T> buffer;
  int offset;
  T* Pixels() { return buffer.data() + offset; }
};

template <typename T>
Row<T> MakeRow(fuzzsupport::Reader& in, int offset, int count, std::uint32_t& seed, std::uint32_t bias) {
  Row<T> row{std::vector<T>(static_cast<std::size_t>(offset + count)), offset};
  for (int i = 0; i < offset + count; ++i) {
    seed = seed * 1664525u + 1013904223u;
    std::uint32_t value = in.More() ? in.Next<std::uint32_t>() : seed;
    // Most words get one of the alphas the kernels treat apart (0, 255) or a run of equal alphas.
    if ((seed >> 28) < 6) value = (value & 0xFFFFFF) | ((seed >> 27) & 1 ? 0xFF000000u : 0);
    // Some are black (with or without alpha), which the additive kernels treat apart.
    if (((seed >> 20) & 7) == 0) value &= (seed >> 23) & 1 ? 0xFF000000u : 0;
    row.buffer[static_cast<std::size_t>(i)] = static_cast<T>(value | bias);
  }
  return row;
}

// Runs draw on a copy of dest at each level and traps unless every level gives the scalar result.
template <typename T, typename Draw>
void Compare(const Row<T>& dest, Draw draw) {
  std::vector<T> expected;
  for (const Level level : {Level::kScalar, Level::kSse2, Level::kAvx2}) {
    if (level > Kit::Simd::Supported()) break;
    Kit::Simd::Limit(level);
    Row<T> out = dest;
    draw(out.Pixels());
    if (level == Level::kScalar)
      expected = out.buffer;
    else if (out.buffer != expected)
      __builtin_trap();
  }
  Kit::Simd::Limit(Level::kAvx2);
}

// The keyed copy of columns left up to right of rows top up to bottom of a picture of `height` rows of
// `width` (its keyed spans made from the run table) onto d, whose pixels were `before`: traps unless
// each pixel inside is its word where the word's alpha is not 0 and every other pixel is left.
struct KeyedWindow {
  int left, right, top, bottom;
};
template <typename Pixel>
void StoreKeyedChecked(Pixel* d, const Pixel* before, const Pixel* words, const std::uint32_t* native,
                       const std::uint8_t* runs, int width, int height, const KeyedWindow& w) {
  const Kit::KeyedSpans spans =
      Kit::BuildKeyedSpans(width, height, runs, [&](std::size_t i) { return native[i] >> 24; });
  const std::size_t first = static_cast<std::size_t>(w.top) * static_cast<std::size_t>(width);
  Kit::CopyRows::StoreKeyed(Kit::CopyRows::KeyedRows<Pixel>{
      d + first + static_cast<std::size_t>(w.left), width, words + first, width, spans.rowFirst.data() + w.top,
      spans.spans.data(), w.left, w.right, w.top, w.bottom - w.top});
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int i = y * width + x;
      const bool inside = x >= w.left && x < w.right && y >= w.top && y < w.bottom;
      if (d[i] != (inside && (native[i] >> 24) != 0 ? words[i] : before[i])) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::Reader in(data, size);
  const int kernel = in.Next<std::uint8_t>() % 31;
  const int count = in.Next<std::uint16_t>() % 300;
  const int destOffset = in.Next<std::uint8_t>() % 9, srcOffset = in.Next<std::uint8_t>() % 9;
  const Kit::TintRows::Tint tint{in.Next<std::uint8_t>(), in.Next<std::uint8_t>(), in.Next<std::uint8_t>(),
                                 in.Next<std::uint8_t>() % 3 == 0 ? 255u : in.Next<std::uint8_t>()};
  std::uint32_t seed = in.Next<std::uint32_t>();
  // Memory-image destinations are mostly opaque, as the screen image is.
  const std::uint32_t destBias = in.Next<std::uint8_t>() % 4 ? 0xFF000000u : 0;
  Row<std::uint32_t> src = MakeRow<std::uint32_t>(in, srcOffset, count, seed, 0);
  const std::uint32_t* s = src.Pixels();
  const bool skipClear = in.Next<std::uint8_t>() & 1;
  if (kernel == 10) {
    // The stretch's accumulated channels: whole numbers whose weighted sums stay below 2^24.
    std::vector<float> top(4 * static_cast<std::size_t>(count)), bottom(top.size());
    for (std::size_t i = 0; i < top.size(); ++i) {
      top[i] = static_cast<float>(s[i / 4] >> (i % 4 * 8) & 0xFFFF);
      bottom[i] = static_cast<float>(in.Next<std::uint16_t>());
    }
    const float topWeight = in.Next<std::uint8_t>(), bottomWeight = skipClear ? 0.0f : 256.0f - topWeight;
    const Row<std::uint32_t> dest = MakeRow<std::uint32_t>(in, destOffset, count, seed, 0);
    Compare(dest, [&](std::uint32_t* d) {
      Kit::AreaStretchRows::Mix(d, top.data(), skipClear ? nullptr : bottom.data(), topWeight, bottomWeight, count);
    });
    return 0;
  }
  if (kernel == 30) {
    // The area stretch's native words, for a display of each kind the vector bodies take (the bytes of
    // 0x00RRGGBB, 5-6-5, 5-5-5) and one they leave to the formula (blue high), against the formula.
    Kit::NativeDisplay display;
    const std::uint32_t masks[4][3] = {
        {0xFF0000, 0xFF00, 0xFF}, {0xF800, 0x07E0, 0x001F}, {0x7C00, 0x03E0, 0x001F}, {0xFF, 0xFF00, 0xFF0000}};
    const std::uint32_t* m = masks[tint.r % 4];
    display.SetFormat(m[0] > 0xFFFF || m[2] > 0xFFFF ? 32 : 16, m[0], m[1], m[2]);
    const Row<std::uint32_t> dest = MakeRow<std::uint32_t>(in, destOffset, count, seed, 0);
    Compare(dest, [&](std::uint32_t* d) {
      Kit::AreaStretchRows::NativeWords(d, s, count, display);
      for (int i = 0; i < count; ++i) {
        const std::uint32_t a = s[i] >> 24;
        if (d[i] != (a == 0 ? 0 : Kit::ToNativePixel(Kit::PixelBlend::Over(0, s[i], a), display))) __builtin_trap();
      }
    });
    return 0;
  }
  if (kernel == 21) {
    // A palettized row looked up: any table, the indices from the source words, at the very end of
    // their own allocation.
    std::vector<std::uint32_t> table(256);
    for (std::uint32_t& entry : table) entry = seed = seed * 1664525u + 1013904223u;
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) indices[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(s[i] ^ s[i] >> 24);
    const Row<std::uint32_t> dest = MakeRow<std::uint32_t>(in, destOffset, count, seed, 0);
    Compare(dest, [&](std::uint32_t* d) { Kit::PixelRows::LookUp(d, table.data(), indices.data(), count); });
    return 0;
  }
  // The rectangle kernels read the row as `height` rows of count / height pixels, with the alpha run
  // table the image would have.
  const int height = 1 + in.Next<std::uint8_t>() % 3, width = count / height;
  std::vector<std::uint8_t> runs(static_cast<std::size_t>(count) + 1);
  Kit::BuildRunLengths(width, height, runs.data(), [&](long long i) {
    const std::uint32_t a = s[i] >> 24;
    return a == 0 ? 0 : a == 255 ? 1 : 2;
  });
  auto rowsOf = [&]<typename Pixel>(Pixel* d) {
    return Kit::OverRows::Rows<Pixel>{d, width, s, runs.data(), width, width, height};
  };
  if (kernel >= 12 && width == 0) return 0;
  // The keyed copy's window, cut anywhere in the rows, empty at times.
  KeyedWindow window{static_cast<int>(tint.r) % (width + 1), 0, static_cast<int>(tint.b) % (height + 1), 0};
  window.right = window.left + static_cast<int>(tint.g) % (width - window.left + 1);
  window.bottom = window.top + static_cast<int>(tint.a) % (height - window.top + 1);
  std::vector<std::uint16_t> low16(static_cast<std::size_t>(count) + 1);
  for (int i = 0; i < count; ++i) low16[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(s[i]);
  if (kernel == 14 || (kernel >= 7 && kernel <= 9) || kernel >= 19) {
    const Row<std::uint16_t> dest = MakeRow<std::uint16_t>(in, destOffset, count, seed, 0);
    Compare(dest, [&](std::uint16_t* d) {
      if (kernel == 7) Kit::OverRows::OntoSurface565(d, s, count);
      if (kernel == 8) Kit::CopyRows::StoreLow16(d, s, count);
      if (kernel == 9)
        StoreKeyedChecked(d, dest.buffer.data() + dest.offset, low16.data(), s, runs.data(), width, height, window);
      if (kernel == 14) Kit::OverRows::OntoSurface565(rowsOf(d));
      if (kernel == 19) Kit::OverRows::OntoSurface555(d, s, count);
      if (kernel == 20) Kit::OverRows::OntoSurface555(rowsOf(d));
      // The 16-bit additions, skipping nothing, black words or zero words.
      const std::uint32_t skip = skipClear ? 0xFFFFFFu : tint.a % 2 ? 0xFFFFFFFFu : 0;
      if (kernel == 22) Kit::SurfaceRows::AddSaturated565(d, s, count);
      if (kernel == 23) Kit::SurfaceRows::AddScaled565(d, s, count, tint.r, tint.g, tint.b);
      if (kernel == 24) Kit::SurfaceRows::AddSaturated555(d, s, count, skip);
      if (kernel == 25) Kit::SurfaceRows::AddScaled555(d, s, count, tint.r, tint.g, tint.b, skip);
      // The tinted blends, as the blit and as the stretch leave words out.
      const auto mode = skipClear ? Kit::TintRows::Mode::kBlit : Kit::TintRows::Mode::kStretch;
      if (kernel == 26 || kernel == 27) Kit::TintRows::OntoSurface565(d, s, count, tint, mode);
      if (kernel == 28 || kernel == 29) Kit::TintRows::OntoSurface555(d, s, count, tint, mode);
    });
    return 0;
  }
  const Row<std::uint32_t> dest = MakeRow<std::uint32_t>(in, destOffset, count, seed, destBias);
  Compare(dest, [&](std::uint32_t* d) {
    switch (kernel) {
      case 0:
        Kit::OverRows::OntoSurface888(d, s, count);
        break;
      case 1:
        Kit::OverRows::OverPixels(d, s, count);
        break;
      case 2:
        Kit::OverRows::OntoOpaque(d, s, count);
        break;
      case 3:
        Kit::TintRows::OntoSurface888(d, s, count, tint, Kit::TintRows::Mode::kBlit);
        break;
      case 4:
        Kit::TintRows::OntoSurface888(d, s, count, tint, Kit::TintRows::Mode::kStretch);
        break;
      case 5:
        Kit::TintRows::OverColored(d, s, count, tint);
        break;
      case 12:
        Kit::OverRows::OntoSurface888(rowsOf(d));
        break;
      case 13:
        Kit::OverRows::OntoOpaque(rowsOf(d));
        break;
      case 15:
        Kit::CopyRows::Reverse(d, s, count);
        break;
      case 16:
        Kit::SurfaceRows::AddSaturated888(d, s, count, skipClear ? 0xFFFFFFu : tint.a % 2 ? 0xFFFFFFFFu : 0);
        break;
      case 17:
        Kit::SurfaceRows::AddScaled888(d, s, count, tint.r, tint.g, tint.b,
                                       skipClear    ? 0xFFFFFFu
                                       : tint.a % 2 ? 0xFFFFFFFFu
                                                    : 0);
        break;
      case 18:
        Kit::PixelRows::OverConstant(d, count, tint.r << 16 | tint.g << 8 | tint.b, 1 + tint.a % 254);
        break;
      case 11:
        Kit::PixelRows::AddSaturated(d, s, count, tint.a != 255, tint.r, tint.g, tint.b, skipClear);
        break;
      default:
        StoreKeyedChecked(d, dest.buffer.data() + dest.offset, s, s, runs.data(), width, height, window);
        break;
    }
  });
  return 0;
}
