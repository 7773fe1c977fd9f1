// The device where the display's 3D path cannot reach it: triangles far beyond the target, texture
// coordinates past the texture's edges, and the viewport kept while the same target is set again.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/ddraw/DisplaySettings.h"
#include "tests/support/ArgbReadback.h"
#include "tests/support/ScreenFormats.h"
#include "tests/support/SoftwareDevice.h"

namespace {

constexpr int kSize = 16;

D3DTLVERTEX Vertex(float x, float y, D3DCOLOR color, float u = 0, float v = 0) {
  return {x, y, 0.0f, 1.0f, color, 0, u, v};
}

class DeviceTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(mD3D.device, nullptr);
    SetState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  }
  void SetState(D3DRENDERSTATETYPE state, DWORD value) { EXPECT_EQ(mD3D.device->SetRenderState(state, value), D3D_OK); }
  void SetStageState(D3DTEXTURESTAGESTATETYPE state, DWORD value) {
    EXPECT_EQ(mD3D.device->SetTextureStageState(0, state, value), D3D_OK);
  }
  // Clears the target to black, draws the vertices in one scene and reads the target as 0xFFRRGGBB.
  std::vector<std::uint32_t> Draw(D3DPRIMITIVETYPE type, std::vector<D3DTLVERTEX> vertices) {
    IDirect3DDevice7* device = mD3D.device.get();
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(type, D3DFVF_TLVERTEX, vertices.data(), static_cast<DWORD>(vertices.size()), 0),
              D3D_OK);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    if (mD3D.target->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return {};
    auto pixels = testsupport::ReadArgb(desc.lpSurface, desc.lPitch, kSize, kSize, desc.ddpfPixelFormat);
    mD3D.target->Unlock(nullptr);
    return pixels;
  }

  std::unique_ptr<plat::ScopedDisplaySettings> mDesktop = testsupport::UseTestDesktop(plat::DesktopFormat::Xrgb8888);
  testsupport::SoftwareDevice mD3D{kSize, kSize};
};

// Clipped to the guard band, the pieces still cover every pixel once: twice would add up to 0x40.
TEST_F(DeviceTest, ATriangleFarBeyondTheTargetCoversEveryPixelOnce) {
  SetState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  SetState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
  SetState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
  const D3DCOLOR grey = 0xFF202020;
  EXPECT_EQ(
      Draw(D3DPT_TRIANGLELIST, {Vertex(-3e38f, -3e38f, grey), Vertex(3e38f, -3e38f, grey), Vertex(0, 3e38f, grey)}),
      std::vector<std::uint32_t>(kSize * kSize, grey));
}

// Clamped addressing: the texture coordinates run from -1 to 2 across the target, so each corner of the
// target shows the texture's corner texel, point-sampled or filtered.
TEST_F(DeviceTest, TextureCoordinatesPastTheEdgesTakeTheEdgeTexels) {
  const DDPIXELFORMAT argb{sizeof(argb), DDPF_RGB | DDPF_ALPHAPIXELS, 0, {32}, {0xFF0000}, {0xFF00}, {0xFF},
                           {0xFF000000}};
  const auto texture = mD3D.CreateSurface(2, 2, DDSCAPS_TEXTURE, &argb);
  const std::uint32_t texels[2][2] = {{0xFFFF0000, 0xFF00FF00}, {0xFF0000FF, 0xFFFFFFFF}};
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(texture->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  for (int y = 0; y < 2; ++y) std::memcpy(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch, texels[y], 8);
  texture->Unlock(nullptr);
  ASSERT_EQ(mD3D.device->SetTexture(0, texture.get()), D3D_OK);
  SetStageState(D3DTSS_ADDRESS, D3DTADDRESS_CLAMP);
  const float edge = kSize - 0.5f;
  for (const bool linear : {false, true}) {
    SCOPED_TRACE(linear ? "bilinear" : "point");
    SetStageState(D3DTSS_MAGFILTER, linear ? D3DTFG_LINEAR : D3DTFG_POINT);
    SetStageState(D3DTSS_MINFILTER, linear ? D3DTFN_LINEAR : D3DTFN_POINT);
    const auto pixels =
        Draw(D3DPT_TRIANGLESTRIP, {Vertex(-0.5f, -0.5f, 0xFFFFFFFF, -1, -1), Vertex(-0.5f, edge, 0xFFFFFFFF, -1, 2),
                                   Vertex(edge, -0.5f, 0xFFFFFFFF, 2, -1), Vertex(edge, edge, 0xFFFFFFFF, 2, 2)});
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(kSize * kSize));
    EXPECT_EQ(pixels[0], texels[0][0]);
    EXPECT_EQ(pixels[kSize - 1], texels[0][1]);
    EXPECT_EQ(pixels[kSize * (kSize - 1)], texels[1][0]);
    EXPECT_EQ(pixels[kSize * kSize - 1], texels[1][1]);
  }
}

// The display sets its target again at every scene and its viewport only when the window changes.
TEST_F(DeviceTest, KeepsTheViewportForItsTargetAndTakesAllOfANewOne) {
  D3DVIEWPORT7 part{2, 3, 5, 6, 0.0f, 1.0f}, now{};
  ASSERT_EQ(mD3D.device->SetViewport(&part), D3D_OK);
  ASSERT_EQ(mD3D.device->SetRenderTarget(mD3D.target.get(), 0), D3D_OK);
  ASSERT_EQ(mD3D.device->GetViewport(&now), D3D_OK);
  EXPECT_EQ(std::memcmp(&now, &part, sizeof(now)), 0);
  const auto larger = mD3D.CreateSurface(40, 30, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
  ASSERT_EQ(mD3D.device->SetRenderTarget(larger.get(), 0), D3D_OK);
  ASSERT_EQ(mD3D.device->GetViewport(&now), D3D_OK);
  EXPECT_EQ(now.dwX + now.dwY, 0u);
  EXPECT_EQ(now.dwWidth, 40u);
  EXPECT_EQ(now.dwHeight, 30u);
}

}  // namespace
