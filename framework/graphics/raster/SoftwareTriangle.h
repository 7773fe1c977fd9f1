// The data the software triangle rasteriser passes between its stages: the float vertices of a
// strip (TriVertex; x, y in destination pixels, pixel centres at whole numbers), the fixed-point
// triangles handed to a span routine, and what a span routine samples.
#pragma once

#include "framework/graphics/TriVertex.h"

#include <cstdint>

namespace Kit {

// x, y in 16.16 pixels; the channels (0..255) << 16; u, v in 16.16 texels.
struct FixedVertex {
  std::int32_t mX = 0;
  std::int32_t mY = 0;
  std::int32_t mAlpha = 0;
  std::int32_t mRed = 0;
  std::int32_t mGreen = 0;
  std::int32_t mBlue = 0;
  std::int32_t mU = 0;
  std::int32_t mV = 0;
};

struct SpanTexture {
  const std::uint32_t* mBits = nullptr;
  std::int32_t mShift = 0;  // 16 - floor(log2(width))
  std::int32_t mMaxU = 0;   // (width - 1) << 16
  std::int32_t mMaxV = 0;   // (height - 1) << 16
  std::int32_t mWidth = 0;
  std::int32_t mPixelCount = 0;
  std::int32_t mHeight = 0;
};

struct SpanColor {
  std::int32_t mAlpha = 255;
  std::int32_t mRed = 255;
  std::int32_t mGreen = 255;
  std::int32_t mBlue = 255;
};

// Fills the pixels of one triangle. Every pixel it touches lies inside the bounding box of the three
// vertices, which the rasteriser has already kept inside the destination.
using SpanRoutine = void (*)(const FixedVertex (&triangle)[3], void* destBits, int destPitch,
                             const SpanTexture& texture, const SpanColor& color);

// Destination pixel-format codes of the rasteriser's callers.
inline constexpr int kFormatCode8888 = 0x8888;  // 32-bit ARGB that keeps its alpha
inline constexpr int kFormatCode888 = 0x888;    // 32-bit, alpha byte written as 255
inline constexpr int kFormatCode565 = 0x565;
inline constexpr int kFormatCode555 = 0x555;

}  // namespace Kit
