#include "platform/ddraw/FrameRows.h"

#include <cstring>

#include "platform/cpu/SimdLevel.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if KIT_HAVE_AVX2_KERNELS
#include <immintrin.h>
#endif

namespace plat::ddraw {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

// floor(v x 255 / 31) for v < 32 is (v x 1053) >> 7; the 1024 v part is a plain shift.
constexpr std::uint32_t Widen5(std::uint32_t v) { return (v << 3) + ((v * 29) >> 7); }
// Six bits: (g x 2069 + 16) >> 9, the widening the window has always used (85 x k shown one lower).
constexpr std::uint32_t Widen6(std::uint32_t g) { return (g << 2) + ((g * 21 + 16) >> 9); }

std::uint32_t From565(std::uint16_t p) {
  return kOpaque | Widen5(p >> 11) << 16 | Widen6((p >> 5) & 63) << 8 | Widen5(p & 31);
}
std::uint32_t From555(std::uint16_t p) {
  return kOpaque | Widen5((p >> 10) & 31) << 16 | Widen5((p >> 5) & 31) << 8 | Widen5(p & 31);
}

// The SIMD steps widen each channel where it lies in the pixel with one high-half product: for a 5-bit
// channel v at bits 11-15, (v << 11) x 1053 >> 16 >> 2 is (v x 1053) >> 7; a 6-bit g at bits 5-10,
// (g << 5) x 8278 >> 16 is (g x 2069 + 16) >> 9, and a 5-bit one at bits 5-9, (v << 5) x 16847 >> 16
// is (v x 1053) >> 7 (each checked for every value). The green and blue of a pixel then make one 16-bit
// lane, alpha and red the other, and two unpacks interleave the lanes into 0xFFRRGGBB pixels.
struct Rgb565 {
  static constexpr int kRedShift = 0, kGreenMask = 0x07E0, kGreenFactor = 8278;
};
struct Rgb555 {
  static constexpr int kRedShift = 1, kGreenMask = 0x03E0, kGreenFactor = 16847;
};

#ifdef __SSE2__
namespace sse2 {
#define FRAME_V __m128i
#define FRAME_ATTR
#define FRAME_STEP 8
#define FRAME_OP(name) _mm_##name
#define FRAME_AND _mm_and_si128
#define FRAME_OR _mm_or_si128
#define FRAME_LOADU(at) _mm_loadu_si128(reinterpret_cast<const __m128i*>(at))
#define FRAME_LOAD FRAME_LOADU
#define FRAME_STORE(at, v) _mm_storeu_si128(reinterpret_cast<__m128i*>(at), v)
#include "platform/ddraw/FrameRowsBody.inl"
}  // namespace sse2
#else
namespace sse2 {
template <typename Layout>
int Widen16(const BYTE*, std::uint32_t*, int) {
  return 0;
}
inline int Opaque32(const BYTE*, std::uint32_t*, int) { return 0; }
inline int CopyOpaque32(const BYTE*, BYTE*, std::uint32_t*, int) { return 0; }
}  // namespace sse2
#endif

#if KIT_HAVE_AVX2_KERNELS
// The same sixteen at a time where the processor has AVX2. The unpacks work within each 128-bit half,
// so the pixels are first taken in groups of four in the order 0, 2, 1, 3: the low unpack then gives
// pixels 0-7 and the high one 8-15.
namespace avx2 {
#define FRAME_V __m256i
#define FRAME_ATTR KIT_TARGET_AVX2
#define FRAME_STEP 16
#define FRAME_OP(name) _mm256_##name
#define FRAME_AND _mm256_and_si256
#define FRAME_OR _mm256_or_si256
#define FRAME_LOADU(at) _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at))
#define FRAME_LOAD(at) _mm256_permute4x64_epi64(FRAME_LOADU(at), 0xD8)
#define FRAME_STORE(at, v) _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), v)
#include "platform/ddraw/FrameRowsBody.inl"
}  // namespace avx2
namespace avx2 {
// Whole steps of eight spread pixels; returns how many it took.
KIT_TARGET_AVX2 int Spread8(const std::uint32_t* row, const int* columns, std::uint32_t* to, int count) {
  int x = 0;
  for (; x + 8 <= count; x += 8) {
    const __m256i at = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns + x));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + x),
                        _mm256_i32gather_epi32(reinterpret_cast<const int*>(row), at, 4));
  }
  return x;
}
}  // namespace avx2
#else
namespace avx2 {
using sse2::CopyOpaque32;
using sse2::Opaque32;
using sse2::Widen16;
inline int Spread8(const std::uint32_t*, const int*, std::uint32_t*, int) { return 0; }
}  // namespace avx2
#endif

template <typename Pixel>
Pixel Load(const BYTE* at) {
  Pixel value;
  std::memcpy(&value, at, sizeof(value));
  return value;
}

}  // namespace

std::optional<FrameFormat> FrameFormatOf(const PixelLayout& layout) {
  if (layout.palettized) return std::nullopt;
  const auto sameColours = [&layout](const PixelLayout& other) {
    return layout.bytesPerPixel == other.bytesPerPixel && layout.redMask == other.redMask &&
           layout.greenMask == other.greenMask && layout.blueMask == other.blueMask;
  };
  if (sameColours(PixelLayout::Rgb565())) return FrameFormat::kRgb565;
  if (sameColours(PixelLayout::Rgb555())) return FrameFormat::kRgb555;
  if (sameColours(PixelLayout::Xrgb8888())) return FrameFormat::kXrgb8888;
  return std::nullopt;
}

FrameWidth WidestFrameWidth() {
  switch (simd::Active()) {
    case simd::Level::kAvx2:
      return FrameWidth::k16;
    case simd::Level::kSse2:
      return FrameWidth::k8;
    case simd::Level::kScalar:
      break;
  }
  return FrameWidth::k1;
}

void WidenRow(FrameFormat format, const BYTE* from, std::uint32_t* to, int count, FrameWidth width) {
  // Each wider step leaves the pixels it could not take to the next narrower one.
  using Step = int (*)(const BYTE*, std::uint32_t*, int);
  const int bytes = format == FrameFormat::kXrgb8888 ? 4 : 2;
  const auto run = [&](Step by16, Step by8) {
    int x = width == FrameWidth::k16 ? by16(from, to, count) : 0;
    if (width != FrameWidth::k1) x += by8(from + bytes * x, to + x, count - x);
    return x;
  };
  int x = 0;
  switch (format) {
    case FrameFormat::kRgb565:
      for (x = run(avx2::Widen16<Rgb565>, sse2::Widen16<Rgb565>); x < count; ++x)
        to[x] = From565(Load<std::uint16_t>(from + 2 * x));
      break;
    case FrameFormat::kRgb555:
      for (x = run(avx2::Widen16<Rgb555>, sse2::Widen16<Rgb555>); x < count; ++x)
        to[x] = From555(Load<std::uint16_t>(from + 2 * x));
      break;
    case FrameFormat::kXrgb8888:
      for (x = run(avx2::Opaque32, sse2::Opaque32); x < count; ++x) to[x] = kOpaque | Load<std::uint32_t>(from + 4 * x);
      break;
  }
}

void CopyOpaqueRow(const BYTE* from, BYTE* copy, std::uint32_t* opaque, int count, FrameWidth width) {
  int x = width == FrameWidth::k16 ? avx2::CopyOpaque32(from, copy, opaque, count) : 0;
  if (width != FrameWidth::k1) x += sse2::CopyOpaque32(from + 4 * x, copy + 4 * x, opaque + x, count - x);
  for (; x < count; ++x) {
    const auto pixel = Load<std::uint32_t>(from + 4 * x);
    std::memcpy(copy + 4 * x, &pixel, sizeof(pixel));
    opaque[x] = kOpaque | pixel;
  }
}

void SpreadRow(const std::uint32_t* row, const int* columns, std::uint32_t* to, int count, FrameWidth width) {
  int x = width == FrameWidth::k16 ? avx2::Spread8(row, columns, to, count) : 0;
  for (; x < count; ++x) to[x] = row[columns[x]];
}

}  // namespace plat::ddraw
