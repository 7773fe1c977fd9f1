// Row kernels of the rotated blit onto surfaces from 32-bit sources. Each gives exactly the per-pixel
// formula of the rotated blit: every destination pixel takes its source neighbours, each weighing
// w = k x alpha >> 16, k the product of the sample's fractions. Normal: w x colour alpha >> 8 when
// coloured, each colour field gets the neighbours' weighted sum (times the colour) and keeps 256 less
// their weights of its own value. Additive: each field adds the weighted sum (times the colour's
// premultiplied field >> 8), saturating. On x86-64 they work on several pixels at a time; each returns
// how many pixels it drew, the caller draws the rest.
#pragma once

#include "framework/graphics/kernels/Rgba.h"

#include <cstdint>

namespace Kit::SurfaceRotateRows {

// How a row is drawn: white draws the source as it is; c is the colour, premultiplied when additive.
struct RowMode {
  bool additive;
  bool colored;
  Rgba c;
};

// The unrotated 8-8-8 kernels work on eight pixels at a time at Simd level AVX2; every kernel draws
// nothing (returns 0) below SSE2.
// Unrotated at a whole-pixel position: the only neighbour is the pixel itself, at k = 65534, so it
// weighs alpha - 1 (0 when transparent). s holds the row's source pixels.
int OneTap888(std::uint32_t* d, const std::uint32_t* s, int count, const RowMode& mode);
// Normal only onto 16-bit pixels.
int OneTap565(std::uint16_t* d, const std::uint32_t* s, int count, const RowMode& mode);
int OneTap555(std::uint16_t* d, const std::uint32_t* s, int count, const RowMode& mode);

// Unrotated at a sub-pixel position: pixel i takes row[i], row[i + 1], next[i], next[i + 1] at the
// row's constant k[0..3].
int FourTap888(std::uint32_t* d, const std::uint32_t* row, const std::uint32_t* next, int count,
               const std::uint32_t (&k)[4], const RowMode& mode);

// Rotated: pixel i samples at (u + i du, v + i dv), 16.16 from the source rectangle's corner `origin`
// in rows of `stride` pixels; its neighbours are the 2 x 2 pixels at the integer parts, k the
// products of the fractions. Every sample of the row must have its neighbours inside the source,
// and the source rectangle and stride must be below 32768 pixels. Additive rows take the surface's
// add tables to be the saturating ones ChannelAddTables builds.
int Rotated888(std::uint32_t* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v,
               std::int32_t du, std::int32_t dv, int count, const RowMode& mode);
int Rotated565(std::uint16_t* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v,
               std::int32_t du, std::int32_t dv, int count, const RowMode& mode);
int Rotated555(std::uint16_t* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v,
               std::int32_t du, std::int32_t dv, int count, const RowMode& mode);

}  // namespace Kit::SurfaceRotateRows
