// Row kernels of the blitter: colour fills of 16- and 32-bit rows, and nearest-neighbour enlargements
// of 16- and 32-bit rows, plain or masked by a source colour key. Each gives exactly the per-pixel
// result; the fill works with SSE2 or AVX2 stores, the enlargement with a byte shuffle per 16 target
// bytes where the processor has AVX2, and both fall back to plain code at the scalar level.
// Stateless apart from a plan, which one thread builds and uses; any thread may call them.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/win/Types.h"

namespace plat::ddraw {

// A colour fill of rows of pixels of 2 or 4 bytes: value's low bytesPerPixel bytes repeated.
class FillPattern {
 public:
  FillPattern(int bytesPerPixel, DWORD value);
  // Writes the colour into count pixels from out.
  void Pixels(BYTE* out, size_t count) const;

 private:
  int mBytesPerPixel;
  DWORD mValue;
  // Byte i of a row filled from `out` is mBytes[i % size], so the bytes from mBytes + i % size on are
  // those from out + i on, whatever the alignment of out.
  alignas(32) BYTE mBytes[64];
};

// The source bytes of each 16 target bytes of an enlarged row: the 16 source bytes loaded at
// offsets[b] and the byte each target byte takes of them.
class EnlargePlan {
 public:
  // For target pixels whose source columns are columns (non-decreasing, no two more than one pixel
  // apart, every one inside [sourceLeft, sourceRight)), bytesPerPixel 2 or 4. Blocks() is 0 when the
  // kernel does not apply (no AVX2, or a source narrower than 16 bytes), and every pixel is left to
  // the plain loop.
  EnlargePlan(const std::vector<LONG>& columns, int bytesPerPixel, LONG sourceLeft, LONG sourceRight);

  // Target pixels the blocks cover, from the first.
  LONG Covered() const { return static_cast<LONG>(mOffsets.size()) * 16 / mBytesPerPixel; }
  // Writes the covered pixels of one target row from its source row.
  void Row(BYTE* out, const BYTE* in) const;
  // The same, leaving the target pixels whose source pixel, masked, equals the key, masked.
  void KeyedRow(BYTE* out, const BYTE* in, DWORD keyValue, DWORD keyMask) const;

 private:
  int mBytesPerPixel;
  std::vector<LONG> mOffsets;
  std::vector<BYTE> mShuffles;  // 16 a block
};

}  // namespace plat::ddraw
