#include "tests/ddraw/DDrawFixture.h"

#include "tests/support/DirectDrawObject.h"
#include "tests/support/ScreenFormats.h"

namespace ddraw_test {

void DDrawTest::SetUp() {
  mSettings = testsupport::UseTestDesktop(GetParam().format);
  mDD.reset(testsupport::CreateDirectDraw7());
  ASSERT_NE(mDD, nullptr);
}

void DDrawTest::TearDown() {
  mDD.reset();
  mSettings.reset();
}

Com<IDirectDrawSurface7> DDrawTest::Offscreen(DWORD width, DWORD height, DWORD caps) {
  DDSURFACEDESC2 desc = OffscreenDesc(width, height, caps);
  IDirectDrawSurface7* surface = nullptr;
  EXPECT_EQ(mDD->CreateSurface(&desc, &surface, nullptr), DD_OK);
  return Com<IDirectDrawSurface7>(surface);
}

HRESULT DDrawTest::Fill(IDirectDrawSurface7* surface, RECT* rect, DWORD value) {
  DDBLTFX fx{};
  fx.dwSize = sizeof(fx);
  fx.dwFillColor = value;
  return surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

Com<IDirectDrawSurface7> DDrawTest::Filled(DWORD width, DWORD height, DWORD value) {
  auto surface = Offscreen(width, height);
  if (surface) {
    EXPECT_EQ(Fill(surface.get(), nullptr, value), DD_OK);
  }
  return surface;
}

}  // namespace ddraw_test
