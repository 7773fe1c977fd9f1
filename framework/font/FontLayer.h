// One layer of a bitmap font: a glyph sheet with per-character rectangles, offsets, widths, kerning and
// orders, the colour arithmetic applied to its glyphs, its metrics, and the tags and point sizes for
// which it is used.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "framework/font/CharData.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/SharedImageRef.h"

namespace Kit {

class FontData;
class Image;

class FontLayer {
 public:
  explicit FontLayer(FontData* fontData) : mFontData(fontData) {}
  // Copies every field; the image is shared.
  FontLayer(const FontLayer&) = default;
  FontLayer& operator=(const FontLayer&) = default;

  FontData* mFontData;                     // not owned
  std::vector<std::string> mRequiredTags;  // upper case; all must be on the font
  std::vector<std::string> mExcludedTags;  // upper case; none may be on the font
  std::array<CharData, 256> mCharData;     // by unsigned character code
  Color mColorMult = Color(255, 255, 255, 255);
  Color mColorAdd = Color(0, 0, 0, 0);
  SharedImageRef mImage;  // the glyph sheet
  int mDrawMode = -1;     // -1: the drawing context's own mode; 0 normal; 1 additive
  Point mOffset;          // added to every glyph offset
  int mSpacing = 0;       // added to every kerning offset
  int mMinPointSize = -1;
  int mMaxPointSize = -1;  // -1: no upper bound
  int mPointSize = 0;      // the size the metrics are drawn at; 0: unscaled
  int mAscent = 0;
  int mAscentPadding = 0;
  int mHeight = 0;
  int mLineSpacingOffset = 0;
  int mBaseOrder = 0;  // added to every character order
};

}  // namespace Kit
