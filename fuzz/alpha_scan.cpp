// Runs the alpha scan that commits an image's pixels at every vector width the processor has (AVX2,
// SSE2) against its plain per-pixel loop (the scalar level) on arbitrary pixels and lengths, and traps on
// any difference. The pixels sit at the very end of their allocation, so a scan that reads past them is
// caught by AddressSanitizer.
#include <cstdint>
#include <memory>

#include "framework/graphics/kernels/AlphaScan.h"
#include "framework/graphics/kernels/SimdLevel.h"
#include "fuzz/FuzzReader.h"

namespace {

using Kit::Simd::Level;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::Reader in(data, size);
  const std::size_t count = in.Next<std::uint16_t>() % 2000;
  std::uint32_t seed = in.Next<std::uint32_t>();
  // Mostly opaque pixels, as the pictures committed are, so the odd ones stand out wherever they are.
  const unsigned oddOneIn = 1 + in.Next<std::uint8_t>() % 64;
  auto pixels = std::make_unique_for_overwrite<std::uint32_t[]>(count);
  for (std::size_t i = 0; i < count; ++i) {
    seed = seed * 1664525u + 1013904223u;
    std::uint32_t value = in.More() ? in.Next<std::uint32_t>() : seed;
    if ((seed >> 8) % oddOneIn != 0) value |= 0xFF000000u;
    pixels[i] = value;
  }
  Kit::AlphaScan::Classes expected;
  for (const Level level : {Level::kScalar, Level::kSse2, Level::kAvx2}) {
    if (level > Kit::Simd::Supported()) break;
    Kit::Simd::Limit(level);
    const Kit::AlphaScan::Classes found = Kit::AlphaScan::Scan(pixels.get(), count);
    if (level == Level::kScalar)
      expected = found;
    else if (found.transparent != expected.transparent || found.partial != expected.partial)
      __builtin_trap();
  }
  Kit::Simd::Limit(Level::kAvx2);
  return 0;
}
