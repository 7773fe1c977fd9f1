#include "framework/graphics/surface/SurfaceBlitArea.h"

#include <algorithm>

namespace Kit {

BlitArea ClipBlit(const Rect& destBounds, const Rect& srcBounds, int x, int y, const Rect& srcRect, bool mirror) {
  BlitArea area;
  if (srcRect.IsEmpty() || destBounds.IsEmpty() || srcBounds.IsEmpty()) return area;
  // Offsets k (columns) and j (rows) into srcRect that are kept, in 64 bits so that no edge overflows.
  using Wide = long long;
  const Wide w = srcRect.mWidth, h = srcRect.mHeight;
  const Wide sx = srcRect.mX, sy = srcRect.mY;
  const Wide srcLeft = srcBounds.mX, srcRight = srcLeft + srcBounds.mWidth;
  const Wide srcTop = srcBounds.mY, srcBottom = srcTop + srcBounds.mHeight;
  const Wide destLeft = destBounds.mX, destRight = destLeft + destBounds.mWidth;
  const Wide destTop = destBounds.mY, destBottom = destTop + destBounds.mHeight;

  Wide k0 = std::max<Wide>(0, srcLeft - sx), k1 = std::min<Wide>(w, srcRight - sx);
  if (mirror) {
    // Destination column of offset k is x + w - 1 - k.
    k0 = std::max<Wide>(k0, Wide{x} + w - destRight);
    k1 = std::min<Wide>(k1, Wide{x} + w - destLeft);
  } else {
    k0 = std::max<Wide>(k0, destLeft - x);
    k1 = std::min<Wide>(k1, destRight - x);
  }
  const Wide j0 = std::max<Wide>({0, srcTop - sy, destTop - y});
  const Wide j1 = std::min<Wide>({h, srcBottom - sy, destBottom - y});
  if (k0 >= k1 || j0 >= j1) return area;
  const Wide width = k1 - k0;
  area.mSrc =
      Rect(static_cast<int>(sx + k0), static_cast<int>(sy + j0), static_cast<int>(width), static_cast<int>(j1 - j0));
  area.mX = static_cast<int>(mirror ? Wide{x} + w - k1 : Wide{x} + k0);
  area.mY = static_cast<int>(Wide{y} + j0);
  return area;
}

}  // namespace Kit
