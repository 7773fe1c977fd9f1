// The device below what the display's 3D path shows of it: reference counts, the switch that takes
// Direct3D away, the adapter identity, the viewport, a failed draw and refused calls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "platform/d3d/D3DHooks.h"
#include "tests/d3d/D3DFixture.h"
#include "tests/support/DirectDrawObject.h"

namespace d3d_test {
namespace {

using testsupport::kScreenFormats;
using testsupport::ScreenFormatName;

class DeviceTest : public D3DTest {};

GUID AdapterGuid(IDirectDraw7* dd) {
  DDDEVICEIDENTIFIER2 id{};
  EXPECT_EQ(dd->GetDeviceIdentifier(&id, 0), DD_OK);
  return id.guidDeviceIdentifier;
}

TEST_P(DeviceTest, CountsReferencesOnEveryObjectItHolds) {
  const ULONG dd = RefCount(mDD.get()), d3d = RefCount(mD3D.get()), target = RefCount(mTarget.get());
  auto texture = CreateTexture(2, 2, {0, 0, 0, 0});
  const ULONG textureRefs = RefCount(texture.get());

  void* again = nullptr;
  ASSERT_EQ(mDD->QueryInterface(IID_IDirect3D7, &again), S_OK);
  EXPECT_EQ(RefCount(mDD.get()), dd + 1);
  EXPECT_EQ(static_cast<IDirect3D7*>(again)->Release(), 0u);
  EXPECT_EQ(RefCount(mDD.get()), dd);

  IDirect3DDevice7* second = nullptr;
  ASSERT_EQ(mD3D->CreateDevice(IID_IDirect3DHALDevice, mTarget.get(), &second), D3D_OK);
  EXPECT_EQ(RefCount(mD3D.get()), d3d + 1);
  EXPECT_EQ(RefCount(mTarget.get()), target + 1);
  ASSERT_EQ(second->SetTexture(0, texture.get()), D3D_OK);
  EXPECT_EQ(RefCount(texture.get()), textureRefs + 1);
  IDirectDrawSurface7* held = nullptr;
  ASSERT_EQ(second->GetRenderTarget(&held), D3D_OK);
  EXPECT_EQ(held, mTarget.get());
  EXPECT_EQ(RefCount(mTarget.get()), target + 2);
  held->Release();
  EXPECT_EQ(second->AddRef(), 2u);
  EXPECT_EQ(second->Release(), 1u);
  EXPECT_EQ(second->Release(), 0u);
  EXPECT_EQ(RefCount(mD3D.get()), d3d);
  EXPECT_EQ(RefCount(mTarget.get()), target);
  EXPECT_EQ(RefCount(texture.get()), textureRefs);
}

struct SwitchCase {
  const char* name;
  const char* environment;  // nullptr: unset
  std::optional<bool> hook;
  bool offered;
};

const SwitchCase kSwitches[] = {
    {"Default", nullptr, std::nullopt, true},
    {"EnvironmentOff", "off", std::nullopt, false},
    {"EnvironmentZero", "0", std::nullopt, false},
    {"EnvironmentOn", "1", std::nullopt, true},
    {"HookOff", nullptr, false, false},
    {"HookOverridesEnvironment", "0", true, true},
};

class SwitchTest : public testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchTest, TurnsTheDeviceOnOrOffWithItsAdapterIdentity) {
  const SwitchCase& c = GetParam();
  plat::ScopedD3DHooks hooks;
  const auto settings = testsupport::UseTestDesktop(plat::DesktopFormat::Xrgb8888);
  Com<IDirectDraw7> dd(testsupport::CreateDirectDraw7());
  const GUID onGuid = AdapterGuid(dd.get());
  if (c.environment) setenv("KIT_D3D", c.environment, 1);
  plat::SetDirect3DEnabled(c.hook);
  void* d3d = reinterpret_cast<void*>(1);
  EXPECT_EQ(dd->QueryInterface(IID_IDirect3D7, &d3d), c.offered ? S_OK : E_NOINTERFACE);
  EXPECT_EQ(d3d != nullptr, c.offered);
  EXPECT_EQ(AdapterGuid(dd.get()) == onGuid, c.offered);
  if (d3d) static_cast<IDirect3D7*>(d3d)->Release();
  unsetenv("KIT_D3D");
}

INSTANTIATE_TEST_SUITE_P(Switches, SwitchTest, testing::ValuesIn(kSwitches),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(DeviceTest, KeepsTheViewportForItsTargetAndTakesAllOfANewOne) {
  D3DVIEWPORT7 part{2, 3, 5, 6, 0.0f, 1.0f}, now{};
  ASSERT_EQ(mDevice->SetViewport(&part), D3D_OK);
  ASSERT_EQ(mDevice->SetRenderTarget(mTarget.get(), 0), D3D_OK);
  ASSERT_EQ(mDevice->GetViewport(&now), D3D_OK);
  EXPECT_EQ(std::memcmp(&now, &part, sizeof(now)), 0);
  auto larger = CreateSurface(40, 30, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
  ASSERT_EQ(mDevice->SetRenderTarget(larger.get(), 0), D3D_OK);
  ASSERT_EQ(mDevice->GetViewport(&now), D3D_OK);
  EXPECT_EQ(now.dwX + now.dwY, 0u);
  EXPECT_EQ(now.dwWidth, 40u);
  EXPECT_EQ(now.dwHeight, 30u);
}

TEST_P(DeviceTest, AFailedDrawLeavesTheTargetAsItWas) {
  plat::ScopedD3DHooks hooks;
  plat::InjectD3DFault("DrawPrimitive", DDERR_SURFACELOST);
  EXPECT_EQ(DrawScene(D3DPT_TRIANGLESTRIP, SpriteStrip(0, 0, kSize, kSize)), DDERR_SURFACELOST);
  EXPECT_EQ(ReadTarget(), std::vector<std::uint32_t>(kSize * kSize, 0xFF000000));
}

// ---- Calls the device refuses ----

class RefusalTest;

struct Refusal {
  const char* name;
  HRESULT expected;
  std::function<HRESULT(RefusalTest&)> call;
};

class RefusalTest : public D3DBase, public testing::WithParamInterface<Refusal> {
 public:
  plat::DesktopFormat FormatUnderTest() const override { return plat::DesktopFormat::Rgb565; }
  // Draws a quad inside a scene with the vertex format and primitive type.
  HRESULT DrawInScene(D3DPRIMITIVETYPE type, DWORD vertexFormat = D3DFVF_TLVERTEX) {
    auto quad = SpriteStrip(1, 1, 4, 4);
    mDevice->BeginScene();
    const HRESULT hr = mDevice->DrawPrimitive(type, vertexFormat, quad.data(), 4, 0);
    mDevice->EndScene();
    return hr;
  }
  IDirect3DDevice7* device() { return mDevice.get(); }
  Com<IDirectDrawSurface7> Plain(DWORD caps) { return CreateSurface(8, 8, caps); }
  IDirect3D7* d3d() { return mD3D.get(); }
  IDirectDrawSurface7* target() { return mTarget.get(); }
  // Another program takes the display: the target's next lock finds it lost.
  void LoseTarget() {
    plat::FailNextWithSurfaceLost();
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    EXPECT_EQ(mTarget->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
  }
};

TEST_P(RefusalTest, RefusesWithTheResultADriverGives) { EXPECT_EQ(GetParam().call(*this), GetParam().expected); }

const Refusal kRefusals[] = {
    {"DrawOutsideAScene", D3DERR_SCENE_NOT_IN_SCENE,
     [](RefusalTest& t) {
       auto quad = SpriteStrip(1, 1, 4, 4);
       return t.device()->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, quad.data(), 4, 0);
     }},
    {"SceneInScene", D3DERR_SCENE_IN_SCENE,
     [](RefusalTest& t) {
       t.device()->BeginScene();
       return t.device()->BeginScene();
     }},
    {"EndWithoutScene", D3DERR_SCENE_NOT_IN_SCENE, [](RefusalTest& t) { return t.device()->EndScene(); }},
    {"UnknownPrimitive", D3DERR_INVALIDPRIMITIVETYPE,
     [](RefusalTest& t) { return t.DrawInScene(static_cast<D3DPRIMITIVETYPE>(7)); }},
    {"UntransformedVertices", D3DERR_INVALIDVERTEXTYPE,
     [](RefusalTest& t) { return t.DrawInScene(D3DPT_TRIANGLESTRIP, D3DFVF_XYZ | D3DFVF_DIFFUSE); }},
    {"UnknownVertexBits", D3DERR_INVALIDVERTEXFORMAT,
     [](RefusalTest& t) { return t.DrawInScene(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX | D3DFVF_NORMAL); }},
    {"SecondStageEnabled", D3DERR_TOOMANYOPERATIONS,
     [](RefusalTest& t) {
       t.device()->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
       return t.DrawInScene(D3DPT_TRIANGLESTRIP);
     }},
    {"UnsupportedColourOperation", D3DERR_UNSUPPORTEDCOLOROPERATION,
     [](RefusalTest& t) {
       t.device()->SetTextureStageState(0, D3DTSS_COLOROP, 8);
       return t.DrawInScene(D3DPT_TRIANGLESTRIP);
     }},
    {"ClearOfAMissingDepthBuffer", D3DERR_ZBUFFER_NOTPRESENT,
     [](RefusalTest& t) { return t.device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0); }},
    {"ViewportLargerThanTheTarget", DDERR_INVALIDPARAMS,
     [](RefusalTest& t) {
       D3DVIEWPORT7 viewport{0, 0, 17, 16, 0.0f, 1.0f};
       return t.device()->SetViewport(&viewport);
     }},
    {"TargetWithout3DCapability", DDERR_INVALIDCAPS,
     [](RefusalTest& t) { return t.device()->SetRenderTarget(t.Plain(DDSCAPS_OFFSCREENPLAIN).get(), 0); }},
    {"TextureThatIsNoTexture", DDERR_INVALIDCAPS,
     [](RefusalTest& t) { return t.device()->SetTexture(0, t.Plain(DDSCAPS_OFFSCREENPLAIN).get()); }},
    {"ReferenceDevice", DDERR_INVALIDPARAMS,
     [](RefusalTest& t) {
       IDirect3DDevice7* device = nullptr;
       return t.d3d()->CreateDevice(IID_IDirect3DDevice7, t.target(), &device);
     }},
    {"LockedTarget", DDERR_SURFACEBUSY,
     [](RefusalTest& t) {
       DDSURFACEDESC2 desc{};
       desc.dwSize = sizeof(desc);
       t.target()->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
       const HRESULT hr = t.DrawInScene(D3DPT_TRIANGLESTRIP);
       t.target()->Unlock(nullptr);
       return hr;
     }},
    {"DrawOnALostTarget", DDERR_SURFACELOST,
     [](RefusalTest& t) {
       t.LoseTarget();
       return t.DrawInScene(D3DPT_TRIANGLESTRIP);
     }},
    {"LostTargetSetAgain", DDERR_SURFACELOST,
     [](RefusalTest& t) {
       t.LoseTarget();
       return t.device()->SetRenderTarget(t.target(), 0);
     }},
    {"TargetOfAnotherDirectDraw", DDERR_INVALIDOBJECT,
     [](RefusalTest& t) {
       Com<IDirectDraw7> other(testsupport::CreateDirectDraw7());
       DDSURFACEDESC2 desc{};
       desc.dwSize = sizeof(desc);
       desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
       desc.dwWidth = desc.dwHeight = 8;
       desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
       IDirectDrawSurface7* surface = nullptr;
       other->CreateSurface(&desc, &surface, nullptr);
       Com<IDirectDrawSurface7> owned(surface);
       return t.device()->SetRenderTarget(surface, 0);
     }},
};

INSTANTIATE_TEST_SUITE_P(Refusals, RefusalTest, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Roads, DeviceTest, testing::ValuesIn(kScreenFormats), ScreenFormatName);

}  // namespace
}  // namespace d3d_test
