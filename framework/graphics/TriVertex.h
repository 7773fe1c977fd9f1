#pragma once

#include <cstdint>

namespace Kit {

// A vertex of a software-drawn textured triangle: position, texture coordinates (0..1 over the
// texture) and an ARGB vertex colour.
struct TriVertex {
  float mX = 0;
  float mY = 0;
  float mU = 0;
  float mV = 0;
  std::uint32_t mColor = 0xFFFFFFFF;
};

}  // namespace Kit
