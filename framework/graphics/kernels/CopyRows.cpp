#include "framework/graphics/kernels/CopyRows.h"

#include "framework/graphics/kernels/SimdLevel.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Kit::CopyRows {

#define KIT_SIMD_BODY "framework/graphics/kernels/CopyRowsBody.inl"
#include "framework/graphics/kernels/SimdBodies.h"

// Each kernel runs its widest width first, then the narrower one on what is left, then the plain
// loop on the last few pixels.

void StoreLow16(std::uint16_t* d, const std::uint32_t* s, int count) {
  int i = 0;
  KIT_RUN_AVX2(StoreLow16(d, s, i, count));
  KIT_RUN_SSE2(StoreLow16(d, s, i, count));
  for (; i < count; ++i) d[i] = static_cast<std::uint16_t>(s[i]);
}

// The keyed copy copies its spans at one width throughout, or by the library.
template <typename Pixel>
void StoreKeyedAnyWidth(const KeyedRows<Pixel>& rows) {
#if KIT_HAVE_AVX2_KERNELS
  if (Simd::UseAvx2()) return Avx2::StoreKeyed(rows);
#endif
#if defined(__SSE2__)
  if (Simd::UseSse2()) return Sse2::StoreKeyed(rows);
#endif
  for (std::uint32_t k = rows.rowFirst[0]; k < rows.rowFirst[rows.height]; ++k) {
    const KeyedSpans::Span& span = rows.spans[k];
    const int start = std::max(span.start, rows.left), end = std::min(span.end, rows.right);
    const std::ptrdiff_t row = span.row - rows.top;
    if (start < end)
      std::copy_n(rows.words + rows.sStride * row + start, end - start,
                  rows.d + rows.dStride * row + (start - rows.left));
  }
}

void StoreKeyed(const KeyedRows<std::uint16_t>& rows) { StoreKeyedAnyWidth(rows); }
void StoreKeyed(const KeyedRows<std::uint32_t>& rows) { StoreKeyedAnyWidth(rows); }

void Reverse(std::uint32_t* d, const std::uint32_t* s, int count) {
  int i = 0;
  KIT_RUN_AVX2(Reverse(d, s, i, count));
  KIT_RUN_SSE2(Reverse(d, s, i, count));
  for (; i < count; ++i) d[i] = s[count - 1 - i];
}

}  // namespace Kit::CopyRows
