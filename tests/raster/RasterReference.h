// A plain per-pixel model of the triangle span routines: every pixel of the destination is tested
// against the three edge functions and shaded on its own, with no scanline walking.
#pragma once

#include "framework/graphics/SoftwareTriangle.h"

#include <cstdint>

namespace rastertest {

enum class Group { ARGB = 0, RGB32 = 1, RGB565 = 2, RGB555 = 3 };

struct Features {
  bool textured = false, alpha = false, vertexColors = false, colourised = false, blend = false;
  Group group = Group::ARGB;
  static Features FromIndex(int index);
};

struct Destination {
  void* bits = nullptr;
  int pitch = 0;
  int width = 0;
  int height = 0;
};

void ReferenceTriangle(const Kit::FixedVertex (&triangle)[3], const Features& features, const Destination& dest,
                       const Kit::SpanTexture& texture, const Kit::SpanColor& color);

// The 16.16 triangle the rasteriser makes of float vertices that need no clipping.
Kit::FixedVertex ToFixed(float x, float y, float u, float v, std::uint32_t color, int textureWidth, int textureHeight);

Kit::SpanTexture DescribeTexture(const std::uint32_t* bits, int width, int height);

}  // namespace rastertest
