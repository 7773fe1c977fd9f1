// Runs the rotated blit onto 5-6-5, 5-5-5 and 8-8-8 surface memory and onto a memory image at every
// vector width the processor has (AVX2, SSE2) against its plain per-pixel formula (the scalar level),
// with arbitrary sprites (plain, or palettized against their own pixels), positions, angles, colours and
// modes, and traps on any difference. The
// surface memory is an allocation of its own with no slack, so AddressSanitizer catches a row that
// reads or writes outside either image.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/kernels/SimdLevel.h"
#include "framework/graphics/surface/ChannelAddTables.h"
#include "framework/graphics/surface/SurfaceRotate.h"
#include "framework/graphics/surface/SurfaceTarget.h"
#include "fuzz/FuzzReader.h"

namespace {

using Kit::Simd::Level;

struct Format {
  int bits;
  std::uint32_t masks[3];
};

constexpr Format kFormats[] = {
    {16, {0xF800, 0x07E0, 0x001F}}, {16, {0x7C00, 0x03E0, 0x001F}}, {32, {0xFF0000, 0xFF00, 0xFF}}};

class Display : public Kit::NativeDisplay {
 public:
  explicit Display(const Format& f) { SetFormat(f.bits, f.masks[0], f.masks[1], f.masks[2]); }
};

// Runs draw(source) at each level and traps unless every level leaves the bytes that draw(reference)
// leaves at the scalar one.
template <typename Draw>
void Compare(Kit::MemoryImage& source, Kit::MemoryImage& reference, Draw draw) {
  Kit::Simd::Limit(Level::kScalar);
  const std::vector<std::uint8_t> expected = draw(reference);
  for (const Level level : {Level::kScalar, Level::kSse2, Level::kAvx2}) {
    if (level > Kit::Simd::Supported()) break;
    Kit::Simd::Limit(level);
    if (draw(source) != expected) __builtin_trap();
  }
  Kit::Simd::Limit(Level::kAvx2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::Reader in(data, size);
  const int target = in.Next<std::uint8_t>() % 4;  // the three surface formats, then a memory image
  const int width = 2 + in.Next<std::uint8_t>() % 40, height = 2 + in.Next<std::uint8_t>() % 40;
  // Angles the game uses most (none, tiny, a right angle) and any other.
  const double angles[] = {0.0, 1e-9, 1.5707963267948966, in.Next<std::int16_t>() / 4096.0};
  const double angle = angles[in.Next<std::uint8_t>() % 4];
  // Positions on the 1/256 grid, the row off it now and then (the unrotated rows step differently).
  const float x = in.Next<std::int16_t>() / 256.0f;
  const float y = in.Next<std::int16_t>() / 256.0f + (in.Next<std::uint8_t>() % 4 == 0 ? 0.001f : 0.0f);
  const float centerX = in.Next<std::int8_t>() / 4.0f, centerY = in.Next<std::int8_t>() / 4.0f;
  const bool white = in.Next<std::uint8_t>() % 2;
  const Kit::Color color = white ? Kit::Color::White
                                 : Kit::Color(in.Next<std::uint8_t>(), in.Next<std::uint8_t>(), in.Next<std::uint8_t>(),
                                              in.Next<std::uint8_t>());
  const int mode = in.Next<std::uint8_t>() % 2;
  // Now and then the sprite in at most 256 colours with its colour table, drawn against its own pixels.
  const bool palettized = in.Next<std::uint8_t>() % 3 == 0;
  std::uint32_t seed = in.Next<std::uint32_t>();
  const auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return in.More() ? in.Next<std::uint32_t>() : seed;
  };
  std::vector<std::uint32_t> sprite(static_cast<std::size_t>(width) * height);
  std::uint32_t alpha = 0;
  for (auto& p : sprite) {
    p = next();
    // Most pixels get one of the alphas the kernels treat apart (0, 255), mostly the one before them,
    // so that whole blocks come out clear or opaque.
    if ((seed >> 28) < 10) p = (p & 0xFFFFFF) | ((seed >> 27) & 1 ? 0xFF000000u : 0);
    if ((seed >> 20) & 15) p = (p & 0xFFFFFF) | alpha;
    alpha = p & 0xFF000000u;
    if (((seed >> 16) & 7) == 0) p |= 0xFFFFFF;  // full colour: the sums' largest values
  }
  if (palettized) {
    const std::vector<std::uint32_t> colours(sprite.begin(),
                                             sprite.begin() + std::min<std::size_t>(sprite.size(), 256));
    for (std::uint32_t& p : sprite) p = colours[(p >> 8) % colours.size()];
  }
  Kit::MemoryImage plain, source;
  plain.SetBits(sprite.data(), width, height);
  source.SetBits(sprite.data(), width, height);
  if (palettized && !source.Palletize()) __builtin_trap();
  const Kit::Rect srcRect(0, 0, width, height);
  constexpr int kWidth = 48, kHeight = 40;
  std::vector<std::uint32_t> background(kWidth * kHeight);
  for (auto& p : background)
    p = next() | (target == 3 && (seed >> 30) ? 0xFF000000u : 0) | (((seed >> 16) & 7) == 0 ? 0xFFFFFF : 0);

  if (target == 3) {
    Compare(source, plain, [&](Kit::MemoryImage& from) {
      Kit::MemoryImage dest;
      dest.SetBits(background.data(), kWidth, kHeight);
      dest.BltRotated(&from, x, y, srcRect, Kit::Rect(0, 0, kWidth, kHeight), color, mode, angle, centerX, centerY);
      const std::uint8_t* bytes = reinterpret_cast<const std::uint8_t*>(dest.GetBits());
      return std::vector<std::uint8_t>(bytes, bytes + background.size() * 4);
    });
    return 0;
  }
  const Format& format = kFormats[target];
  const Display display(format);
  Kit::ChannelAddTables tables;
  tables.Build(display);
  const int pitch = kWidth * format.bits / 8;
  const auto* noise = reinterpret_cast<const std::uint8_t*>(background.data());
  Kit::Rect bounds;
  if (!Kit::MemoryImage::GetRotatedBounds(x, y, srcRect, Kit::Rect(0, 0, kWidth, kHeight), angle, centerX, centerY,
                                          bounds))
    return 0;
  Compare(source, plain, [&](Kit::MemoryImage& from) {
    std::vector<std::uint8_t> memory(noise, noise + static_cast<std::size_t>(pitch) * kHeight);
    Kit::SurfacePixels pixels;
    pixels.mBits = memory.data();
    pixels.mPitch = pitch;
    pixels.mWidth = kWidth;
    pixels.mHeight = kHeight;
    pixels.mBitCount = format.bits;
    pixels.mRedMask = format.masks[0];
    pixels.mGreenMask = format.masks[1];
    pixels.mBlueMask = format.masks[2];
    Kit::SurfaceDraw::RotatedBlt(Kit::MakeSurfaceTarget(pixels, display, tables), from, x, y, srcRect, bounds, color,
                                 mode, angle, centerX, centerY);
    return memory;
  });
  return 0;
}
