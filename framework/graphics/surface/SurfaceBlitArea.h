// Where a blit lands: the destination's top-left corner and the source rectangle, cut so that both
// lie inside their images. For a mirrored blit source column srcRect.x + k lands on destination
// column x + width - 1 - k, and the cut keeps that pairing.
#pragma once

#include "framework/graphics/Rect.h"

namespace Kit {

struct BlitArea {
  int mX = 0;
  int mY = 0;
  Rect mSrc;

  bool IsEmpty() const { return mSrc.IsEmpty(); }
};

BlitArea ClipBlit(const Rect& destBounds, const Rect& srcBounds, int x, int y, const Rect& srcRect, bool mirror);

}  // namespace Kit
