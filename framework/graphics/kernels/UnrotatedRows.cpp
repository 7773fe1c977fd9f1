#include "framework/graphics/kernels/UnrotatedRows.h"

#include "framework/graphics/kernels/SimdLevel.h"

#include <algorithm>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Kit::UnrotatedRows {
namespace {

#define KIT_SIMD_BODY "framework/graphics/kernels/UnrotatedRowsBody.inl"
#include "framework/graphics/kernels/SimdBodies.h"

// Rows too narrow for a register, one pixel at a time.
void Scalar888(std::uint32_t* d, std::ptrdiff_t dPitch, const std::uint32_t* words, std::ptrdiff_t wordPitch, int count,
               int rows) {
  for (int r = 0; r < rows; ++r, d += dPitch, words += wordPitch)
    for (int i = 0; i < count; ++i) {
      const std::uint32_t rest = 256 - (words[i] >> 24), dv = d[i];
      d[i] = (words[i] & 0xFFFFFF) + ((((dv & 0xFF0000) * rest) >> 8) & 0xFF0000) +
             ((((dv & 0xFF00) * rest) >> 8) & 0xFF00) + ((((dv & 0xFF) * rest) >> 8) & 0xFF);
    }
}

// The 16-bit layouts' fields: 5-6-5 with kGreen6, else 5-5-5.
template <bool kGreen6>
struct Fields16 {
  static constexpr int kRedShift = kGreen6 ? 11 : 10;
  static constexpr std::uint32_t kGreenMax = kGreen6 ? 63 : 31;
  static constexpr std::uint32_t kRed = 31u << kRedShift, kGreen = kGreenMax << 5, kBlue = 31;
};

template <bool kGreen6>
void Scalar16(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* words, std::ptrdiff_t wordPitch, int count,
              int rows) {
  using F = Fields16<kGreen6>;
  for (int r = 0; r < rows; ++r, d += dPitch, words += wordPitch)
    for (int i = 0; i < count; ++i) {
      const std::uint32_t rest = 256 - (words[i] >> 24), dv = d[i];
      d[i] = static_cast<std::uint16_t>(words[i] + ((((dv & F::kRed) * rest) >> 8) & F::kRed) +
                                        ((((dv & F::kGreen) * rest) >> 8) & F::kGreen) +
                                        ((((dv & F::kBlue) * rest) >> 8) & F::kBlue));
    }
}

template <bool kGreen6>
void ScalarFourTap16(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* s, std::ptrdiff_t sPitch, int count,
                     int rows, const std::uint32_t (&k)[4]) {
  using F = Fields16<kGreen6>;
  for (int r = 0; r < rows; ++r, d += dPitch, s += sPitch)
    for (int i = 0; i < count; ++i) {
      const std::uint32_t taps[4] = {s[i], s[i + 1], s[sPitch + i], s[sPitch + i + 1]};
      std::uint32_t red = 0, green = 0, blue = 0, covered = 0;
      for (int t = 0; t < 4; ++t) {
        const std::uint32_t w = (k[t] * (taps[t] >> 24)) >> 16;
        red += ((taps[t] >> 16) & 0xFF) * w;
        green += ((taps[t] >> 8) & 0xFF) * w;
        blue += (taps[t] & 0xFF) * w;
        covered += w;
      }
      const std::uint32_t rest = 256 - covered, dv = d[i];
      d[i] = static_cast<std::uint16_t>(((red >> 11) + ((((dv >> F::kRedShift) & 31) * rest) >> 8)) << F::kRedShift |
                                        ((green >> (kGreen6 ? 10 : 11)) + ((((dv >> 5) & F::kGreenMax) * rest) >> 8))
                                            << 5 |
                                        ((blue >> 11) + (((dv & 31) * rest) >> 8)));
    }
}

}  // namespace

void Weigh(const std::uint32_t* argb, std::size_t count, Layout layout, std::uint32_t* words) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t p = argb[i], a = p >> 24, w = a - (a > 0);
    const std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    switch (layout) {
      case Layout::k888:
        words[i] = w << 24 | ((r * w) >> 8) << 16 | ((g * w) >> 8) << 8 | (b * w) >> 8;
        break;
      case Layout::k565:
        words[i] = (w == 254 ? 0xFF000000u : w << 24) | ((r * w) >> 11) << 11 | ((g * w) >> 10) << 5 | (b * w) >> 11;
        break;
      case Layout::k555:
        words[i] = (w == 254 ? 0xFF000000u : w << 24) | ((r * w) >> 11) << 10 | ((g * w) >> 11) << 5 | (b * w) >> 11;
        break;
      case Layout::kImage: {
        const std::uint32_t rest = a == 0 ? 256 : a >= 251 ? 0 : 256 - a;
        words[i] = (256 * a * r / 255) << 16 | 256 * a * b / 255;
        words[count + i] = rest << 16 | 256 * a * g / 255;
        break;
      }
    }
  }
}

// The widest width whose block fits the row draws it all.
void Onto888(std::uint32_t* d, std::ptrdiff_t dPitch, const std::uint32_t* words, std::ptrdiff_t wordPitch, int count,
             int rows) {
#if KIT_HAVE_AVX2_KERNELS
  if (Simd::UseAvx2() && count >= 8) return Avx2::Onto888(d, dPitch, words, wordPitch, count, rows);
#endif
#if defined(__SSE2__)
  if (Simd::UseSse2() && count >= 4) return Sse2::Onto888(d, dPitch, words, wordPitch, count, rows);
#endif
  Scalar888(d, dPitch, words, wordPitch, count, rows);
}

namespace {
template <bool kGreen6>
void Onto16(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* words, std::ptrdiff_t wordPitch, int count,
            int rows) {
#if KIT_HAVE_AVX2_KERNELS
  if (Simd::UseAvx2() && count >= 16) return Avx2::Onto16<kGreen6>(d, dPitch, words, wordPitch, count, rows);
#endif
#if defined(__SSE2__)
  if (Simd::UseSse2() && count >= 8) return Sse2::Onto16<kGreen6>(d, dPitch, words, wordPitch, count, rows);
#endif
  Scalar16<kGreen6>(d, dPitch, words, wordPitch, count, rows);
}
}  // namespace

void Onto565(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* words, std::ptrdiff_t wordPitch, int count,
             int rows) {
  Onto16<true>(d, dPitch, words, wordPitch, count, rows);
}

void Onto555(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* words, std::ptrdiff_t wordPitch, int count,
             int rows) {
  Onto16<false>(d, dPitch, words, wordPitch, count, rows);
}

namespace {
template <bool kGreen6>
void FourTap16(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* s, std::ptrdiff_t sPitch, int count,
               int rows, const std::uint32_t (&k)[4]) {
#if KIT_HAVE_AVX2_KERNELS
  if (Simd::UseAvx2() && count >= 16) return Avx2::FourTap16<kGreen6>(d, dPitch, s, sPitch, count, rows, k);
#endif
#if defined(__SSE2__)
  if (Simd::UseSse2() && count >= 8) return Sse2::FourTap16<kGreen6>(d, dPitch, s, sPitch, count, rows, k);
#endif
  ScalarFourTap16<kGreen6>(d, dPitch, s, sPitch, count, rows, k);
}
}  // namespace

void FourTap565(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* s, std::ptrdiff_t sPitch, int count,
                int rows, const std::uint32_t (&k)[4]) {
  FourTap16<true>(d, dPitch, s, sPitch, count, rows, k);
}

void FourTap555(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* s, std::ptrdiff_t sPitch, int count,
                int rows, const std::uint32_t (&k)[4]) {
  FourTap16<false>(d, dPitch, s, sPitch, count, rows, k);
}

void FourTap888(std::uint32_t* d, std::ptrdiff_t dPitch, const std::uint32_t* s, std::ptrdiff_t sPitch, int count,
                int rows, const std::uint32_t (&k)[4]) {
#if KIT_HAVE_AVX2_KERNELS
  if (Simd::UseAvx2() && count >= 8) return Avx2::FourTap888(d, dPitch, s, sPitch, count, rows, k);
#endif
#if defined(__SSE2__)
  Sse2::FourTap888(d, dPitch, s, sPitch, count, rows, k);
#endif
}

void OntoImage(std::uint32_t* d, std::ptrdiff_t dPitch, const std::uint32_t* blueRed, const std::uint32_t* greenRest,
               const std::uint32_t* s, const std::uint8_t* runs, std::ptrdiff_t sPitch, int count, int rows,
               PixelRule pixel) {
#if KIT_HAVE_AVX2_KERNELS
  if (Simd::UseAvx2()) return Avx2::OntoImage(d, dPitch, blueRed, greenRest, s, runs, sPitch, count, rows, pixel);
#endif
#if defined(__SSE2__)
  if (Simd::UseSse2()) return Sse2::OntoImage(d, dPitch, blueRed, greenRest, s, runs, sPitch, count, rows, pixel);
#endif
  for (int r = 0; r < rows; ++r, d += dPitch, s += sPitch)
    for (int i = 0; i < count; ++i) d[i] = pixel(d[i], s[i]);
}

}  // namespace Kit::UnrotatedRows
