#include "platform/ddraw/FrameRows.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define FRAME_ROWS_AVX2 1
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

#ifdef __SSE2__
__m128i Widen5x8(__m128i v) {
  return _mm_add_epi16(_mm_slli_epi16(v, 3), _mm_srli_epi16(_mm_mullo_epi16(v, _mm_set1_epi16(29)), 7));
}
__m128i Widen6x8(__m128i g) {
  const __m128i low = _mm_add_epi16(_mm_mullo_epi16(g, _mm_set1_epi16(21)), _mm_set1_epi16(16));
  return _mm_add_epi16(_mm_slli_epi16(g, 2), _mm_srli_epi16(low, 9));
}

// Eight widened channels (each in a 16-bit lane) stored as eight 0xFFRRGGBB pixels.
void Store8(__m128i r, __m128i g, __m128i b, std::uint32_t* to) {
  const __m128i gb = _mm_or_si128(b, _mm_slli_epi16(g, 8));
  const __m128i ar = _mm_or_si128(r, _mm_set1_epi16(static_cast<short>(0xFF00)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_unpacklo_epi16(gb, ar));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 4), _mm_unpackhi_epi16(gb, ar));
}

int Widen565x8(const BYTE* from, std::uint32_t* to, int count) {
  const __m128i five = _mm_set1_epi16(31), six = _mm_set1_epi16(63);
  int x = 0;
  for (; x + 8 <= count; x += 8) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 2 * x));
    Store8(Widen5x8(_mm_srli_epi16(p, 11)), Widen6x8(_mm_and_si128(_mm_srli_epi16(p, 5), six)),
           Widen5x8(_mm_and_si128(p, five)), to + x);
  }
  return x;
}

int Widen555x8(const BYTE* from, std::uint32_t* to, int count) {
  const __m128i five = _mm_set1_epi16(31);
  int x = 0;
  for (; x + 8 <= count; x += 8) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 2 * x));
    Store8(Widen5x8(_mm_and_si128(_mm_srli_epi16(p, 10), five)), Widen5x8(_mm_and_si128(_mm_srli_epi16(p, 5), five)),
           Widen5x8(_mm_and_si128(p, five)), to + x);
  }
  return x;
}

int Opaque32x4(const BYTE* from, std::uint32_t* to, int count) {
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(kOpaque));
  int x = 0;
  for (; x + 4 <= count; x += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 4 * x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x), _mm_or_si128(p, alpha));
  }
  return x;
}
constexpr bool kHasSse2 = true;
#else
constexpr bool kHasSse2 = false;
int Widen565x8(const BYTE*, std::uint32_t*, int) { return 0; }
int Widen555x8(const BYTE*, std::uint32_t*, int) { return 0; }
int Opaque32x4(const BYTE*, std::uint32_t*, int) { return 0; }
#endif

#ifdef FRAME_ROWS_AVX2
// The same sixteen at a time where the processor has AVX2.
#define AVX2_TARGET __attribute__((target("avx2")))

AVX2_TARGET __m256i Widen5x16(__m256i v) {
  return _mm256_add_epi16(_mm256_slli_epi16(v, 3), _mm256_srli_epi16(_mm256_mullo_epi16(v, _mm256_set1_epi16(29)), 7));
}
AVX2_TARGET __m256i Widen6x16(__m256i g) {
  const __m256i low = _mm256_add_epi16(_mm256_mullo_epi16(g, _mm256_set1_epi16(21)), _mm256_set1_epi16(16));
  return _mm256_add_epi16(_mm256_slli_epi16(g, 2), _mm256_srli_epi16(low, 9));
}
AVX2_TARGET void Store16(__m256i r, __m256i g, __m256i b, std::uint32_t* to) {
  const __m256i gb = _mm256_or_si256(b, _mm256_slli_epi16(g, 8));
  const __m256i ar = _mm256_or_si256(r, _mm256_set1_epi16(static_cast<short>(0xFF00)));
  // The unpacks work within each 128-bit half: pixels 0-3 and 8-11, then 4-7 and 12-15.
  const __m256i low = _mm256_unpacklo_epi16(gb, ar), high = _mm256_unpackhi_epi16(gb, ar);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(to), _mm256_permute2x128_si256(low, high, 0x20));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + 8), _mm256_permute2x128_si256(low, high, 0x31));
}
AVX2_TARGET int Widen565x16(const BYTE* from, std::uint32_t* to, int count) {
  const __m256i five = _mm256_set1_epi16(31), six = _mm256_set1_epi16(63);
  int x = 0;
  for (; x + 16 <= count; x += 16) {
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + 2 * x));
    Store16(Widen5x16(_mm256_srli_epi16(p, 11)), Widen6x16(_mm256_and_si256(_mm256_srli_epi16(p, 5), six)),
            Widen5x16(_mm256_and_si256(p, five)), to + x);
  }
  return x;
}
AVX2_TARGET int Widen555x16(const BYTE* from, std::uint32_t* to, int count) {
  const __m256i five = _mm256_set1_epi16(31);
  int x = 0;
  for (; x + 16 <= count; x += 16) {
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + 2 * x));
    Store16(Widen5x16(_mm256_and_si256(_mm256_srli_epi16(p, 10), five)),
            Widen5x16(_mm256_and_si256(_mm256_srli_epi16(p, 5), five)), Widen5x16(_mm256_and_si256(p, five)), to + x);
  }
  return x;
}
bool HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}
#else
int Widen565x16(const BYTE*, std::uint32_t*, int) { return 0; }
int Widen555x16(const BYTE*, std::uint32_t*, int) { return 0; }
bool HasAvx2() { return false; }
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
  static const FrameWidth widest = HasAvx2() ? FrameWidth::k16 : kHasSse2 ? FrameWidth::k8 : FrameWidth::k1;
  return widest;
}

void WidenRow(FrameFormat format, const BYTE* from, std::uint32_t* to, int count, FrameWidth width) {
  // Each wider step leaves the pixels it could not take to the next narrower one.
  const auto run = [&](int (*by16)(const BYTE*, std::uint32_t*, int), int (*by8)(const BYTE*, std::uint32_t*, int)) {
    int x = width == FrameWidth::k16 ? by16(from, to, count) : 0;
    if (width != FrameWidth::k1) x += by8(from + 2 * x, to + x, count - x);
    return x;
  };
  int x = 0;
  switch (format) {
    case FrameFormat::kRgb565:
      for (x = run(Widen565x16, Widen565x8); x < count; ++x) to[x] = From565(Load<std::uint16_t>(from + 2 * x));
      break;
    case FrameFormat::kRgb555:
      for (x = run(Widen555x16, Widen555x8); x < count; ++x) to[x] = From555(Load<std::uint16_t>(from + 2 * x));
      break;
    case FrameFormat::kXrgb8888:
      for (x = width != FrameWidth::k1 ? Opaque32x4(from, to, count) : 0; x < count; ++x)
        to[x] = kOpaque | Load<std::uint32_t>(from + 4 * x);
      break;
  }
}

}  // namespace plat::ddraw
