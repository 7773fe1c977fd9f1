// One character of a font layer: where its glyph lies in the layer's image and how it is placed.
#pragma once

#include <array>
#include <cstdint>

#include "framework/graphics/Rect.h"

namespace Kit {

struct CharData {
  Rect mImageRect;                                 // the glyph within the layer image
  Point mOffset;                                   // where the glyph is drawn relative to the pen
  std::array<std::int8_t, 256> mKerningOffsets{};  // extra advance when the indexed character follows
  int mWidth = 0;                                  // pen advance
  int mOrder = 0;                                  // drawing order relative to other characters
};

}  // namespace Kit
