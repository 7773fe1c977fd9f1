#include "framework/graphics/SurfaceRotateRows.h"

#include "framework/graphics/SimdLevel.h"

#include <cstddef>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace Kit::SurfaceRotateRows {

#if defined(__x86_64__)
namespace {

// Four pixels in 128 bits: the base line of x86-64.
struct Sse2 {
  using R = __m128i;
  static constexpr int kPixels = 4;
  static R Load(const void* at) { return _mm_loadu_si128(static_cast<const __m128i*>(at)); }
  static void Store(void* at, R v) { _mm_storeu_si128(static_cast<__m128i*>(at), v); }
  // The first n pixels (n < kPixels), the rest 0; and the first n pixels of v stored.
  static R LoadPart(const std::uint32_t* at, int n) {
    alignas(16) std::uint32_t part[kPixels] = {};
    for (int j = 0; j < n; ++j) part[j] = at[j];
    return Load(part);
  }
  static void StorePart(std::uint32_t* at, R v, int n) {
    alignas(16) std::uint32_t part[kPixels];
    Store(part, v);
    for (int j = 0; j < n; ++j) at[j] = part[j];
  }
  static R Zero() { return _mm_setzero_si128(); }
  static R Set8(char v) { return _mm_set1_epi8(v); }
  static R Set16(short v) { return _mm_set1_epi16(v); }
  static R Set32(int v) { return _mm_set1_epi32(v); }
  // Per pixel in 16-bit lanes: blue, green, red, alpha.
  static R PerPixel16(short b, short g, short r, short a) { return _mm_set_epi16(a, r, g, b, a, r, g, b); }
  static bool AllEqual32(R a, R b) { return _mm_movemask_epi8(_mm_cmpeq_epi32(a, b)) == 0xFFFF; }
  static R And(R a, R b) { return _mm_and_si128(a, b); }
  static R Or(R a, R b) { return _mm_or_si128(a, b); }
  static R UnpackLo8(R v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
  static R UnpackHi8(R v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }
  static R PackUs16(R a, R b) { return _mm_packus_epi16(a, b); }
  // The bytes of the low or high pixels in the top halves of 16-bit lanes (byte x 256).
  static R TopLo8(R v) { return _mm_unpacklo_epi8(_mm_setzero_si128(), v); }
  static R TopHi8(R v) { return _mm_unpackhi_epi8(_mm_setzero_si128(), v); }
  // The low or high pixels' alpha bytes in all four 16-bit lanes of their pixel.
  static R AlphaLo16(R v) { return Alpha16(UnpackLo8(v)); }
  static R AlphaHi16(R v) { return Alpha16(UnpackHi8(v)); }
  static R SubsU16(R a, R b) { return _mm_subs_epu16(a, b); }
  template <int kShift>
  static R Srli32(R v) {
    return _mm_srli_epi32(v, kShift);
  }
  template <int kShift>
  static R Slli16(R v) {
    return _mm_slli_epi16(v, kShift);
  }
  // Two registers of 32-bit lanes (-32768..32767) as one of 16-bit lanes, in order.
  static R Pack32(R a, R b) { return _mm_packs_epi32(a, b); }
  // 32-bit lanes' low halves sign-extended.
  static R SignExtend16(R v) { return _mm_srai_epi32(_mm_slli_epi32(v, 16), 16); }
  // Each pixel's alpha lane in all four of its 16-bit lanes.
  static R Alpha16(R v) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
  }
  static R MulHiU16(R a, R b) { return _mm_mulhi_epu16(a, b); }
  static R MulLo16(R a, R b) { return _mm_mullo_epi16(a, b); }
  static R Add16(R a, R b) { return _mm_add_epi16(a, b); }
  static R Sub16(R a, R b) { return _mm_sub_epi16(a, b); }
  template <int kShift>
  static R Srli16(R v) {
    return _mm_srli_epi16(v, kShift);
  }
  static R Add8(R a, R b) { return _mm_add_epi8(a, b); }
  static R Sub8(R a, R b) { return _mm_sub_epi8(a, b); }
  static R MinU8(R a, R b) { return _mm_min_epu8(a, b); }
  static R SubsU8(R a, R b) { return _mm_subs_epu8(a, b); }
};

namespace sse2 {
using V = Sse2;
#include "framework/graphics/SurfaceRotateRowKernels.h"
}  // namespace sse2

}  // namespace

// Everything up to the matching pop is compiled for AVX2 and runs only at Simd level AVX2.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
namespace {

// Eight pixels in 256 bits, where the processor has them; every operation works within 128-bit halves.
struct Avx2 {
  using R = __m256i;
  static constexpr int kPixels = 8;
  static R Load(const void* at) { return _mm256_loadu_si256(static_cast<const __m256i*>(at)); }
  static void Store(void* at, R v) { _mm256_storeu_si256(static_cast<__m256i*>(at), v); }
  static R FirstLanes(int n) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  }
  static R LoadPart(const std::uint32_t* at, int n) {
    return _mm256_maskload_epi32(reinterpret_cast<const int*>(at), FirstLanes(n));
  }
  static void StorePart(std::uint32_t* at, R v, int n) {
    _mm256_maskstore_epi32(reinterpret_cast<int*>(at), FirstLanes(n), v);
  }
  static R Zero() { return _mm256_setzero_si256(); }
  static R Set8(char v) { return _mm256_set1_epi8(v); }
  static R Set16(short v) { return _mm256_set1_epi16(v); }
  static R Set32(int v) { return _mm256_set1_epi32(v); }
  static R PerPixel16(short b, short g, short r, short a) {
    return _mm256_set_epi16(a, r, g, b, a, r, g, b, a, r, g, b, a, r, g, b);
  }
  static bool AllEqual32(R a, R b) { return _mm256_movemask_epi8(_mm256_cmpeq_epi32(a, b)) == -1; }
  static R And(R a, R b) { return _mm256_and_si256(a, b); }
  static R Or(R a, R b) { return _mm256_or_si256(a, b); }
  static R UnpackLo8(R v) { return _mm256_unpacklo_epi8(v, _mm256_setzero_si256()); }
  static R UnpackHi8(R v) { return _mm256_unpackhi_epi8(v, _mm256_setzero_si256()); }
  static R PackUs16(R a, R b) { return _mm256_packus_epi16(a, b); }
  static R TopLo8(R v) { return _mm256_unpacklo_epi8(_mm256_setzero_si256(), v); }
  static R TopHi8(R v) { return _mm256_unpackhi_epi8(_mm256_setzero_si256(), v); }
  static R AlphaLo16(R v) {
    const char z = -128;
    return _mm256_shuffle_epi8(v, _mm256_setr_epi8(3, z, 3, z, 3, z, 3, z, 7, z, 7, z, 7, z, 7, z, 3, z, 3, z, 3, z, 3,
                                                   z, 7, z, 7, z, 7, z, 7, z));
  }
  static R AlphaHi16(R v) {
    const char z = -128;
    return _mm256_shuffle_epi8(v, _mm256_setr_epi8(11, z, 11, z, 11, z, 11, z, 15, z, 15, z, 15, z, 15, z, 11, z, 11, z,
                                                   11, z, 11, z, 15, z, 15, z, 15, z, 15, z));
  }
  static R SubsU16(R a, R b) { return _mm256_subs_epu16(a, b); }
  template <int kShift>
  static R Srli32(R v) {
    return _mm256_srli_epi32(v, kShift);
  }
  template <int kShift>
  static R Slli16(R v) {
    return _mm256_slli_epi16(v, kShift);
  }
  // The pack works within halves: its 64-bit quarters come out a0 b0 a1 b1, put back as a0 a1 b0 b1.
  static R Pack32(R a, R b) { return _mm256_permute4x64_epi64(_mm256_packs_epi32(a, b), _MM_SHUFFLE(3, 1, 2, 0)); }
  static R SignExtend16(R v) { return _mm256_srai_epi32(_mm256_slli_epi32(v, 16), 16); }
  static R Alpha16(R v) {
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
  }
  static R MulHiU16(R a, R b) { return _mm256_mulhi_epu16(a, b); }
  static R MulLo16(R a, R b) { return _mm256_mullo_epi16(a, b); }
  static R Add16(R a, R b) { return _mm256_add_epi16(a, b); }
  static R Sub16(R a, R b) { return _mm256_sub_epi16(a, b); }
  template <int kShift>
  static R Srli16(R v) {
    return _mm256_srli_epi16(v, kShift);
  }
  static R Add8(R a, R b) { return _mm256_add_epi8(a, b); }
  static R Sub8(R a, R b) { return _mm256_sub_epi8(a, b); }
  static R MinU8(R a, R b) { return _mm256_min_epu8(a, b); }
  static R SubsU8(R a, R b) { return _mm256_subs_epu8(a, b); }
};

namespace avx2 {
using V = Avx2;
#include "framework/graphics/SurfaceRotateRowKernels.h"
}  // namespace avx2

}  // namespace
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

int OneTap888(std::uint32_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
  if (Simd::UseAvx2()) return avx2::OneTap888(d, s, count, mode);
  return Simd::UseSse2() ? sse2::OneTap888(d, s, count, mode) : 0;
}

int FourTap888(std::uint32_t* d, const std::uint32_t* row, const std::uint32_t* next, int count,
               const std::uint32_t (&k)[4], const RowMode& mode) {
  if (Simd::UseAvx2()) return avx2::FourTap888(d, row, next, count, k, mode);
  return Simd::UseSse2() ? sse2::FourTap888(d, row, next, count, k, mode) : 0;
}

// 16 pixels a block at AVX2, then 8 a block, then the last few copied into a block of their own
// (transparent past the row's end).
template <bool kGreen6>
int OneTap16Row(std::uint16_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
  int i = Simd::UseAvx2() ? avx2::OneTap16<kGreen6>(d, s, count, mode) : 0;
  if (!Simd::UseSse2()) return i;
  i += sse2::OneTap16<kGreen6>(d + i, s + i, count - i, mode);
  const int rest = count - i;
  if (rest > 0) {
    std::uint16_t out[8] = {};
    std::uint32_t in[8] = {};
    for (int j = 0; j < rest; ++j) {
      out[j] = d[i + j];
      in[j] = s[i + j];
    }
    sse2::OneTap16<kGreen6>(out, in, 8, mode);
    for (int j = 0; j < rest; ++j) d[i + j] = out[j];
  }
  return count;
}

int OneTap565(std::uint16_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
  return OneTap16Row<true>(d, s, count, mode);
}

int OneTap555(std::uint16_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
  return OneTap16Row<false>(d, s, count, mode);
}

#else

int OneTap888(std::uint32_t*, const std::uint32_t*, int, const RowMode&) { return 0; }
int OneTap565(std::uint16_t*, const std::uint32_t*, int, const RowMode&) { return 0; }
int OneTap555(std::uint16_t*, const std::uint32_t*, int, const RowMode&) { return 0; }
int FourTap888(std::uint32_t*, const std::uint32_t*, const std::uint32_t*, int, const std::uint32_t (&)[4],
               const RowMode&) {
  return 0;
}
#endif

}  // namespace Kit::SurfaceRotateRows
