// The text face every text-drawing caller uses: metrics, string and character widths and string drawing.
// Bitmap fonts (ImageFont) and system fonts implement it.
#pragma once

#include <string>

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

namespace Kit {

class Graphics;

class Font {
 public:
  Font() = default;
  Font(const Font&) = default;
  Font& operator=(const Font&) = default;
  virtual ~Font() = default;

  virtual int GetAscent() { return mAscent; }
  virtual int GetAscentPadding() { return mAscentPadding; }
  virtual int GetDescent() { return mHeight - mAscent; }
  virtual int GetHeight() { return mHeight; }
  virtual int GetLineSpacingOffset() { return mLineSpacingOffset; }
  virtual int GetLineSpacing() { return mHeight + mLineSpacingOffset; }
  virtual int StringWidth(const std::string& text) { return 0; }
  virtual int CharWidth(char c) { return StringWidth(std::string(1, c)); }
  virtual int CharWidthKern(char c, char prev) { return CharWidth(c); }
  // y is the baseline and x the left edge, both before the context's translation is added.
  virtual void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect& clip) {}
  // A copy owned by the caller.
  virtual Font* Duplicate() = 0;

  int mAscent = 0;
  int mAscentPadding = 0;  // extra pixels above the ascent that a layout may trim
  int mHeight = 0;
  int mLineSpacingOffset = 0;  // added to the height to get the distance between baselines
};

}  // namespace Kit
