// The self-test's picture: ARGB pixels that are uploaded to a texture block by block, and the copy of
// the test surface that a scene left, with the checks made on it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d/D3D.h"

namespace Kit {

class D3DTestImage {
 public:
  virtual ~D3DTestImage() = default;

  // width x height pixels of undefined contents (none unless both are positive).
  void Create(int width, int height);
  void Free();
  void FillRect(int x, int y, int w, int h, std::uint32_t color);
  // Odd columns white, even columns black.
  void MakeVerticalStripes();
  // Squared distance of the two colours' red, green and blue; alpha is ignored.
  static int ColorDistance(std::uint32_t a, std::uint32_t b);
  // Over the w x h area at the top-left corner: errors = pixels farther than the tolerance from the
  // colour; true when every pixel equals the first one.
  bool CheckUniform(std::uint32_t color, int& errors, int w, int h) const;
  // Pixels of the area at (x, y) farther than the tolerance from white (odd columns counted from the
  // area's left edge) or black (even ones).
  int CountStripeErrors(int w, int h, int x, int y) const;
  // Draws the image in 64 x 64 blocks through the texture, at (x, y) with the vertex colour. A
  // failing call throws D3DTester::TestException.
  void DrawToDevice(IDirect3DDevice7* device, IDirectDrawSurface7* texture, int x, int y, D3DCOLOR color,
                    bool asA4R4G4B4) const;

  std::vector<std::uint32_t> mBits;
  int mWidth = 0;
  int mHeight = 0;

  // The largest squared colour distance a pixel may have from the expected one.
  static constexpr int kTolerance = 768;
  static constexpr int kBlockSize = 64;

 private:
  void DrawBlock(IDirect3DDevice7* device, IDirectDrawSurface7* texture, int x, int y, int sx, int sy, int w, int h,
                 D3DCOLOR color, bool asA4R4G4B4) const;
};

}  // namespace Kit
