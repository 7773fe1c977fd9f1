// Row kernels of the alpha OVER blend, onto 32-bit and 5-6-5 surfaces and onto memory images. Each
// gives exactly the per-pixel formula of the routine it serves, with SSE2 (and AVX2 where the
// processor has it) on several pixels at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Kit::OverRows {

// A rectangle of source words over destination pixels: row j of the source starts at s + j x
// sStride, of the destination at d + j x dStride. runs is the source's alpha run table,
// laid out as the words, by which a row's leading transparent run is stepped over at once.
template <typename Pixel>
struct Rows {
  Pixel* d;
  std::ptrdiff_t dStride;
  const std::uint32_t* s;
  const std::uint8_t* runs;
  std::ptrdiff_t sStride;
  int width;
  int height;

  Pixel* Dest(int j) const { return d + dStride * j; }
  const std::uint32_t* Source(int j) const { return s + sStride * j; }
  // The first pixel of row j that is not in its leading transparent run.
  int FirstDrawn(int j) const {
    const int run = runs[sStride * j];
    return (Source(j)[0] >> 24) != 0 ? 0 : run < width ? run : width;
  }
};

// Premultiplied native words onto a surface whose fields are the bytes of 0x00RRGGBB: each field of
// d becomes (d x (256 - a) >> 8) plus the source's, and the source's alpha byte lands above them;
// a word of alpha 0 leaves its pixel.
void OntoSurface888(std::uint32_t* d, const std::uint32_t* s, int count);
// The same onto 5-6-5 pixels from native words whose low 16 bits are 5-6-5: each field of d becomes
// (d x (256 - a) >> 8), and the word's low 16 bits are added; alpha 0 leaves the pixel. And onto 5-5-5
// pixels from 5-5-5 words (the pixel's top bit is dropped where a word is drawn, as the fields' sum drops it).
void OntoSurface565(std::uint16_t* d, const std::uint32_t* s, int count);
void OntoSurface555(std::uint16_t* d, const std::uint32_t* s, int count);
// The same over every row of a rectangle.
void OntoSurface888(const Rows<std::uint32_t>& rows);
void OntoSurface565(const Rows<std::uint16_t>& rows);
void OntoSurface555(const Rows<std::uint16_t>& rows);

// PixelBlend::Over of each ARGB source pixel with its own alpha onto a memory image's row (alpha 0
// leaves the pixel).
void OverPixels(std::uint32_t* row, const std::uint32_t* src, int count);
// A source row onto an opaque row: alpha 0 leaves the pixel, alpha 255 copies the source, and any
// other alpha gives PixelBlend::OntoOpaque.
void OntoOpaque(std::uint32_t* row, const std::uint32_t* src, int count);
void OntoOpaque(const Rows<std::uint32_t>& rows);

}  // namespace Kit::OverRows
