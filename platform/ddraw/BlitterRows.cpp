#include "platform/ddraw/BlitterRows.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/cpu/CacheSizes.h"
#include "platform/cpu/SimdLevel.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace plat::ddraw {
namespace {

// From this many bytes on a fill of 32-bit pixels is one string store.
constexpr size_t kStringStoreBytes = 16384;

void FillScalar(BYTE* out, size_t count, int bytesPerPixel, DWORD value) {
  if (bytesPerPixel == 2) {
    const WORD word = static_cast<WORD>(value);
    for (size_t x = 0; x < count; ++x) std::memcpy(out + x * 2, &word, 2);
  } else {
    for (size_t x = 0; x < count; ++x) std::memcpy(out + x * 4, &value, 4);
  }
}

// The bytes before the first store of kWidth bytes on an address that is a multiple of kWidth (stores
// across cache lines are slow).
template <size_t kWidth>
size_t HeadBytes(const BYTE* out, size_t bytes) {
  return std::min(bytes, static_cast<size_t>(-reinterpret_cast<std::uintptr_t>(out) & (kWidth - 1)));
}

#if defined(__SSE2__)
void FillSse2(BYTE* out, size_t bytes, const BYTE* pattern, size_t size) {
  const size_t head = HeadBytes<16>(out, bytes);
  if (head) std::memcpy(out, pattern, head);
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern + head % size));
  size_t i = head;
  for (; i + 64 <= bytes; i += 64) {
    _mm_store_si128(reinterpret_cast<__m128i*>(out + i), v);
    _mm_store_si128(reinterpret_cast<__m128i*>(out + i + 16), v);
    _mm_store_si128(reinterpret_cast<__m128i*>(out + i + 32), v);
    _mm_store_si128(reinterpret_cast<__m128i*>(out + i + 48), v);
  }
  for (; i + 16 <= bytes; i += 16) _mm_store_si128(reinterpret_cast<__m128i*>(out + i), v);
  if (i < bytes) std::memcpy(out + i, pattern + i % size, bytes - i);
}
#endif

#if defined(__SSE2__)
// Streams whole cache lines of the target (four registers each), the bytes before the first and
// after the last stored plainly.
void StreamSse2(BYTE* out, const BYTE* in, size_t bytes) {
  const size_t head = HeadBytes<64>(out, bytes);
  std::memcpy(out, in, head);
  size_t i = head;
  for (; i + 64 <= bytes; i += 64) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 16));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 32));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 48));
    _mm_stream_si128(reinterpret_cast<__m128i*>(out + i), a);
    _mm_stream_si128(reinterpret_cast<__m128i*>(out + i + 16), b);
    _mm_stream_si128(reinterpret_cast<__m128i*>(out + i + 32), c);
    _mm_stream_si128(reinterpret_cast<__m128i*>(out + i + 48), d);
  }
  std::memcpy(out + i, in + i, bytes - i);
  // The streamed lines reach memory before any store after them does.
  _mm_sfence();
}
#endif

#if KIT_HAVE_AVX2_KERNELS
// StreamSse2 with two registers to a line.
KIT_TARGET_AVX2 void StreamAvx2(BYTE* out, const BYTE* in, size_t bytes) {
  const size_t head = HeadBytes<64>(out, bytes);
  std::memcpy(out, in, head);
  size_t i = head;
  for (; i + 64 <= bytes; i += 64) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i + 32));
    _mm256_stream_si256(reinterpret_cast<__m256i*>(out + i), a);
    _mm256_stream_si256(reinterpret_cast<__m256i*>(out + i + 32), b);
  }
  std::memcpy(out + i, in + i, bytes - i);
  _mm_sfence();
}

KIT_TARGET_AVX2 void FillAvx2(BYTE* out, size_t bytes, const BYTE* pattern, size_t size) {
  const size_t head = HeadBytes<32>(out, bytes);
  if (head) std::memcpy(out, pattern, head);
  const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern + head % size));
  size_t i = head;
  for (; i + 128 <= bytes; i += 128) {
    _mm256_store_si256(reinterpret_cast<__m256i*>(out + i), v);
    _mm256_store_si256(reinterpret_cast<__m256i*>(out + i + 32), v);
    _mm256_store_si256(reinterpret_cast<__m256i*>(out + i + 64), v);
    _mm256_store_si256(reinterpret_cast<__m256i*>(out + i + 96), v);
  }
  for (; i + 32 <= bytes; i += 32) _mm256_store_si256(reinterpret_cast<__m256i*>(out + i), v);
  if (i < bytes) std::memcpy(out + i, pattern + i % size, bytes - i);
}

KIT_TARGET_AVX2 void EnlargeBlocks(BYTE* out, const BYTE* in, const LONG* offsets, const BYTE* shuffles,
                                   size_t blocks) {
  for (size_t b = 0; b < blocks; ++b) {
    const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + offsets[b]));
    const __m128i order = _mm_loadu_si128(reinterpret_cast<const __m128i*>(shuffles + 16 * b));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * b), _mm_shuffle_epi8(source, order));
  }
}

// Blocks of target pixels that each take their source pixel twice: 8 target pixels of 2 bytes or of 4
// bytes from every 4 source pixels, two blocks to a register where there are two.
KIT_TARGET_AVX2 void DoubleBlocks(BYTE* out, const BYTE* in, size_t blocks) {
  for (; blocks >= 2; blocks -= 2, in += 16, out += 32) {
    // Each pixel widened to 32 bits and copied into its upper half.
    const __m256i words = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_or_si256(words, _mm256_slli_epi32(words, 16)));
  }
  if (blocks > 0) {
    const __m128i source = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi16(source, source));
  }
}

KIT_TARGET_AVX2 void DoubleWordBlocks(BYTE* out, const BYTE* in, size_t blocks) {
  const __m256i lowTwice = _mm256_setr_epi32(0, 0, 1, 1, 2, 2, 3, 3);
  const __m256i highTwice = _mm256_setr_epi32(4, 4, 5, 5, 6, 6, 7, 7);
  for (; blocks >= 2; blocks -= 2, in += 32, out += 64) {
    const __m256i source = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permutevar8x32_epi32(source, lowTwice));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32), _mm256_permutevar8x32_epi32(source, highTwice));
  }
  if (blocks > 0) {
    const __m256i source = _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permutevar8x32_epi32(source, lowTwice));
  }
}

template <int N>
KIT_TARGET_AVX2 LONG CopyKeyedAvx2(BYTE* out, const BYTE* in, LONG count, DWORD keyValue, DWORD keyMask) {
  const __m256i mask =
      N == 2 ? _mm256_set1_epi16(static_cast<short>(keyMask)) : _mm256_set1_epi32(static_cast<int>(keyMask));
  const DWORD keyBits = keyValue & keyMask;
  const __m256i key =
      N == 2 ? _mm256_set1_epi16(static_cast<short>(keyBits)) : _mm256_set1_epi32(static_cast<int>(keyBits));
  const LONG perRegister = 32 / N;
  LONG x = 0;
  for (; x + perRegister <= count; x += perRegister) {
    const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + x * N));
    const __m256i masked = _mm256_and_si256(pixels, mask);
    const __m256i keyed = N == 2 ? _mm256_cmpeq_epi16(masked, key) : _mm256_cmpeq_epi32(masked, key);
    auto* target = reinterpret_cast<__m256i*>(out + x * N);
    _mm256_storeu_si256(target, _mm256_blendv_epi8(pixels, _mm256_loadu_si256(target), keyed));
  }
  return x;
}

KIT_TARGET_AVX2 void EnlargeWordBlocks(BYTE* out, const BYTE* in, const LONG* offsets, const BYTE* order,
                                       size_t blocks) {
  for (size_t b = 0; b < blocks; ++b) {
    const __m256i source = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + offsets[b]));
    const __m256i words = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(order + 32 * b));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32 * b), _mm256_permutevar8x32_epi32(source, words));
  }
}

KIT_TARGET_AVX2 void EnlargeKeyedWordBlocks(BYTE* out, const BYTE* in, const LONG* offsets, const BYTE* order,
                                            size_t blocks, DWORD keyValue, DWORD keyMask) {
  const __m256i mask = _mm256_set1_epi32(static_cast<int>(keyMask));
  const __m256i key = _mm256_set1_epi32(static_cast<int>(keyValue & keyMask));
  for (size_t b = 0; b < blocks; ++b) {
    const __m256i source = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + offsets[b]));
    const __m256i words = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(order + 32 * b));
    const __m256i pixels = _mm256_permutevar8x32_epi32(source, words);
    const __m256i keyed = _mm256_cmpeq_epi32(_mm256_and_si256(pixels, mask), key);
    auto* target = reinterpret_cast<__m256i*>(out + 32 * b);
    _mm256_storeu_si256(target, _mm256_blendv_epi8(pixels, _mm256_loadu_si256(target), keyed));
  }
}

template <int N>
KIT_TARGET_AVX2 void EnlargeKeyedBlocks(BYTE* out, const BYTE* in, const LONG* offsets, const BYTE* shuffles,
                                        size_t blocks, DWORD keyValue, DWORD keyMask) {
  const __m128i mask = N == 2 ? _mm_set1_epi16(static_cast<short>(keyMask)) : _mm_set1_epi32(static_cast<int>(keyMask));
  const DWORD keyBits = keyValue & keyMask;
  const __m128i key = N == 2 ? _mm_set1_epi16(static_cast<short>(keyBits)) : _mm_set1_epi32(static_cast<int>(keyBits));
  for (size_t b = 0; b < blocks; ++b) {
    const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + offsets[b]));
    const __m128i order = _mm_loadu_si128(reinterpret_cast<const __m128i*>(shuffles + 16 * b));
    const __m128i pixels = _mm_shuffle_epi8(source, order);
    const __m128i masked = _mm_and_si128(pixels, mask);
    const __m128i keyed = N == 2 ? _mm_cmpeq_epi16(masked, key) : _mm_cmpeq_epi32(masked, key);
    auto* target = reinterpret_cast<__m128i*>(out + 16 * b);
    _mm_storeu_si128(target, _mm_blendv_epi8(pixels, _mm_loadu_si128(target), keyed));
  }
}
#endif

}  // namespace

FillPattern::FillPattern(int bytesPerPixel, DWORD value) : mBytesPerPixel(bytesPerPixel), mValue(value) {
  for (int i = 0; i < 64; i += bytesPerPixel) std::memcpy(mBytes + i, &value, static_cast<size_t>(bytesPerPixel));
}

void FillPattern::Pixels(BYTE* out, size_t count) const {
  const size_t bytes = count * static_cast<size_t>(mBytesPerPixel), size = static_cast<size_t>(mBytesPerPixel);
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  // A long run of 32-bit pixels is one string store: for whole cache lines the processor skips
  // reading them first, which plain stores cannot (measured a tenth faster on a full frame).
  if (mBytesPerPixel == 4 && bytes >= kStringStoreBytes && simd::UseSse2()) {
    size_t words = count;
    asm volatile("rep stosl" : "+D"(out), "+c"(words) : "a"(mValue) : "memory");
    return;
  }
#endif
#if KIT_HAVE_AVX2_KERNELS
  if (simd::UseAvx2()) return FillAvx2(out, bytes, mBytes, size);
#endif
#if defined(__SSE2__)
  if (simd::UseSse2()) return FillSse2(out, bytes, mBytes, size);
#endif
  FillScalar(out, count, mBytesPerPixel, mValue);
}

void CopyBytes(BYTE* out, const BYTE* in, size_t bytes) {
#if defined(__SSE2__)
  const auto to = reinterpret_cast<std::uintptr_t>(out), from = reinterpret_cast<std::uintptr_t>(in);
  if ((to + bytes <= from || from + bytes <= to) && simd::UseSse2()) {
    // Source and target together.
    if (cache::FitsNearCaches(2 * bytes)) {
      std::memcpy(out, in, bytes);
      return;
    }
#if KIT_HAVE_AVX2_KERNELS
    if (simd::UseAvx2()) return StreamAvx2(out, in, bytes);
#endif
    return StreamSse2(out, in, bytes);
  }
#endif
  std::memmove(out, in, bytes);
}

LONG CopyKeyedVectors(BYTE* out, const BYTE* in, LONG count, int bytesPerPixel, DWORD keyValue, DWORD keyMask) {
#if KIT_HAVE_AVX2_KERNELS
  if (simd::UseAvx2())
    return bytesPerPixel == 2 ? CopyKeyedAvx2<2>(out, in, count, keyValue, keyMask)
                              : CopyKeyedAvx2<4>(out, in, count, keyValue, keyMask);
#endif
  return 0;
}

EnlargePlan::EnlargePlan(const std::vector<LONG>& columns, int bytesPerPixel, LONG sourceLeft, LONG sourceRight,
                         const BYTE* firstRow)
    : mBytesPerPixel(bytesPerPixel) {
#if KIT_HAVE_AVX2_KERNELS
  const LONG left = sourceLeft * bytesPerPixel, right = sourceRight * bytesPerPixel, blockBytes = BlockBytes();
  if (!simd::UseAvx2() || right - left < blockBytes) return;
  const LONG count = static_cast<LONG>(columns.size());
  // Rows that start off a whole pixel from the block's start cannot be brought onto it.
  const auto lead =
      static_cast<LONG>(-reinterpret_cast<std::uintptr_t>(firstRow) & static_cast<std::uintptr_t>(blockBytes - 1));
  mFirst = lead % bytesPerPixel == 0 ? std::min(lead / bytesPerPixel, count) : 0;
  const LONG pixelsPerBlock = blockBytes / bytesPerPixel;
  const LONG blocks = (count - mFirst) / pixelsPerBlock;
  mOffsets.resize(static_cast<size_t>(blocks));
  mShuffles.resize(static_cast<size_t>(blocks * blockBytes));
  for (LONG b = 0; b < blocks; ++b) {
    const LONG* blockColumns = columns.data() + mFirst + b * pixelsPerBlock;
    // A block's bytes from its first source pixel, moved back where they would pass the source's end.
    const LONG start = std::min(blockColumns[0] * bytesPerPixel, right - blockBytes);
    mOffsets[b] = start;
    BYTE* order = mShuffles.data() + b * blockBytes;
    for (LONG p = 0; p < pixelsPerBlock; ++p) {
      const LONG from = blockColumns[p] * bytesPerPixel - start;
      if (bytesPerPixel == 4) {
        const DWORD word = static_cast<DWORD>(from / 4);
        std::memcpy(order + p * 4, &word, 4);
      } else {
        order[p * 2] = static_cast<BYTE>(from);
        order[p * 2 + 1] = static_cast<BYTE>(from + 1);
      }
    }
  }
  const LONG covered = blocks * pixelsPerBlock;
  LONG doubled = 0;
  while (doubled < covered && columns[mFirst + doubled] == columns[mFirst] + doubled / 2) ++doubled;
  if (blocks > 0 && doubled == covered) mDoubledStart = columns[mFirst] * bytesPerPixel;
#endif
}

void EnlargePlan::Row(BYTE* out, const BYTE* in) const {
#if KIT_HAVE_AVX2_KERNELS
  if (mOffsets.empty()) return;
  out += mFirst * mBytesPerPixel;
  if (mDoubledStart >= 0 && mBytesPerPixel == 4)
    DoubleWordBlocks(out, in + mDoubledStart, mOffsets.size());
  else if (mDoubledStart >= 0)
    DoubleBlocks(out, in + mDoubledStart, mOffsets.size());
  else if (mBytesPerPixel == 4)
    EnlargeWordBlocks(out, in, mOffsets.data(), mShuffles.data(), mOffsets.size());
  else
    EnlargeBlocks(out, in, mOffsets.data(), mShuffles.data(), mOffsets.size());
#endif
}

void EnlargePlan::KeyedRow(BYTE* out, const BYTE* in, DWORD keyValue, DWORD keyMask) const {
#if KIT_HAVE_AVX2_KERNELS
  if (mOffsets.empty()) return;
  // A key with bits beyond the pixel's matches no pixel.
  const DWORD pixelBits = mBytesPerPixel == 2 ? 0xFFFFu : 0xFFFFFFFFu;
  if ((keyValue & keyMask & ~pixelBits) != 0) return Row(out, in);
  out += mFirst * mBytesPerPixel;
  if (mBytesPerPixel == 2)
    EnlargeKeyedBlocks<2>(out, in, mOffsets.data(), mShuffles.data(), mOffsets.size(), keyValue, keyMask);
  else
    EnlargeKeyedWordBlocks(out, in, mOffsets.data(), mShuffles.data(), mOffsets.size(), keyValue, keyMask);
#endif
}

}  // namespace plat::ddraw
