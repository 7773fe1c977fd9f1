// Cuts a blit to what lies inside both the source and the destination image, so that a source
// rectangle reaching outside its image (negative, or past the edge) never reads outside the pixels.
#pragma once

#include "framework/graphics/Rect.h"

namespace Kit {

struct ClippedBlit {
  Rect mSrc;  // inside the source image
  int mX;     // where mSrc's top-left pixel lands in the destination
  int mY;
};

// False when nothing is left to draw.
inline bool ClipBlit(int destWidth, int destHeight, int sourceWidth, int sourceHeight, int x, int y,
                     const Rect& srcRect, ClippedBlit& out) {
  Rect src = srcRect.Intersection(Rect(0, 0, sourceWidth, sourceHeight));
  if (src.IsEmpty()) return false;
  long long destX = static_cast<long long>(x) + (src.mX - srcRect.mX);
  long long destY = static_cast<long long>(y) + (src.mY - srcRect.mY);
  if (destX < 0) {
    src.mX += static_cast<int>(-destX);
    src.mWidth -= static_cast<int>(std::min<long long>(-destX, src.mWidth));
    destX = 0;
  }
  if (destY < 0) {
    src.mY += static_cast<int>(-destY);
    src.mHeight -= static_cast<int>(std::min<long long>(-destY, src.mHeight));
    destY = 0;
  }
  if (destX >= destWidth || destY >= destHeight || src.IsEmpty()) return false;
  src.mWidth = static_cast<int>(std::min<long long>(src.mWidth, destWidth - destX));
  src.mHeight = static_cast<int>(std::min<long long>(src.mHeight, destHeight - destY));
  out = {src, static_cast<int>(destX), static_cast<int>(destY)};
  return true;
}

}  // namespace Kit
