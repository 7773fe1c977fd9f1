// Row kernels of the triangle rasteriser's textured spans: each gives exactly the per-pixel formula of
// SpanPixels.h, with SSE2 (and AVX2 where the processor has it) on four (eight) pixels at a time.
// Stateless; any thread may call them.
#pragma once

#include <cstdint>

namespace Kit::SpanRows {

// A colour multiplied into pixels, its channels 0..255.
struct Color {
  std::uint32_t a, r, g, b;
};

// SpanPixels::Modulate of each of count pixels, in place.
void Modulate(std::uint32_t* pixels, int count, const Color& color);

// Each source pixel by its own alpha onto an opaque row: alpha 0 leaves the pixel, any other alpha
// gives SpanPixels::OntoOpaque (alpha 255: the source itself).
void OntoOpaque(std::uint32_t* row, const std::uint32_t* src, int count);

// SpanPixels::OverKeepingAlpha of each source pixel over a row that keeps its alpha.
void OverKeepingAlpha(std::uint32_t* row, const std::uint32_t* src, int count);

// The nearest texels of pixels whose 16.16 texture coordinates start at (u, v) and step by (du, dv),
// eight at a time with AVX2 gathers, while every coordinate stays inside [0, 32767 x 65536). Writes
// a multiple of eight of the count pixels and returns how many: the rest (or all, without AVX2) are
// the caller's.
int GatherTexels(std::uint32_t* out, int count, std::int64_t u, std::int64_t du, std::int64_t v, std::int64_t dv,
                 const std::uint32_t* texels, int width);

}  // namespace Kit::SpanRows
