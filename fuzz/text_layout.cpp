// The colour-code and word-wrap reading of the drawing context on arbitrary text: the first bytes
// choose the width, justification, range and line spacing, the rest is the text. Drawing goes into a
// small software image through a font of varying character widths, so every clipped draw runs too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/font/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

namespace {

// Widths 0 to 9 by character code, so that zero-width characters and wide ones both occur.
class VaryingFont : public Kit::Font {
 public:
  VaryingFont() {
    mAscent = 9;
    mHeight = 12;
  }
  int StringWidth(const std::string& text) override {
    int width = 0;
    for (char c : text) width += static_cast<unsigned char>(c) % 10;
    return width;
  }
  void DrawString(Kit::Graphics* g, int x, int y, const std::string& text, const Kit::Color& color,
                  const Kit::Rect& clip) override {
    g->FillRect(x, y - mAscent, StringWidth(text), mHeight);
  }
  Kit::Font* Duplicate() override { return new VaryingFont(*this); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 6) return 0;
  const int width = static_cast<int8_t>(data[0]) * 3;
  const int justification = static_cast<int>(data[1] % 4) - 1;
  const int offset = static_cast<int8_t>(data[2]);
  const int length = static_cast<int8_t>(data[3]);
  const int lineSpacing = static_cast<int8_t>(data[4]);
  const bool colored = data[5] & 1;
  const std::string text(reinterpret_cast<const char*>(data + 6), size - 6);

  static Kit::MemoryImage* canvas = [] {
    auto* image = new Kit::MemoryImage();
    image->Create(64, 48);
    return image;
  }();
  VaryingFont font;
  Kit::Graphics g(canvas);
  g.SetFont(&font);
  g.mWriteColoredString = colored;
  g.Translate(static_cast<float>(static_cast<int8_t>(data[0])), static_cast<float>(static_cast<int8_t>(data[4])));
  g.WriteString(text, 3, 20, width, justification, true, offset, length);
  int widest = 0;
  g.WriteWordWrapped(Kit::Rect(-5, 2, width, 40), text, lineSpacing, justification, &widest);
  g.GetWordWrappedHeight(width, text, lineSpacing, &widest);
  return 0;
}
