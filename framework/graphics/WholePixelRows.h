// Row kernels of the rotated blit where it is a plain blit: angle 0 at a whole-pixel position, normal
// mode, uncoloured, onto 8-8-8 and 5-6-5 surfaces and onto memory images. Each destination pixel then takes one source pixel
// at weight w = alpha - 1 (0 when transparent), and each field becomes c x w >> (8 + the bits the
// field drops) plus the destination field's d x (256 - w) >> 8. The first part depends on the source
// pixel alone: the kernels read it from the source's weighted words (MemoryImage::GetWeightedWords),
// so that what is left per pixel is the alpha blit's one product per field.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Kit::WholePixelRows {

enum class Layout : std::uint8_t {
  kNone,
  // w in the top byte, c x w >> 8 in the bytes of 0x00RRGGBB. An 8-8-8 field's alpha byte comes out 0.
  k888,
  // The weighted fields in the low 16 bits as 5-6-5, w in the top byte, where w = 254 is stored as 255:
  // d x 2 >> 8 of a 5- or 6-bit field is 0, as d x 1 >> 8 is, so an opaque pixel is a copy.
  k565,
};

// The weighted word of an ARGB pixel.
std::uint32_t Weigh(std::uint32_t argb, Layout layout);

// Draws `rows` rows of `count` pixels (d and words advance by their pitches in pixels a row). Every
// pixel matches the per-pixel formula; used at Simd level SSE2 and up only.
void Onto888(std::uint32_t* d, std::ptrdiff_t dPitch, const std::uint32_t* words, std::ptrdiff_t wordPitch, int count,
             int rows);
void Onto565(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* words, std::ptrdiff_t wordPitch, int count,
             int rows);

// The same draw onto a memory image, whose formula weighs the pixel alpha x 256 / 255 and mixes over
// an opaque destination in one division: rows of ARGB source pixels s. pixel(d, s) gives the formula
// for one pixel, used where a blended pixel's destination is not opaque.
using PixelRule = std::uint32_t (*)(std::uint32_t dst, std::uint32_t src);
void OntoImage(std::uint32_t* d, std::ptrdiff_t dPitch, const std::uint32_t* s, std::ptrdiff_t sPitch, int count,
               int rows, PixelRule pixel);

}  // namespace Kit::WholePixelRows
