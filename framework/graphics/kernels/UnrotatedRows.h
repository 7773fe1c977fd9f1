// Row kernels of the rotated blit at angle 0, normal mode, uncoloured. At a whole-pixel position each
// destination pixel takes one source pixel at weight w = alpha - 1 (0 when transparent), and each field
// becomes c x w >> (8 + the bits the field drops) plus the destination field's d x (256 - w) >> 8, onto
// 8-8-8, 5-6-5 and 5-5-5 surfaces (and by the memory image's own formula onto memory images). The first part
// depends on the source pixel alone: the kernels read it from the source's weighted words
// (MemoryImage::GetWeightedWords), so that what is left per pixel is the alpha blit's one product per
// field. At a sub-pixel position the four neighbours weigh the draw's constant fractions.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Kit::UnrotatedRows {

enum class Layout : std::uint8_t {
  // w in the top byte, c x w >> 8 in the bytes of 0x00RRGGBB. An 8-8-8 field's alpha byte comes out 0.
  k888,
  // The weighted fields in the low 16 bits as 5-6-5, w in the top byte, where w = 254 is stored as 255:
  // d x 2 >> 8 of a 5- or 6-bit field is 0, as d x 1 >> 8 is, so an opaque pixel is a copy.
  k565,
  // The same as 5-5-5, the low word's top bit 0.
  k555,
  // For memory images: two planes of one word a pixel, the second after the first (see OntoImage).
  kImage,
};
constexpr int kLayouts = 4;
constexpr int WordsPerPixel(Layout layout) { return layout == Layout::kImage ? 2 : 1; }

// The weighted words of count ARGB pixels: WordsPerPixel(layout) planes of count words.
void Weigh(const std::uint32_t* argb, std::size_t count, Layout layout, std::uint32_t* words);

// Draws `rows` rows of `count` pixels (d and words advance by their pitches in pixels a row). Every
// pixel matches the per-pixel formula; used at Simd level SSE2 and up only.
void Onto888(std::uint32_t* d, std::ptrdiff_t dPitch, const std::uint32_t* words, std::ptrdiff_t wordPitch, int count,
             int rows);
void Onto565(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* words, std::ptrdiff_t wordPitch, int count,
             int rows);
// Onto 5-5-5 pixels from k555 words: every pixel's top bit comes out 0, a transparent one's too (the
// formula drops it wherever it draws).
void Onto555(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* words, std::ptrdiff_t wordPitch, int count,
             int rows);

// The same angle 0 at a sub-pixel position onto 5-6-5 pixels: pixel i of a row takes the source row's
// pixels i and i + 1 and the next row's, each weighing w = k[t] x alpha >> 16 (t in that order); each
// field becomes the sum of c x w >> (8 + the bits it drops) plus d x (256 - their weights) >> 8. s is
// the source at the first pixel's top-left neighbour; the row to its right and the row below must be
// there too.
void FourTap565(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* s, std::ptrdiff_t sPitch, int count,
                int rows, const std::uint32_t (&k)[4]);
// The same onto 5-5-5 pixels, each pixel's top bit 0 afterwards.
void FourTap555(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* s, std::ptrdiff_t sPitch, int count,
                int rows, const std::uint32_t (&k)[4]);
// The same onto 8-8-8 pixels: each field the sum of c x w >> 8 plus d x (256 - their weights) >> 8, the
// alpha byte 0. Rows of at least 4 pixels only.
void FourTap888(std::uint32_t* d, std::ptrdiff_t dPitch, const std::uint32_t* s, std::ptrdiff_t sPitch, int count,
                int rows, const std::uint32_t (&k)[4]);

// The same draw onto a memory image, whose formula weighs the pixel by coverage 256a / 255: a pixel
// of alpha 0 is left, one of 251 and up becomes its sample S = 256ac / 255 >> 8 (the pixel itself at
// 255), any other mixes over an opaque destination as ((d x 255 >> 8)(256 - a) + S) >> 8. The kImage
// words hold S per field and rest = 256 - a (0 from 251, 256 at alpha 0): S of blue and red in the
// 16-bit halves of the first plane's word, S of green and rest in the second's; each field becomes
// ((d less 1 unless rest is 256) x rest + S) >> 8 of the opaque destination. pixel(d, s) gives the
// formula for one pixel of the ARGB source rows s, used where the destination is not opaque; runs is
// the source's alpha run table (MemoryImage::GetRLAlphaData) at s; the planes' rows and s advance by
// sPitch pixels.
using PixelRule = std::uint32_t (*)(std::uint32_t dst, std::uint32_t src);
void OntoImage(std::uint32_t* d, std::ptrdiff_t dPitch, const std::uint32_t* blueRed, const std::uint32_t* greenRest,
               const std::uint32_t* s, const std::uint8_t* runs, std::ptrdiff_t sPitch, int count, int rows,
               PixelRule pixel);

}  // namespace Kit::UnrotatedRows
