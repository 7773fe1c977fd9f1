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

// The SIMD steps widen each channel where it lies in the pixel with one high-half product: for a 5-bit
// channel v at bits 11-15, (v << 11) x 1053 >> 16 >> 2 is (v x 1053) >> 7; a 6-bit g at bits 5-10,
// (g << 5) x 8278 >> 16 is (g x 2069 + 16) >> 9, and a 5-bit one at bits 5-9, (v << 5) x 16847 >> 16
// is (v x 1053) >> 7 (each checked for every value). The green and blue of a pixel then make one 16-bit
// lane, alpha and red the other, and two unpacks interleave the lanes into 0xFFRRGGBB pixels.
#ifdef __SSE2__
// Eight widened lanes (green | blue, 0xFF | red) stored as eight pixels.
void Store8(__m128i gb, __m128i r, std::uint32_t* to) {
  const __m128i ar = _mm_or_si128(r, _mm_set1_epi16(static_cast<short>(0xFF00)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_unpacklo_epi16(gb, ar));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 4), _mm_unpackhi_epi16(gb, ar));
}
// A 5-bit channel at bits 11-15 (the rest clear), widened.
__m128i Top5x8(__m128i v) { return _mm_srli_epi16(_mm_mulhi_epu16(v, _mm_set1_epi16(1053)), 2); }

int Widen565x8(const BYTE* from, std::uint32_t* to, int count) {
  const __m128i top5 = _mm_set1_epi16(static_cast<short>(0xF800)), six = _mm_set1_epi16(0x07E0);
  int x = 0;
  for (; x + 8 <= count; x += 8) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 2 * x));
    const __m128i g = _mm_mulhi_epu16(_mm_and_si128(p, six), _mm_set1_epi16(8278));
    Store8(_mm_or_si128(Top5x8(_mm_slli_epi16(p, 11)), _mm_slli_epi16(g, 8)), Top5x8(_mm_and_si128(p, top5)), to + x);
  }
  return x;
}

int Widen555x8(const BYTE* from, std::uint32_t* to, int count) {
  const __m128i top5 = _mm_set1_epi16(static_cast<short>(0xF800)), mid5 = _mm_set1_epi16(0x03E0);
  int x = 0;
  for (; x + 8 <= count; x += 8) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 2 * x));
    const __m128i g = _mm_mulhi_epu16(_mm_and_si128(p, mid5), _mm_set1_epi16(16847));
    Store8(_mm_or_si128(Top5x8(_mm_slli_epi16(p, 11)), _mm_slli_epi16(g, 8)),
           Top5x8(_mm_and_si128(_mm_slli_epi16(p, 1), top5)), to + x);
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
// The same sixteen at a time where the processor has AVX2, and 32 with AVX-512. The unpacks work
// within each 128-bit part, so the pixels are first ordered so that the unpacked parts come out in
// order: the low unpack takes each part's first four pixels, the high one its last four.
#define AVX2_TARGET __attribute__((target("avx2")))
#define AVX512_TARGET __attribute__((target("avx512f,avx512bw")))

AVX2_TARGET __m256i Top5x16(__m256i v) { return _mm256_srli_epi16(_mm256_mulhi_epu16(v, _mm256_set1_epi16(1053)), 2); }
AVX2_TARGET void Store16(__m256i gb, __m256i r, std::uint32_t* to) {
  const __m256i ar = _mm256_or_si256(r, _mm256_set1_epi16(static_cast<short>(0xFF00)));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(to), _mm256_unpacklo_epi16(gb, ar));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + 8), _mm256_unpackhi_epi16(gb, ar));
}
// Sixteen pixels, groups of four in the order 0, 2, 1, 3.
AVX2_TARGET __m256i Load16(const BYTE* from) {
  return _mm256_permute4x64_epi64(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(from)), 0xD8);
}
AVX2_TARGET int Widen565x16(const BYTE* from, std::uint32_t* to, int count) {
  const __m256i top5 = _mm256_set1_epi16(static_cast<short>(0xF800)), six = _mm256_set1_epi16(0x07E0);
  int x = 0;
  for (; x + 16 <= count; x += 16) {
    const __m256i p = Load16(from + 2 * x);
    const __m256i g = _mm256_mulhi_epu16(_mm256_and_si256(p, six), _mm256_set1_epi16(8278));
    Store16(_mm256_or_si256(Top5x16(_mm256_slli_epi16(p, 11)), _mm256_slli_epi16(g, 8)),
            Top5x16(_mm256_and_si256(p, top5)), to + x);
  }
  return x;
}
AVX2_TARGET int Widen555x16(const BYTE* from, std::uint32_t* to, int count) {
  const __m256i top5 = _mm256_set1_epi16(static_cast<short>(0xF800)), mid5 = _mm256_set1_epi16(0x03E0);
  int x = 0;
  for (; x + 16 <= count; x += 16) {
    const __m256i p = Load16(from + 2 * x);
    const __m256i g = _mm256_mulhi_epu16(_mm256_and_si256(p, mid5), _mm256_set1_epi16(16847));
    Store16(_mm256_or_si256(Top5x16(_mm256_slli_epi16(p, 11)), _mm256_slli_epi16(g, 8)),
            Top5x16(_mm256_and_si256(_mm256_slli_epi16(p, 1), top5)), to + x);
  }
  return x;
}

AVX512_TARGET __m512i Top5x32(__m512i v) {
  return _mm512_srli_epi16(_mm512_mulhi_epu16(v, _mm512_set1_epi16(1053)), 2);
}
AVX512_TARGET void Store32(__m512i gb, __m512i r, std::uint32_t* to) {
  const __m512i ar = _mm512_or_si512(r, _mm512_set1_epi16(static_cast<short>(0xFF00)));
  _mm512_storeu_si512(to, _mm512_unpacklo_epi16(gb, ar));
  _mm512_storeu_si512(to + 16, _mm512_unpackhi_epi16(gb, ar));
}
// 32 pixels, groups of four in the order 0, 4, 1, 5, 2, 6, 3, 7.
AVX512_TARGET __m512i Load32(const BYTE* from) {
  return _mm512_maskz_permutexvar_epi64(0xFF, _mm512_set_epi64(7, 3, 6, 2, 5, 1, 4, 0), _mm512_loadu_si512(from));
}
AVX512_TARGET int Widen565x32(const BYTE* from, std::uint32_t* to, int count) {
  const __m512i top5 = _mm512_set1_epi16(static_cast<short>(0xF800)), six = _mm512_set1_epi16(0x07E0);
  int x = 0;
  for (; x + 32 <= count; x += 32) {
    const __m512i p = Load32(from + 2 * x);
    const __m512i g = _mm512_mulhi_epu16(_mm512_and_si512(p, six), _mm512_set1_epi16(8278));
    Store32(_mm512_or_si512(Top5x32(_mm512_slli_epi16(p, 11)), _mm512_slli_epi16(g, 8)),
            Top5x32(_mm512_and_si512(p, top5)), to + x);
  }
  return x;
}
AVX512_TARGET int Widen555x32(const BYTE* from, std::uint32_t* to, int count) {
  const __m512i top5 = _mm512_set1_epi16(static_cast<short>(0xF800)), mid5 = _mm512_set1_epi16(0x03E0);
  int x = 0;
  for (; x + 32 <= count; x += 32) {
    const __m512i p = Load32(from + 2 * x);
    const __m512i g = _mm512_mulhi_epu16(_mm512_and_si512(p, mid5), _mm512_set1_epi16(16847));
    Store32(_mm512_or_si512(Top5x32(_mm512_slli_epi16(p, 11)), _mm512_slli_epi16(g, 8)),
            Top5x32(_mm512_and_si512(_mm512_slli_epi16(p, 1), top5)), to + x);
  }
  return x;
}
bool HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}
bool HasAvx512() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
}
#else
int Widen565x16(const BYTE*, std::uint32_t*, int) { return 0; }
int Widen555x16(const BYTE*, std::uint32_t*, int) { return 0; }
int Widen565x32(const BYTE*, std::uint32_t*, int) { return 0; }
int Widen555x32(const BYTE*, std::uint32_t*, int) { return 0; }
bool HasAvx2() { return false; }
bool HasAvx512() { return false; }
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
  static const FrameWidth widest = HasAvx512() ? FrameWidth::k32
                                   : HasAvx2() ? FrameWidth::k16
                                   : kHasSse2  ? FrameWidth::k8
                                               : FrameWidth::k1;
  return widest;
}

void WidenRow(FrameFormat format, const BYTE* from, std::uint32_t* to, int count, FrameWidth width) {
  // Each wider step leaves the pixels it could not take to the next narrower one.
  using Step = int (*)(const BYTE*, std::uint32_t*, int);
  const auto run = [&](Step by32, Step by16, Step by8) {
    int x = width == FrameWidth::k32 ? by32(from, to, count) : 0;
    if (width >= FrameWidth::k16) x += by16(from + 2 * x, to + x, count - x);
    if (width != FrameWidth::k1) x += by8(from + 2 * x, to + x, count - x);
    return x;
  };
  int x = 0;
  switch (format) {
    case FrameFormat::kRgb565:
      for (x = run(Widen565x32, Widen565x16, Widen565x8); x < count; ++x)
        to[x] = From565(Load<std::uint16_t>(from + 2 * x));
      break;
    case FrameFormat::kRgb555:
      for (x = run(Widen555x32, Widen555x16, Widen555x8); x < count; ++x)
        to[x] = From555(Load<std::uint16_t>(from + 2 * x));
      break;
    case FrameFormat::kXrgb8888:
      for (x = width != FrameWidth::k1 ? Opaque32x4(from, to, count) : 0; x < count; ++x)
        to[x] = kOpaque | Load<std::uint32_t>(from + 4 * x);
      break;
  }
}

}  // namespace plat::ddraw
