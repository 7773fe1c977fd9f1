// The display's hardware self-test run against the device as the display runs it: a 100 x 100 render
// target, one 64 x 64 texture rewritten between the two draws of each scene, the four blend scenes and
// the clip scene in order on one device, each read back within the self-test's tolerance.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tests/d3d/D3DFixture.h"

namespace d3d_test {
namespace {

constexpr int kTarget = 100, kBlock = 64;
constexpr int kTolerance = 768;  // squared colour distance the self-test accepts

struct BlendScene {
  const char* name;
  DWORD src, dest;
  bool modulateAlpha;
  std::uint32_t fill1, color1, fill2, color2, expected;
};

const BlendScene kScenes[] = {
    {"Alpha", D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, false, 0xFF0000FF, 0xFFFFFFFF, 0x80FF0000, 0xFFFFFFFF, 0x7F007F},
    {"Additive", D3DBLEND_ONE, D3DBLEND_ONE, false, 0xFF404040, 0xFFFFFFFF, 0xFF404040, 0xFFFFFFFF, 0x808080},
    {"AlphaAdd", D3DBLEND_SRCALPHA, D3DBLEND_ONE, false, 0xFF404040, 0xFFFFFFFF, 0x80808080, 0xFFFFFFFF, 0x808080},
    {"AlphaModulated", D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, true, 0xFF0000FF, 0xFFFFFFFF, 0xFFFF0000, 0x80FFFFFF,
     0x7F007F},
};

int Distance(std::uint32_t a, std::uint32_t b) {
  int sum = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    sum += d * d;
  }
  return sum;
}

class SelfTestSceneTest : public D3DTest {
 protected:
  void SetUp() override {
    D3DTest::SetUp();
    mTest = CreateSurface(kTarget, kTarget, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    const DDPIXELFORMAT argb = PixelFormatOf(TexelFormat::A8R8G8B8);
    mTexture = CreateSurface(kBlock, kBlock, DDSCAPS_TEXTURE, &argb);
    IDirect3DDevice7* device = nullptr;
    ASSERT_EQ(mD3D->CreateDevice(IID_IDirect3DHALDevice, mTest.get(), &device), D3D_OK);
    mTestDevice.reset(device);
  }

  // Uploads the picture (kBlock x kBlock, by column and row) and draws it at (x, y) with the colour.
  void DrawBlock(const std::function<std::uint32_t(int, int)>& picture, float x, float y, D3DCOLOR color) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(mTexture->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr), DD_OK);
    for (int row = 0; row < kBlock; ++row)
      for (int column = 0; column < kBlock; ++column) {
        const std::uint32_t c = picture(column, row);
        std::memcpy(static_cast<BYTE*>(desc.lpSurface) + row * desc.lPitch + column * 4, &c, 4);
      }
    ASSERT_EQ(mTexture->Unlock(nullptr), DD_OK);
    auto strip = SpriteStrip(x, y, kBlock, kBlock, color);
    ASSERT_EQ(mTestDevice->SetTexture(0, mTexture.get()), D3D_OK);
    ASSERT_EQ(mTestDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, strip.data(), 4, D3DDP_WAIT), D3D_OK);
    ASSERT_EQ(mTestDevice->SetTexture(0, nullptr), D3D_OK);
  }

  void BeginScene(DWORD src, DWORD dest) {
    ASSERT_EQ(mTestDevice->BeginScene(), D3D_OK);
    ASSERT_EQ(mTestDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
    for (auto [state, value] :
         {std::pair{D3DRENDERSTATE_ALPHABLENDENABLE, DWORD{TRUE}}, std::pair{D3DRENDERSTATE_SRCBLEND, src},
          std::pair{D3DRENDERSTATE_DESTBLEND, dest}, std::pair{D3DRENDERSTATE_CULLMODE, DWORD{D3DCULL_NONE}}})
      ASSERT_EQ(mTestDevice->SetRenderState(state, value), D3D_OK);
  }

  Com<IDirectDrawSurface7> mTest, mTexture;
  Com<IDirect3DDevice7> mTestDevice;
};

TEST_P(SelfTestSceneTest, EveryScenePassesInTurn) {
  for (const BlendScene& scene : kScenes) {
    SCOPED_TRACE(scene.name);
    BeginScene(scene.src, scene.dest);
    if (scene.modulateAlpha) {
      ASSERT_EQ(mTestDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE), D3D_OK);
    }
    DrawBlock([&](int, int) { return scene.fill1; }, 0, 0, scene.color1);
    DrawBlock([&](int, int) { return scene.fill2; }, 0, 0, scene.color2);
    ASSERT_EQ(mTestDevice->EndScene(), D3D_OK);
    const auto pixels = Read(mTest.get());
    int errors = 0;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) {
        const std::uint32_t pixel = pixels[static_cast<size_t>(y * kTarget + x)];
        errors += Distance(pixel, scene.expected) > kTolerance;
        EXPECT_EQ(pixel, pixels[0]) << "not uniform at " << x << "," << y;
      }
    EXPECT_EQ(errors, 0);
  }

  // The clip scene: vertical stripes drawn two pixels up and left of the target's corner.
  BeginScene(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
  DrawBlock([](int column, int) { return column % 2 ? 0xFFFFFFFFu : 0xFF000000u; }, -2, -2, 0xFFFFFFFF);
  ASSERT_EQ(mTestDevice->EndScene(), D3D_OK);
  const auto pixels = Read(mTest.get());
  int stripeErrors = 0;
  for (int y = 0; y < 62; ++y)
    for (int x = 0; x < 62; ++x)
      stripeErrors += Distance(pixels[static_cast<size_t>(y * kTarget + x)], x % 2 ? 0xFFFFFF : 0) > kTolerance;
  EXPECT_EQ(stripeErrors, 0);
}

INSTANTIATE_TEST_SUITE_P(Roads, SelfTestSceneTest, testing::ValuesIn(testsupport::kScreenFormats),
                         testsupport::ScreenFormatName);

}  // namespace
}  // namespace d3d_test
