// The per-pixel formulas of the software drawing routines on 32-bit ARGB words.
#pragma once

#include <algorithm>
#include <cstdint>

namespace Kit::PixelBlend {

constexpr int Clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// x / 255 for 0 <= x <= 65025 by multiply and shift (the high word of x * 0x80808081, plus x, >> 7),
// exactly the integer quotient.
constexpr std::uint32_t Div255(std::uint32_t x) {
  const std::int64_t product = static_cast<std::int64_t>(static_cast<std::int32_t>(x)) *
                               static_cast<std::int64_t>(static_cast<std::int32_t>(0x80808081u));
  const std::int32_t high = static_cast<std::int32_t>(product >> 32) + static_cast<std::int32_t>(x);
  const std::int32_t q = high >> 7;
  return static_cast<std::uint32_t>(q + static_cast<std::int32_t>(static_cast<std::uint32_t>(q) >> 31));
}

// Red and blue, then green, each scaled by f / 256 on their own bits; f <= 256 keeps the channels
// from running into each other.
constexpr std::uint32_t ScaleRB(std::uint32_t pixel, std::uint32_t f) {
  return (((pixel & 0xFF00FF) * f) >> 8) & 0xFF00FF;
}
constexpr std::uint32_t ScaleG(std::uint32_t pixel, std::uint32_t f) { return (((pixel & 0xFF00) * f) >> 8) & 0xFF00; }

// The over-blend weight for source alpha sa > 0 over destination alpha da: the resulting alpha, and
// the source weight f = sa x 255 / outA (0..255).
struct OverWeight {
  std::uint32_t outA;
  std::uint32_t f;
};
constexpr OverWeight ComputeOverWeight(std::uint32_t sa, std::uint32_t da) {
  if (da == 255) return {255, sa};  // the common case, and the formula's own result for it
  const std::uint32_t outA = da + Div255((255 - da) * sa);
  return {outA, sa * 255 / outA};
}

// Source alpha sa (1..255) over dst; the source's own alpha byte is ignored.
constexpr std::uint32_t Over(std::uint32_t dst, std::uint32_t src, std::uint32_t sa) {
  const OverWeight w = ComputeOverWeight(sa, dst >> 24);
  const std::uint32_t rest = 256 - w.f;
  return (w.outA << 24) | (ScaleRB(src, w.f) + ScaleRB(dst, rest)) | (ScaleG(src, w.f) + ScaleG(dst, rest));
}

// The same with each source channel also multiplied by a colour channel (0..255): channel x f x c >> 16.
constexpr std::uint32_t OverColored(std::uint32_t dst, std::uint32_t src, std::uint32_t sa, std::uint32_t cr,
                                    std::uint32_t cg, std::uint32_t cb) {
  const OverWeight w = ComputeOverWeight(sa, dst >> 24);
  const std::uint32_t rest = 256 - w.f;
  const std::uint32_t r = ((((src >> 16) & 0xFF) * w.f * cr) >> 16) + ((((dst >> 16) & 0xFF) * rest) >> 8);
  const std::uint32_t g = ((((src >> 8) & 0xFF) * w.f * cg) >> 16) + ((((dst >> 8) & 0xFF) * rest) >> 8);
  const std::uint32_t b = (((src & 0xFF) * w.f * cb) >> 16) + (((dst & 0xFF) * rest) >> 8);
  return (w.outA << 24) | (r << 16) | (g << 8) | b;
}

// Onto an opaque destination: (dst x (256 - a) >> 8) + (src x a >> 8) per channel, alpha 255.
constexpr std::uint32_t OntoOpaque(std::uint32_t dst, std::uint32_t src, std::uint32_t a) {
  const std::uint32_t rest = 256 - a;
  return 0xFF000000u | (ScaleRB(src, a) + ScaleRB(dst, rest)) | (ScaleG(src, a) + ScaleG(dst, rest));
}

}  // namespace Kit::PixelBlend
