// One glyph of one font layer waiting to be drawn.
#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

namespace Kit {

class Image;

struct RenderCommand {
  Image* mImage = nullptr;  // the layer's glyph sheet
  int mDestX = 0;
  int mDestY = 0;
  Rect mSrcRect;
  int mMode = -1;  // -1: the drawing context's own mode
  Color mColor;
  RenderCommand* mNext = nullptr;
};

}  // namespace Kit
