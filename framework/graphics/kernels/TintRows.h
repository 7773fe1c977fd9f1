// Row kernels of the tinted (colourised) alpha blits: each gives exactly the per-pixel formula of the
// routine it serves, with SSE2 (and AVX2 where the processor has it) on four (eight) pixels at a time.
#pragma once

#include <cstdint>

namespace Kit::TintRows {

// A colour of premultiplied channels (r, g, b: channel x alpha / 255) and its alpha, all 0..255.
struct Tint {
  std::uint32_t r, g, b, a;
};

// The two surface routines differ in which words they leave out and in the weight of an opaque one.
enum class Mode {
  kBlit,     // a word of alpha 0 is left out; ia = 256 - a x tint.a / 255, or 0 for a = tint.a = 255
  kStretch,  // a word whose a x tint.a / 255 is 0 is left out; ia = 256 - a x tint.a / 255
};

// Premultiplied native words onto a surface whose fields are the bytes of 0x00RRGGBB: each field
// becomes ((d x ia + s x c) >> 8) AND 0xFF, and the top byte 0 (a is the word's alpha).
void OntoSurface888(std::uint32_t* d, const std::uint32_t* s, int count, const Tint& tint, Mode mode);

// The same onto 5-6-5 and 5-5-5 pixels from native words whose low 16 bits hold the format's fields:
// each field f becomes ((d_f x ia + s_f x c) >> 8) AND its largest value (and a drawn 5-5-5 pixel's top
// bit 0).
void OntoSurface565(std::uint16_t* d, const std::uint32_t* s, int count, const Tint& tint, Mode mode);
void OntoSurface555(std::uint16_t* d, const std::uint32_t* s, int count, const Tint& tint, Mode mode);

// PixelBlend::OverColored of ARGB source pixels onto a memory image's row, the source alpha first
// multiplied by the tint's (Div255); a pixel whose weight comes to 0 is left. tint holds the plain
// (not premultiplied) colour channels.
void OverColored(std::uint32_t* row, const std::uint32_t* src, int count, const Tint& tint);

}  // namespace Kit::TintRows
