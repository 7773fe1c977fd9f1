#include "platform/ddraw/ChangedRuns.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "platform/cpu/SimdLevel.h"
#if KIT_HAVE_AVX2_KERNELS
#include <immintrin.h>
#endif

namespace plat::ddraw {
namespace {

constexpr int kBlockPixels = 32;

// Whether two blocks of kBytes (a multiple of 8) differ, eight bytes at a time.
struct Words {
  template <size_t kBytes>
  static bool Differ(const BYTE* a, const BYTE* b) {
    std::uint64_t differs = 0;
    for (size_t i = 0; i < kBytes; i += 8) {
      std::uint64_t x, y;
      std::memcpy(&x, a + i, 8);
      std::memcpy(&y, b + i, 8);
      differs |= x ^ y;
    }
    return differs != 0;
  }
};

#if KIT_HAVE_AVX2_KERNELS
// The same, 32 bytes at a time (blocks of 3-byte pixels, 96 bytes, too).
struct Avx2Words {
  template <size_t kBytes>
  KIT_TARGET_AVX2 static bool Differ(const BYTE* a, const BYTE* b) {
    static_assert(kBytes % 32 == 0);
    __m256i differs = _mm256_setzero_si256();
    for (size_t i = 0; i < kBytes; i += 32) {
      const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
      const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
      differs = _mm256_or_si256(differs, _mm256_xor_si256(x, y));
    }
    return !_mm256_testz_si256(differs, differs);
  }
};
#endif

// Inlined into each caller (so are the switches below), so that the AVX2 entry's compares are inlined
// too. A target of const bytes is only compared: the runs are appended, nothing written.
template <int kBytesPerPixel, typename Compare, typename Target>
[[gnu::always_inline]] inline void CopyChanged(const BYTE* from, Target* to, int count, LONG firstColumn,
                                               std::vector<ColumnRun>& runs) {
  constexpr bool kCopy = !std::is_const_v<Target>;
  constexpr size_t kBlockBytes = static_cast<size_t>(kBlockPixels) * kBytesPerPixel;
  ColumnRun* open = nullptr;  // the run the previous block ended, when it differed
  for (int x = 0; x < count; x += kBlockPixels) {
    const size_t offset = static_cast<size_t>(x) * kBytesPerPixel;
    int pixels = kBlockPixels;
    if (count - x >= kBlockPixels) {
      if (!Compare::template Differ<kBlockBytes>(from + offset, to + offset)) {
        open = nullptr;
        continue;
      }
      if constexpr (kCopy) std::memcpy(to + offset, from + offset, kBlockBytes);
    } else {
      pixels = count - x;
      const size_t bytes = static_cast<size_t>(pixels) * kBytesPerPixel;
      if (std::memcmp(from + offset, to + offset, bytes) == 0) {
        open = nullptr;
        continue;
      }
      if constexpr (kCopy) std::memcpy(to + offset, from + offset, bytes);
    }
    if (open) {
      open->right += pixels;
    } else {
      runs.push_back(ColumnRun{firstColumn + x, firstColumn + x + pixels});
      open = &runs.back();
    }
  }
}

template <typename Compare, typename Target>
[[gnu::always_inline]] inline void CopyChangedOf(const BYTE* from, Target* to, int count, int bytesPerPixel,
                                                 LONG firstColumn, std::vector<ColumnRun>& runs) {
  switch (bytesPerPixel) {
    case 1:
      return CopyChanged<1, Compare>(from, to, count, firstColumn, runs);
    case 2:
      return CopyChanged<2, Compare>(from, to, count, firstColumn, runs);
    case 3:
      return CopyChanged<3, Compare>(from, to, count, firstColumn, runs);
    default:
      return CopyChanged<4, Compare>(from, to, count, firstColumn, runs);
  }
}

#if KIT_HAVE_AVX2_KERNELS
template <typename Target>
KIT_TARGET_AVX2 void CopyChangedAvx2(const BYTE* from, Target* to, int count, int bytesPerPixel, LONG firstColumn,
                                     std::vector<ColumnRun>& runs) {
  CopyChangedOf<Avx2Words>(from, to, count, bytesPerPixel, firstColumn, runs);
}
#endif

}  // namespace

void CopyChangedRuns(const BYTE* from, BYTE* to, int count, int bytesPerPixel, LONG firstColumn,
                     std::vector<ColumnRun>& runs) {
#if KIT_HAVE_AVX2_KERNELS
  if (simd::UseAvx2()) return CopyChangedAvx2(from, to, count, bytesPerPixel, firstColumn, runs);
#endif
  CopyChangedOf<Words>(from, to, count, bytesPerPixel, firstColumn, runs);
}

void AppendChangedRuns(const BYTE* from, const BYTE* to, int count, int bytesPerPixel, LONG firstColumn,
                       std::vector<ColumnRun>& runs) {
#if KIT_HAVE_AVX2_KERNELS
  if (simd::UseAvx2()) return CopyChangedAvx2(from, to, count, bytesPerPixel, firstColumn, runs);
#endif
  CopyChangedOf<Words>(from, to, count, bytesPerPixel, firstColumn, runs);
}

}  // namespace plat::ddraw
