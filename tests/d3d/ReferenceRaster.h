// A plain per-pixel model of what the device must draw: for every pixel centre, the triangles that
// cover it by the top-left rule, barycentric colours and texture coordinates, a point or bilinear
// clamped sample, texture x diffuse, and the frame-buffer blend, quantised to the target's channel
// widths after each pixel as the target memory does.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/d3d/D3D.h"

namespace d3d_test {

struct RefTexture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> argb;
};

struct RefState {
  const RefTexture* texture = nullptr;  // null: the diffuse colour alone
  bool linear = false;
  bool blend = false;
  DWORD srcBlend = D3DBLEND_ONE, destBlend = D3DBLEND_ZERO;
};

using RefTriangle = std::array<D3DTLVERTEX, 3>;

// The colour as a target with these red, green and blue widths holds it, read back at 8 bits.
std::uint32_t Quantise(std::uint32_t argb, const std::array<int, 3>& bits);

class RefFrame {
 public:
  RefFrame(int width, int height, std::array<int, 3> bits, std::uint32_t clear);
  void Draw(const RefState& state, const std::vector<RefTriangle>& triangles);
  const std::vector<std::uint32_t>& Pixels() const { return mPixels; }

 private:
  int mWidth, mHeight;
  std::array<int, 3> mBits;
  std::vector<std::uint32_t> mPixels;
};

}  // namespace d3d_test
