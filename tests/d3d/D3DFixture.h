// Shared set-up of the Direct3D tests: DirectDraw on a desktop of the format under test, its Direct3D
// object, a small render target of that format and the HAL device on it, with helpers for textures,
// drawing and reading pixels back as 0xFFRRGGBB.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "platform/d3d/D3D.h"
#include "platform/ddraw/DisplaySettings.h"
#include "tests/support/ComPtr.h"
#include "tests/support/ScreenFormats.h"

namespace d3d_test {

using testsupport::Com;
using testsupport::RefCount;

D3DTLVERTEX Vertex(float x, float y, D3DCOLOR color = 0xFFFFFFFF, float u = 0, float v = 0);
// The quad of a sprite: corners (x - 0.5, y - 0.5) and (x - 0.5 + w, y - 0.5 + h) in strip order,
// texture coordinates 0..u1 and 0..v1.
std::vector<D3DTLVERTEX> SpriteStrip(float x, float y, float w, float h, D3DCOLOR color = 0xFFFFFFFF, float u1 = 1,
                                     float v1 = 1);

// A device on a kSize x kSize target of the desktop format FormatUnderTest names.
class D3DBase : public testing::Test {
 protected:
  static constexpr int kSize = 16;

  virtual plat::DesktopFormat FormatUnderTest() const = 0;
  void SetUp() override;
  void TearDown() override;

  Com<IDirectDrawSurface7> CreateSurface(DWORD width, DWORD height, DWORD caps, const DDPIXELFORMAT* format = nullptr);
  // A managed A8R8G8B8 texture holding the colours (row after row, width x height).
  Com<IDirectDrawSurface7> CreateTexture(int width, int height, const std::vector<std::uint32_t>& argb);
  // Clears the target and draws the vertices in one scene; the result of DrawPrimitive.
  HRESULT DrawScene(D3DPRIMITIVETYPE type, const std::vector<D3DTLVERTEX>& vertices, D3DCOLOR clear = 0xFF000000);
  HRESULT Draw(D3DPRIMITIVETYPE type, const std::vector<D3DTLVERTEX>& vertices);
  std::vector<std::uint32_t> Read(IDirectDrawSurface7* surface) const;
  std::vector<std::uint32_t> ReadTarget() const { return Read(mTarget.get()); }
  // The bits per channel of the target: {red, green, blue}.
  std::array<int, 3> ChannelBits() const;
  void SetStates(std::initializer_list<std::pair<D3DRENDERSTATETYPE, DWORD>> states);
  void SetStageStates(std::initializer_list<std::pair<D3DTEXTURESTAGESTATETYPE, DWORD>> states);

  std::unique_ptr<plat::ScopedDisplaySettings> mSettings;
  Com<IDirectDraw7> mDD;
  Com<IDirect3D7> mD3D;
  Com<IDirectDrawSurface7> mTarget;
  Com<IDirect3DDevice7> mDevice;
};

class D3DTest : public D3DBase, public testing::WithParamInterface<testsupport::ScreenFormat> {
 protected:
  plat::DesktopFormat FormatUnderTest() const override { return GetParam().format; }
};

}  // namespace d3d_test
