// Shared set-up of the DirectDraw tests: a DirectDraw object from "ddraw.dll" on a desktop of the
// format under test, with small helpers for surfaces and pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/ddraw/DDraw.h"
#include "platform/win/system/DisplaySettings.h"
#include "tests/support/ComPtr.h"
#include "tests/support/PixelModel.h"
#include "tests/support/ScreenFormats.h"

namespace ddraw_test {

using testsupport::Com;
using testsupport::RefCount;

inline DDSURFACEDESC2 OffscreenDesc(DWORD width, DWORD height, DWORD caps = DDSCAPS_OFFSCREENPLAIN) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = width;
  desc.dwHeight = height;
  desc.ddsCaps.dwCaps = caps;
  return desc;
}

inline DDSURFACEDESC2 PrimaryDesc(DWORD backBuffers = 0) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  if (backBuffers) {
    desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = backBuffers;
    desc.ddsCaps.dwCaps |= DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  }
  return desc;
}

// The value of a surface's first pixel, read through Lock.
inline DWORD FirstPixel(IDirectDrawSurface7* surface) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return 0xDEADBEEF;
  DWORD value = 0;
  std::memcpy(&value, desc.lpSurface, desc.ddpfPixelFormat.dwRGBBitCount / 8);
  surface->Unlock(nullptr);
  return value;
}

// A DirectDraw object on a 1024 x 768 desktop of the road's format.
class DDrawTest : public testing::TestWithParam<testsupport::ScreenFormat> {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The pixel layout of the road's desktop.
  const model::Format& Layout() const {
    if (GetParam().format == plat::DesktopFormat::Xrgb8888) return model::kFormat888;
    return GetParam().format == plat::DesktopFormat::Rgb555 ? model::kFormat555 : model::kFormat565;
  }
  int BytesPerPixel() const { return Layout().bitCount / 8; }
  Com<IDirectDrawSurface7> Offscreen(DWORD width, DWORD height, DWORD caps = DDSCAPS_OFFSCREENPLAIN);
  // A surface filled with value.
  Com<IDirectDrawSurface7> Filled(DWORD width, DWORD height, DWORD value);
  HRESULT Fill(IDirectDrawSurface7* surface, RECT* rect, DWORD value);

  std::unique_ptr<plat::ScopedDisplaySettings> mSettings;
  Com<IDirectDraw7> mDD;
};

}  // namespace ddraw_test
