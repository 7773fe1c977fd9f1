#include "framework/graphics/d3d/D3DTestImage.h"

#include <algorithm>
#include <cstring>

#include "framework/graphics/d3d/D3DTester.h"
#include "framework/graphics/d3d/TextureFormat.h"

namespace Kit {

void D3DTestImage::Create(int width, int height) {
  Free();
  if (width <= 0 || height <= 0) return;
  mBits.resize(static_cast<std::size_t>(width) * height);
  mWidth = width;
  mHeight = height;
}

void D3DTestImage::Free() {
  mBits = {};
  mWidth = mHeight = 0;
}

void D3DTestImage::FillRect(int x, int y, int w, int h, std::uint32_t color) {
  for (int row = y; row < y + h; ++row) std::fill_n(mBits.begin() + row * mWidth + x, w, color);
}

void D3DTestImage::MakeVerticalStripes() {
  for (int row = 0; row < mHeight; ++row)
    for (int column = 0; column < mWidth; ++column)
      mBits[row * mWidth + column] = (column & 1) ? 0xFFFFFFFF : 0xFF000000;
}

int D3DTestImage::ColorDistance(std::uint32_t a, std::uint32_t b) {
  int sum = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    sum += d * d;
  }
  return sum;
}

bool D3DTestImage::CheckUniform(std::uint32_t color, int& errors, int w, int h) const {
  errors = 0;
  bool uniform = true;
  for (int row = 0; row < h; ++row)
    for (int column = 0; column < w; ++column) {
      const std::uint32_t pixel = mBits[row * mWidth + column];
      if (ColorDistance(pixel, color) > kTolerance) ++errors;
      if (pixel != mBits[0]) uniform = false;
    }
  return uniform;
}

int D3DTestImage::CountStripeErrors(int w, int h, int x, int y) const {
  int errors = 0;
  for (int row = 0; row < h; ++row)
    for (int column = 0; column < w; ++column) {
      const std::uint32_t expected = (column & 1) ? 0xFFFFFF : 0x000000;
      if (ColorDistance(mBits[(y + row) * mWidth + x + column], expected) > kTolerance) ++errors;
    }
  return errors;
}

void D3DTestImage::DrawToDevice(IDirect3DDevice7* device, IDirectDrawSurface7* texture, int x, int y, D3DCOLOR color,
                                bool asA4R4G4B4) const {
  for (int row = 0; row < mHeight; row += kBlockSize)
    for (int column = 0; column < mWidth; column += kBlockSize)
      DrawBlock(device, texture, x + column, y + row, column, row, std::min(kBlockSize, mWidth - column),
                std::min(kBlockSize, mHeight - row), color, asA4R4G4B4);
}

void D3DTestImage::DrawBlock(IDirect3DDevice7* device, IDirectDrawSurface7* texture, int x, int y, int sx, int sy,
                             int w, int h, D3DCOLOR color, bool asA4R4G4B4) const {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  D3DTester::CheckDXError(texture->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr), "Lock Texture");
  auto* texels = static_cast<BYTE*>(desc.lpSurface);
  if (w < static_cast<int>(desc.dwWidth) || h < static_cast<int>(desc.dwHeight))
    for (DWORD row = 0; row < desc.dwHeight; ++row)
      std::memset(texels + row * desc.lPitch, 0, desc.dwWidth * (asA4R4G4B4 ? 2 : 4));
  for (int row = 0; row < h; ++row) {
    const std::uint32_t* from = &mBits[(sy + row) * mWidth + sx];
    BYTE* to = texels + row * desc.lPitch;
    for (int column = 0; column < w; ++column) {
      const std::uint32_t c = from[column];
      if (asA4R4G4B4) {
        const std::uint16_t texel = ToA4R4G4B4(c);
        std::memcpy(to + column * 2, &texel, 2);
      } else {
        std::memcpy(to + column * 4, &c, 4);
      }
    }
  }
  D3DTester::CheckDXError(texture->Unlock(nullptr), "Texture Unlock");

  const float left = static_cast<float>(x) - 0.5f, top = static_cast<float>(y) - 0.5f;
  const float right = left + static_cast<float>(w), bottom = top + static_cast<float>(h);
  const float u = static_cast<float>(w) / kBlockSize, v = static_cast<float>(h) / kBlockSize;
  D3DTLVERTEX strip[4] = {{left, top, 0, 1, color, 0, 0, 0},
                          {left, bottom, 0, 1, color, 0, 0, v},
                          {right, top, 0, 1, color, 0, u, 0},
                          {right, bottom, 0, 1, color, 0, u, v}};
  D3DTester::CheckDXError(device->SetTexture(0, texture), "SetTexture theTexture");
  D3DTester::CheckDXError(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, strip, 4, D3DDP_WAIT),
                          "DrawPrimitive");
  D3DTester::CheckDXError(device->SetTexture(0, nullptr), "SetTexture NULL");
}

}  // namespace Kit
