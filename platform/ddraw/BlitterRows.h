// Row kernels of the blitter: colour fills of 16- and 32-bit rows, copies of whole blocks of rows, and
// nearest-neighbour enlargements of 16- and 32-bit rows, plain or masked by a source colour key. Each
// gives exactly the per-pixel result; the fill works with SSE2 or AVX2 stores, a block larger than the
// caches may be copied with streaming stores, the enlargement with a shuffle per 16 or 32 target bytes
// where the processor has AVX2 (rows doubled in width, as by a 2x stretch, from the source bytes
// alone), and all fall back to plain code at the scalar level.
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

// Copies `bytes` from in to out, which may overlap. A copy of separate memories whose source and
// target together fit what one processor keeps near it (platform/cpu/CacheSizes.h) stores through the
// caches, leaving the target there for what reads it next; a larger one streams whole registers onto
// the target's cache lines past them (SSE2 or AVX2), neither pushing out what it wrote before it is done
// nor reading each target line before writing it over. Overlapping copies, and all at the scalar level,
// store through the caches.
void CopyBytes(BYTE* out, const BYTE* in, size_t bytes);

// Copies pixels of 2 or 4 bytes from `in` to `out` (separate memories), leaving those whose value,
// masked, equals the key's value, masked (both cut to the pixel's bytes), 32 bytes at a time where the
// processor has AVX2. Returns the pixels done: the rest (fewer than a register's, or all without
// AVX2) are the caller's.
LONG CopyKeyedVectors(BYTE* out, const BYTE* in, LONG count, int bytesPerPixel, DWORD keyValue, DWORD keyMask);

// The source bytes of each block of target bytes of an enlarged row (16 bytes of 16-bit pixels, 32 of
// 32-bit ones): the block's bytes of source loaded at offsets[b] and the place each target pixel takes
// of them. The blocks start where the first row's stores fall on whole 32-byte registers (a store
// across two cache lines costs about twice one inside a line); the pixels before and after them are the
// caller's.
class EnlargePlan {
 public:
  // For target pixels whose source columns are columns (non-decreasing, no two more than one pixel
  // apart, every one inside [sourceLeft, sourceRight)), bytesPerPixel 2 or 4, written into rows that
  // start at firstRow or at the same offset from a register's start (other rows are written exactly as
  // well, with slower stores). First() == End() when the kernel does not apply (no AVX2, or a source
  // narrower than a block), and every pixel is left to the plain loop.
  EnlargePlan(const std::vector<LONG>& columns, int bytesPerPixel, LONG sourceLeft, LONG sourceRight,
              const BYTE* firstRow);

  // The target pixels the blocks cover: [First(), End()).
  LONG First() const { return mFirst; }
  LONG End() const { return mFirst + static_cast<LONG>(mOffsets.size()) * BlockBytes() / mBytesPerPixel; }
  // Writes the covered pixels of the target row that starts at out from its source row.
  void Row(BYTE* out, const BYTE* in) const;
  // The same, leaving the target pixels whose source pixel, masked, equals the key, masked.
  void KeyedRow(BYTE* out, const BYTE* in, DWORD keyValue, DWORD keyMask) const;

 private:
  LONG BlockBytes() const { return mBytesPerPixel == 4 ? 32 : 16; }

  int mBytesPerPixel;
  LONG mFirst = 0;
  // Where the covered pixels double the source's from one of its pixels on (each source pixel taken
  // twice in a row, as in a 2x stretch), the byte of the source row they start at; -1 otherwise. Such
  // rows are written from the source bytes alone, without the orders.
  LONG mDoubledStart = -1;
  std::vector<LONG> mOffsets;
  // A block's order: for 16-bit pixels the source byte of each target byte, for 32-bit ones the
  // source pixel (a 32-bit word) of each target pixel.
  std::vector<BYTE> mShuffles;
};

}  // namespace plat::ddraw
