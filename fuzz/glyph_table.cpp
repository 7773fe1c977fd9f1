// Feeds arbitrary bytes to the glyph font as its table file and draws a line with every character it
// read.
#include <cstddef>
#include <cstdint>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "fuzz/FuzzInputFile.h"
#include "game/play/GlyphFont.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Kit::MemoryImage* canvas = [] {
    auto* image = new Kit::MemoryImage();
    image->Create(64, 16);
    return image;
  }();
  static Kit::MemoryImage* sheet = [] {
    auto* image = new Kit::MemoryImage();
    image->Create(32, 32);
    return image;
  }();
  GlyphFont font;
  font.SetImage(sheet);
  font.LoadFile(fuzzsupport::WriteInputFile(data, size, ".txt"));
  std::u16string text;
  for (const GlyphRecord& glyph : font.mGlyphs) text.push_back(glyph.mCharacter);
  if (text.empty()) return 0;  // an empty table only beeps
  Kit::Graphics g(canvas);
  font.DrawString(&g, text, -3.5f, 4.0f);
  return 0;
}
