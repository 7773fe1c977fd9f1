// Row kernels of the alpha OVER blend, onto 32-bit and 5-6-5 surfaces and onto memory images. Each
// gives exactly the per-pixel formula of the routine it serves, with SSE2 (and AVX2 where the
// processor has it) on several pixels at a time.
#pragma once

#include <cstdint>

namespace Kit::OverRows {

// Premultiplied native words onto a surface whose fields are the bytes of 0x00RRGGBB: each field of
// d becomes (d x (256 - a) >> 8) plus the source's, and the source's alpha byte lands above them;
// a word of alpha 0 leaves its pixel.
void OntoSurface888(std::uint32_t* d, const std::uint32_t* s, int count);
// The same onto 5-6-5 pixels from native words whose low 16 bits are 5-6-5: each field of d becomes
// (d x (256 - a) >> 8), and the word's low 16 bits are added; alpha 0 leaves the pixel.
void OntoSurface565(std::uint16_t* d, const std::uint32_t* s, int count);

// PixelBlend::Over of each ARGB source pixel with its own alpha onto a memory image's row (alpha 0
// leaves the pixel).
void OverPixels(std::uint32_t* row, const std::uint32_t* src, int count);
// A source row onto an opaque row: alpha 0 leaves the pixel, alpha 255 copies the source, and any
// other alpha gives PixelBlend::OntoOpaque.
void OntoOpaque(std::uint32_t* row, const std::uint32_t* src, int count);

}  // namespace Kit::OverRows
