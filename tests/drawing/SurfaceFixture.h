// DirectDraw off-screen surfaces in 16-bit (5-6-5 and 5-5-5) and 32-bit formats for the text tests,
// with their pixels read back as ARGB.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ddraw/DDraw.h"
#include "platform/ddraw/DisplaySettings.h"
#include "tests/support/ScreenFormats.h"

namespace drawingtest {

struct SurfaceRelease {
  void operator()(IDirectDrawSurface7* surface) const {
    if (surface) surface->Release();
  }
};
using SurfacePtr = std::unique_ptr<IDirectDrawSurface7, SurfaceRelease>;

// A DirectDraw object whose surfaces are in the display format the parameter names.
class SurfaceTest : public testing::TestWithParam<testsupport::ScreenFormat> {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A width x height surface filled with the colour (0xRRGGBB).
  SurfacePtr Make(int width, int height, std::uint32_t rgb);
  // Every pixel as 0xFFRRGGBB, the channels widened to 8 bits.
  std::vector<std::uint32_t> Read(IDirectDrawSurface7* surface);
  // The colour a pixel of this format shows for 0xRRGGBB.
  std::uint32_t Shown(std::uint32_t rgb);

  std::unique_ptr<plat::ScopedDisplaySettings> mSettings;
  IDirectDraw7* mDD = nullptr;
};

}  // namespace drawingtest
