// Runs the drawing row kernels at every vector width the processor has (AVX2, SSE2) against their
// plain per-pixel formulas (the scalar level) on arbitrary pixels, lengths and offsets, and traps on
// any difference. Every row sits at the very end of its own allocation, so a kernel that reads or
// writes past its pixels is caught by AddressSanitizer. The input's first byte picks the kernel from
// the table at the end.
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "framework/graphics/NativePixel.h"
#include "framework/graphics/kernels/AreaStretchRows.h"
#include "framework/graphics/kernels/CopyRows.h"
#include "framework/graphics/kernels/KeyedSpans.h"
#include "framework/graphics/kernels/OverRows.h"
#include "framework/graphics/kernels/PixelBlend.h"
#include "framework/graphics/kernels/PixelRows.h"
#include "framework/graphics/kernels/SimdLevel.h"
#include "framework/graphics/kernels/SurfaceRows.h"
#include "framework/graphics/kernels/TintRows.h"
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
  const T* Pixels() const { return buffer.data() + offset; }
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

// Columns left up to right of rows top up to bottom.
struct Window {
  int left, right, top, bottom;
};

// What one input gives every kernel: a source row of count words, a tint, and the same row seen as
// `height` rows of `width` pixels with the alpha run table a picture of them would have.
struct Case {
  explicit Case(fuzzsupport::Reader& reader)
      : in(reader),
        count(in.Next<std::uint16_t>() % 300),
        destOffset(in.Next<std::uint8_t>() % 9),
        srcOffset(in.Next<std::uint8_t>() % 9),
        tint{in.Next<std::uint8_t>(), in.Next<std::uint8_t>(), in.Next<std::uint8_t>(),
             in.Next<std::uint8_t>() % 3 == 0 ? 255u : in.Next<std::uint8_t>()},
        seed(in.Next<std::uint32_t>()),
        // Memory-image destinations are mostly opaque, as the screen image is.
        destBias(in.Next<std::uint8_t>() % 4 ? 0xFF000000u : 0),
        src(MakeRow<std::uint32_t>(in, srcOffset, count, seed, 0)),
        s(src.Pixels()),
        flag(in.Next<std::uint8_t>() & 1),
        height(1 + in.Next<std::uint8_t>() % 3),
        width(count / height),
        runs(static_cast<std::size_t>(count) + 1) {
    Kit::BuildRunLengths(width, height, runs.data(), [&](long long i) {
      const std::uint32_t a = s[i] >> 24;
      return a == 0 ? 0 : a == 255 ? 1 : 2;
    });
    // The keyed copy's window: whole rows or rows cut anywhere (empty at times), of any of the rows.
    window.left = flag ? 0 : static_cast<int>(tint.r) % (width + 1);
    window.right = flag ? width : window.left + static_cast<int>(tint.g) % (width - window.left + 1);
    window.top = static_cast<int>(tint.b) % (height + 1);
    window.bottom = window.top + static_cast<int>(tint.a) % (height - window.top + 1);
  }

  template <typename Draw>
  void On32(Draw draw) {
    Compare(MakeRow<std::uint32_t>(in, destOffset, count, seed, destBias), draw);
  }
  template <typename Draw>
  void On16(Draw draw) {
    Compare(MakeRow<std::uint16_t>(in, destOffset, count, seed, 0), draw);
  }
  template <typename Pixel>
  Kit::OverRows::Rows<Pixel> RowsOf(Pixel* d) const {
    return Kit::OverRows::Rows<Pixel>{d, width, s, runs.data(), width, width, height};
  }
  // What the additions leave out: nothing, black words or zero words.
  std::uint32_t Skip() const { return flag ? 0xFFFFFFu : tint.a % 2 ? 0xFFFFFFFFu : 0; }
  // The tinted blends, as the blit and as the stretch leave words out.
  Kit::TintRows::Mode TintMode() const { return flag ? Kit::TintRows::Mode::kBlit : Kit::TintRows::Mode::kStretch; }

  fuzzsupport::Reader& in;
  int count, destOffset, srcOffset;
  Kit::TintRows::Tint tint;
  std::uint32_t seed, destBias;
  Row<std::uint32_t> src;
  const std::uint32_t* s;
  bool flag;
  int height, width;
  std::vector<std::uint8_t> runs;
  Window window{};
};

// The keyed copy of the case's window of the picture (its keyed spans made from the run table, its
// alphas those of the source words) from `words` onto d, whose pixels were `before`: traps unless each
// pixel inside is its word where the alpha is not 0 and every other pixel is left.
template <typename Pixel>
void StoreKeyedChecked(const Case& c, Pixel* d, const Pixel* before, const Pixel* words) {
  const Kit::KeyedSpans spans =
      Kit::BuildKeyedSpans(c.width, c.height, c.runs.data(), [&](std::size_t i) { return c.s[i] >> 24; });
  const Window& w = c.window;
  const std::size_t first = static_cast<std::size_t>(w.top) * static_cast<std::size_t>(c.width);
  Kit::CopyRows::StoreKeyed(Kit::CopyRows::KeyedRows<Pixel>{
      d + first + static_cast<std::size_t>(w.left), c.width, words + first, c.width, spans.rowFirst.data() + w.top,
      spans.spans.data(), w.left, w.right, w.top, w.bottom - w.top});
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const int i = y * c.width + x;
      const bool inside = x >= w.left && x < w.right && y >= w.top && y < w.bottom;
      if (d[i] != (inside && (c.s[i] >> 24) != 0 ? words[i] : before[i])) __builtin_trap();
    }
}

template <typename Pixel>
void KeyedOnto(Case& c) {
  std::vector<Pixel> words(static_cast<std::size_t>(c.count) + 1);
  for (int i = 0; i < c.count; ++i) words[static_cast<std::size_t>(i)] = static_cast<Pixel>(c.s[i]);
  const Row<Pixel> dest = MakeRow<Pixel>(c.in, c.destOffset, c.count, c.seed, 0);
  Compare(dest, [&](Pixel* d) { StoreKeyedChecked(c, d, dest.Pixels(), words.data()); });
}

// The area stretch's accumulated channels: whole numbers whose weighted sums stay below 2^24.
void AreaStretchMix(Case& c) {
  std::vector<float> top(4 * static_cast<std::size_t>(c.count)), bottom(top.size());
  for (std::size_t i = 0; i < top.size(); ++i) {
    top[i] = static_cast<float>(c.s[i / 4] >> (i % 4 * 8) & 0xFFFF);
    bottom[i] = static_cast<float>(c.in.Next<std::uint16_t>());
  }
  const float topWeight = c.in.Next<std::uint8_t>(), bottomWeight = c.flag ? 0.0f : 256.0f - topWeight;
  c.On32([&](std::uint32_t* d) {
    Kit::AreaStretchRows::Mix(d, top.data(), c.flag ? nullptr : bottom.data(), topWeight, bottomWeight, c.count);
  });
}

// The area stretch's native words, for a display of each kind the vector bodies take (the bytes of
// 0x00RRGGBB, 5-6-5, 5-5-5) and one they leave to the formula (blue high), against the formula.
void AreaStretchNativeWords(Case& c) {
  Kit::NativeDisplay display;
  const std::uint32_t masks[4][3] = {
      {0xFF0000, 0xFF00, 0xFF}, {0xF800, 0x07E0, 0x001F}, {0x7C00, 0x03E0, 0x001F}, {0xFF, 0xFF00, 0xFF0000}};
  const std::uint32_t* m = masks[c.tint.r % 4];
  display.SetFormat(m[0] > 0xFFFF || m[2] > 0xFFFF ? 32 : 16, m[0], m[1], m[2]);
  c.On32([&](std::uint32_t* d) {
    Kit::AreaStretchRows::NativeWords(d, c.s, c.count, display);
    for (int i = 0; i < c.count; ++i) {
      const std::uint32_t a = c.s[i] >> 24;
      if (d[i] != (a == 0 ? 0 : Kit::ToNativePixel(Kit::PixelBlend::Over(0, c.s[i], a), display))) __builtin_trap();
    }
  });
}

// A palettized row looked up: any table, the indices from the source words, at the very end of their
// own allocation.
void LookUp(Case& c) {
  std::vector<std::uint32_t> table(256);
  for (std::uint32_t& entry : table) entry = c.seed = c.seed * 1664525u + 1013904223u;
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(c.count));
  for (int i = 0; i < c.count; ++i)
    indices[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(c.s[i] ^ c.s[i] >> 24);
  c.On32([&](std::uint32_t* d) { Kit::PixelRows::LookUp(d, table.data(), indices.data(), c.count); });
}

struct Kernel {
  const char* name;
  void (*run)(Case&);
};

// Every kernel checked, one row each. The rectangle kernels need a row of at least one pixel.
constexpr Kernel kKernels[] = {
    {"OverRows::OntoSurface888",
     [](Case& c) { c.On32([&](std::uint32_t* d) { Kit::OverRows::OntoSurface888(d, c.s, c.count); }); }},
    {"OverRows::OntoSurface888 rectangle",
     [](Case& c) {
       if (c.width) c.On32([&](std::uint32_t* d) { Kit::OverRows::OntoSurface888(c.RowsOf(d)); });
     }},
    {"OverRows::OntoSurface565",
     [](Case& c) { c.On16([&](std::uint16_t* d) { Kit::OverRows::OntoSurface565(d, c.s, c.count); }); }},
    {"OverRows::OntoSurface565 rectangle",
     [](Case& c) {
       if (c.width) c.On16([&](std::uint16_t* d) { Kit::OverRows::OntoSurface565(c.RowsOf(d)); });
     }},
    {"OverRows::OntoSurface555",
     [](Case& c) { c.On16([&](std::uint16_t* d) { Kit::OverRows::OntoSurface555(d, c.s, c.count); }); }},
    {"OverRows::OntoSurface555 rectangle",
     [](Case& c) {
       if (c.width) c.On16([&](std::uint16_t* d) { Kit::OverRows::OntoSurface555(c.RowsOf(d)); });
     }},
    {"OverRows::OverPixels",
     [](Case& c) { c.On32([&](std::uint32_t* d) { Kit::OverRows::OverPixels(d, c.s, c.count); }); }},
    {"OverRows::OntoOpaque",
     [](Case& c) { c.On32([&](std::uint32_t* d) { Kit::OverRows::OntoOpaque(d, c.s, c.count); }); }},
    {"OverRows::OntoOpaque rectangle",
     [](Case& c) {
       if (c.width) c.On32([&](std::uint32_t* d) { Kit::OverRows::OntoOpaque(c.RowsOf(d)); });
     }},
    {"TintRows::OntoSurface888",
     [](Case& c) {
       c.On32([&](std::uint32_t* d) { Kit::TintRows::OntoSurface888(d, c.s, c.count, c.tint, c.TintMode()); });
     }},
    {"TintRows::OntoSurface565",
     [](Case& c) {
       c.On16([&](std::uint16_t* d) { Kit::TintRows::OntoSurface565(d, c.s, c.count, c.tint, c.TintMode()); });
     }},
    {"TintRows::OntoSurface555",
     [](Case& c) {
       c.On16([&](std::uint16_t* d) { Kit::TintRows::OntoSurface555(d, c.s, c.count, c.tint, c.TintMode()); });
     }},
    {"TintRows::OverColored",
     [](Case& c) { c.On32([&](std::uint32_t* d) { Kit::TintRows::OverColored(d, c.s, c.count, c.tint); }); }},
    {"CopyRows::StoreLow16",
     [](Case& c) { c.On16([&](std::uint16_t* d) { Kit::CopyRows::StoreLow16(d, c.s, c.count); }); }},
    {"CopyRows::StoreKeyed 16-bit", KeyedOnto<std::uint16_t>},
    {"CopyRows::StoreKeyed 32-bit", KeyedOnto<std::uint32_t>},
    {"CopyRows::Reverse", [](Case& c) { c.On32([&](std::uint32_t* d) { Kit::CopyRows::Reverse(d, c.s, c.count); }); }},
    {"SurfaceRows::AddSaturated888",
     [](Case& c) { c.On32([&](std::uint32_t* d) { Kit::SurfaceRows::AddSaturated888(d, c.s, c.count, c.Skip()); }); }},
    {"SurfaceRows::AddScaled888",
     [](Case& c) {
       c.On32([&](std::uint32_t* d) {
         Kit::SurfaceRows::AddScaled888(d, c.s, c.count, c.tint.r, c.tint.g, c.tint.b, c.Skip());
       });
     }},
    {"SurfaceRows::AddSaturated565",
     [](Case& c) { c.On16([&](std::uint16_t* d) { Kit::SurfaceRows::AddSaturated565(d, c.s, c.count); }); }},
    {"SurfaceRows::AddSaturated565Block",
     [](Case& c) {
       c.On16([&](std::uint16_t* d) {
         Kit::SurfaceRows::AddSaturated565Block(d, c.width, c.s, c.width, c.width, c.height);
       });
     }},
    {"SurfaceRows::AddScaled565",
     [](Case& c) {
       c.On16([&](std::uint16_t* d) { Kit::SurfaceRows::AddScaled565(d, c.s, c.count, c.tint.r, c.tint.g, c.tint.b); });
     }},
    {"SurfaceRows::AddScaled565Block",
     [](Case& c) {
       c.On16([&](std::uint16_t* d) {
         Kit::SurfaceRows::AddScaled565Block(d, c.width, c.s, c.width, c.width, c.height, c.tint.r, c.tint.g, c.tint.b);
       });
     }},
    {"SurfaceRows::AddSaturated555",
     [](Case& c) { c.On16([&](std::uint16_t* d) { Kit::SurfaceRows::AddSaturated555(d, c.s, c.count, c.Skip()); }); }},
    {"SurfaceRows::AddScaled555",
     [](Case& c) {
       c.On16([&](std::uint16_t* d) {
         Kit::SurfaceRows::AddScaled555(d, c.s, c.count, c.tint.r, c.tint.g, c.tint.b, c.Skip());
       });
     }},
    {"PixelRows::LookUp", LookUp},
    {"PixelRows::OverConstant",
     [](Case& c) {
       c.On32([&](std::uint32_t* d) {
         Kit::PixelRows::OverConstant(d, c.count, c.tint.r << 16 | c.tint.g << 8 | c.tint.b, 1 + c.tint.a % 254);
       });
     }},
    {"PixelRows::AddSaturated",
     [](Case& c) {
       c.On32([&](std::uint32_t* d) {
         Kit::PixelRows::AddSaturated(d, c.s, c.count, c.tint.a != 255, c.tint.r, c.tint.g, c.tint.b, c.flag);
       });
     }},
    {"AreaStretchRows::Mix", AreaStretchMix},
    {"AreaStretchRows::NativeWords", AreaStretchNativeWords},
};
static_assert(std::size(kKernels) <= 256, "the kernel is picked by one byte");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::Reader in(data, size);
  const Kernel& kernel = kKernels[in.Next<std::uint8_t>() % std::size(kKernels)];
  Case c(in);
  kernel.run(c);
  return 0;
}
