// The pixel work behind Blt: colour fills and copies between surface memories of one pixel size,
// stretched by nearest neighbour, optionally masked by a source colour key.
#pragma once

#include "platform/win/Types.h"

namespace plat::ddraw {

struct PixelView {
  BYTE* pixels = nullptr;
  LONG pitch = 0;  // bytes from one row to the next
  int width = 0;
  int height = 0;
  int bytesPerPixel = 4;
};

// Pixels whose value, masked, equals the key's value, masked, are not copied.
struct SourceKey {
  DWORD value = 0;
  DWORD mask = 0;
};

// Writes value (its low bytes) into every pixel of area. The area lies inside the view.
void FillPixels(const PixelView& target, const RECT& area, DWORD value);

// Copies sourceRect of source onto targetRect of target; when the sizes differ each target pixel takes
// the source pixel its position maps to (nearest neighbour). Only target pixels inside clip are written.
// Both rectangles lie inside their views, clip lies inside targetRect, and both views share one pixel
// size. Source and target may be the same memory, overlapping or not.
void BlitPixels(const PixelView& target, const RECT& targetRect, const RECT& clip, const PixelView& source,
                const RECT& sourceRect, const SourceKey* key);

}  // namespace plat::ddraw
