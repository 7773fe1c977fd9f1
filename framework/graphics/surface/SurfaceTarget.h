// What every surface drawing routine works with: the locked pixels, and per channel the mask of the
// surface's own format, the shift and bit count of the display's format, and the display's
// saturation table for additive drawing.
#pragma once

#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/surface/ChannelAddTables.h"
#include "framework/graphics/surface/SurfacePixels.h"

#include <cstdint>

namespace Kit {

struct SurfaceChannel {
  std::uint32_t mMask = 0;
  int mShift = 0;
  int mBits = 0;
  const std::int32_t* mAdd = nullptr;  // 2 x (2^bits - 1) + 1 entries
};

struct SurfaceTarget {
  SurfacePixels mPixels;
  SurfaceChannel mRed;
  SurfaceChannel mGreen;
  SurfaceChannel mBlue;
  // The additive routines index the add tables with channel values taken through the surface's
  // masks. They draw only when each mask is exactly the display's field for that channel, so a
  // surface of another format can never index past a table.
  bool mAdditiveUsable = false;
};

SurfaceTarget MakeSurfaceTarget(const SurfacePixels& pixels, const NativeDisplay& display,
                                const ChannelAddTables& addTables);

}  // namespace Kit
