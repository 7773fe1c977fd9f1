// Text for the generated pictures and font sheets, rendered with FreeType from Debian's DejaVu and
// Liberation fonts at a pixel size, grey-level anti-aliased, without hinting differences between runs.
// One painter per face and size; not thread-safe.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/data/Canvas.h"

namespace gamedata {

// The system fonts the data uses. Each names a file of fonts-dejavu-core or fonts-liberation.
enum class Face { kSans, kSansBold, kSerifBold, kArial, kArialBold };

// One rendered character: its coverage bitmap, where it sits relative to the pen on the baseline, and
// how far it moves the pen.
struct Glyph {
  int width = 0, height = 0;
  int left = 0, top = 0;  // bitmap origin: pen x + left, baseline y - top
  int advance = 0;
  std::vector<unsigned char> coverage;
};

class TextPainter {
 public:
  TextPainter(Face face, int pixelSize);
  ~TextPainter();
  TextPainter(const TextPainter&) = delete;
  TextPainter& operator=(const TextPainter&) = delete;

  int Ascent() const { return mAscent; }
  int Descent() const { return mDescent; }
  // A character given as a Unicode code point.
  Glyph Render(char32_t character) const;
  // Pen advance of a UTF-8 string, with kerning.
  int Width(const std::string& utf8) const;
  // Draws a UTF-8 string with its baseline at y; each covered pixel takes paint(x, y).
  void Draw(Canvas& canvas, const std::string& utf8, float x, float baseline, const Paint& paint,
            Blend blend = Blend::kOver) const;
  // Draws centred on x, with a dark outline of `outline` pixels and a soft shadow, for captions.
  void DrawCaption(Canvas& canvas, const std::string& utf8, float centreX, float baseline, const Paint& paint,
                   const Rgba& outlineColour, int outline) const;

 private:
  // Walks the string from the pen position, with kerning, handing each glyph and its pen position to
  // place (when set); returns the pen position after the last glyph.
  int Layout(const std::string& utf8, int pen, const std::function<void(int, const Glyph&)>& place) const;

  struct Library;
  std::unique_ptr<Library> mLibrary;
  int mAscent = 0, mDescent = 0;
};

std::u32string DecodeUtf8(const std::string& utf8);

}  // namespace gamedata
