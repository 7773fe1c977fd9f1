// GlyphFont.h: draws 16-bit wide text from one image holding every glyph, by a glyph table read from
// "fonts\unicode.txt"; the text the framework's narrow fonts cannot show (the file browser's names).
// Also the conversions between the ANSI code page and wide text. The font owns its table, not its
// image (a loaded resource). One global instance, gGlyphFont. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/win/Types.h"

namespace Kit {
class Graphics;
class Image;
}  // namespace Kit

// One glyph: its character and its rectangle in the font image, pixels.
struct GlyphRecord {
  std::uint16_t mCharacter = u'a';
  int mX = 0;
  int mY = 0;
  int mWidth = 0;
  int mHeight = 0;
};

class GlyphFont {
 public:
  // The longest line of the table file, in characters; a longer line is skipped whole.
  static constexpr int kMaxLineChars = 1023;

  GlyphFont() = default;
  ~GlyphFont() = default;
  GlyphFont(const GlyphFont&) = delete;
  GlyphFont& operator=(const GlyphFont&) = delete;

  // Deletes every glyph record.
  void Clear();
  // Forgets the table and the image (tests).
  void Reset();
  // The font image; null is ignored and the old image stays.
  void SetImage(Kit::Image* image);
  // Appends a record for each valid line of the table file, in file order: the glyph's character, any
  // text, then "(x,y,width,height)" closing the line. A missing file, or one that cannot be read, adds nothing.
  void LoadFile(std::string path);
  // The index-th (1 x, 2 y, 3 width, else height) comma-separated integer of the field text; the fourth
  // runs to the end of the text. A missing field or one without a number gives 0.
  static int ParseRectField(std::u16string_view fieldText, int index);
  // The first record of that character, or null.
  const GlyphRecord* FindGlyph(std::uint16_t character) const;
  // Draws the glyphs side by side from (x, y) truncated to whole pixels; a character without a record
  // draws nothing and takes no room. Without an image (beep 111 Hz) or without glyphs (beep 222 Hz)
  // nothing is drawn.
  void DrawString(Kit::Graphics* g, std::u16string text, float x, float y) const;

  std::vector<GlyphRecord> mGlyphs;  // file order
  Kit::Image* mImage = nullptr;      // not owned

 private:
  // Parses one line of the table; false when it holds no glyph.
  static bool ParseLine(std::u16string_view line, GlyphRecord& record);
  void Append(const GlyphRecord& record);

  std::unordered_map<std::uint16_t, std::size_t> mFirstGlyphOf;  // character -> index of its first record
};

extern GlyphFont gGlyphFont;

// The integer a formatted stream reads from the text: white space skipped, an optional sign, digits up
// to the first other character; held to the int range; 0 without digits.
int WideToInt(std::u16string_view text);
// The zero-terminated text converted whole, terminator included, into buffer (bufferCount characters);
// the number of characters written, 0 when it does not fit or cannot be converted.
int AnsiToWide(const char* text, WCHAR* buffer, int bufferCount);
int WideToAnsi(const WCHAR* text, char* buffer, int bufferCount);
