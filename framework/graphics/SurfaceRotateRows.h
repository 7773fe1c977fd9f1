// Row kernels of the rotated blit onto surfaces, normal mode, from 32-bit sources. Each gives exactly
// the per-pixel formula of the rotated blit: every destination pixel takes its source neighbours,
// each weighing w = k x alpha >> 16 (then w x colour alpha >> 8 when coloured), k the product of the
// sample's fractions; each colour field gets the neighbours' weighted sum and keeps 256 less their
// weights of its own value. On x86-64 they work on several pixels at a time; each returns how many
// pixels it drew, the caller draws the rest.
#pragma once

#include "framework/graphics/SurfacePixelMath.h"

#include <cstdint>

namespace Kit::SurfaceRotateRows {

// The colour a row is drawn with: white draws the source as it is.
struct Tint {
  bool colored;
  SurfaceMath::Rgba c;
};

// The unrotated 8-8-8 kernels work on eight pixels at a time where the processor has 256-bit vectors,
// unless told not to (the tests run both ways).
void UseWideVectors(bool use);

// Unrotated at a whole-pixel position: the only neighbour is the pixel itself, at k = 65534, so it
// weighs alpha - 1 (0 when transparent). s holds the row's source pixels.
int OneTap888(std::uint32_t* d, const std::uint32_t* s, int count, const Tint& tint);
int OneTap565(std::uint16_t* d, const std::uint32_t* s, int count, const Tint& tint);

// Unrotated at a sub-pixel position: pixel i takes row[i], row[i + 1], next[i], next[i + 1] at the
// row's constant k[0..3].
int FourTap888(std::uint32_t* d, const std::uint32_t* row, const std::uint32_t* next, int count,
               const std::uint32_t (&k)[4], const Tint& tint);

// Rotated: pixel i samples at (u + i du, v + i dv), 16.16 from the source rectangle's corner `origin`
// in rows of `stride` pixels; its neighbours are the 2 x 2 pixels at the integer parts, k the
// products of the fractions. Every sample of the row must have its neighbours inside the source,
// and the source rectangle and stride must be below 32768 pixels.
int Rotated888(std::uint32_t* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v,
               std::int32_t du, std::int32_t dv, int count, const Tint& tint);

}  // namespace Kit::SurfaceRotateRows
