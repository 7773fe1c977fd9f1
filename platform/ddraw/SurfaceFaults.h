// Test seams for surfaces that fail: one that is lost, as when another program takes the display, and
// locks that fail while something else holds a surface. Any thread.
#pragma once

namespace plat {

// Test seam: the next present of a primary surface (Flip, a Blt onto it) or the next Lock of any
// surface fails with DDERR_SURFACELOST and leaves that surface lost until Restore, as when another
// program takes the display.
void FailNextWithSurfaceLost();
// Consumes the armed fault; true when the caller's operation is the one that fails.
[[nodiscard]] bool TakeSurfaceLostFault();
// Test seam: the next count locks of any surface fail with DDERR_SURFACEBUSY and leave the surface as
// it is, as when something else holds it (a device context not handed back).
void FailNextLocks(int count);
// Consumes one armed lock failure; true when the caller's lock is one that fails.
[[nodiscard]] bool TakeLockFault();

}  // namespace plat
