#include "game/data/Fonts.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/data/Canvas.h"
#include "game/data/DataOutput.h"
#include "game/data/TextPainter.h"

namespace gamedata {
namespace {

// The characters of every sheet: printable ASCII and the Latin-1 letters and signs. A character's
// byte is also its Unicode code point in that range, and its byte in the Windows code page.
std::vector<int> SheetCharacters() {
  std::vector<int> out;
  for (int c = 32; c < 127; ++c) out.push_back(c);
  for (int c = 161; c < 256; ++c)
    if (c != 173) out.push_back(c);
  return out;
}

struct PlacedGlyph {
  int character, x, y, width, height, offsetX, advance;
};

constexpr int kSheetWidth = 512;

// Lays every glyph in a cell as tall as the line, rows wrapping at the sheet's width, and paints it
// white (the drawing colourises it).
Canvas RenderSheet(const TextPainter& text, int lineHeight, int top, std::vector<PlacedGlyph>& placed) {
  std::vector<Glyph> glyphs;
  for (int c : SheetCharacters()) glyphs.push_back(text.Render(static_cast<char32_t>(c)));
  int x = 0, y = 0;
  const std::vector<int> characters = SheetCharacters();
  for (size_t i = 0; i < glyphs.size(); ++i) {
    const Glyph& g = glyphs[i];
    const int offsetX = std::min(0, g.left);
    const int width = std::max(1, std::max(g.advance, g.left + g.width) - offsetX + 1);
    if (x + width > kSheetWidth) {
      x = 0;
      y += lineHeight;
    }
    placed.push_back({characters[i], x, y, width, lineHeight, offsetX, g.advance});
    x += width;
  }
  Canvas sheet(kSheetWidth, y + lineHeight);
  for (size_t i = 0; i < glyphs.size(); ++i) {
    const Glyph& g = glyphs[i];
    const PlacedGlyph& p = placed[i];
    for (int gy = 0; gy < g.height; ++gy)
      for (int gx = 0; gx < g.width; ++gx) {
        const int sx = p.x + g.left - p.offsetX + gx, sy = p.y + top - g.top + gy;
        if (sy >= p.y && sy < p.y + lineHeight)
          sheet.Put(sx, sy, Hex(0xFFFFFF), g.coverage[gy * g.width + gx] / 255.0f);
      }
  }
  return sheet;
}

std::string Quoted(int character) {
  if (character == '\'') return "\"'\"";
  if (character == '\\') return "'\\\\'";
  return "'" + std::string(1, static_cast<char>(character)) + "'";
}

// A descriptor of one layer named Main whose glyph cells start one ascent above the pen's baseline, and
// which shows a tab as a space.
std::string Descriptor(const std::string& sheetFile, int pointSize, int ascent,
                       const std::vector<PlacedGlyph>& glyphs) {
  std::string chars, rects, widths, offsets;
  for (const PlacedGlyph& g : glyphs) {
    const std::string separator = chars.empty() ? "" : ", ";
    chars += separator + Quoted(g.character);
    rects += separator + "(" + std::to_string(g.x) + ", " + std::to_string(g.y) + ", " + std::to_string(g.width) +
             ", " + std::to_string(g.height) + ")";
    widths += separator + std::to_string(g.advance);
    offsets += separator + "(" + std::to_string(g.offsetX) + ", 0)";
  }
  return "# Made by the game's data generator.\n"
         "SetDefaultPointSize " +
         std::to_string(pointSize) +
         ";\n"
         "CreateLayer Main;\n"
         "LayerSetImage Main '" +
         sheetFile +
         "';\n"
         "LayerSetAscent Main " +
         std::to_string(ascent) +
         ";\n"
         "Define Chars (" +
         chars +
         ");\n"
         "Define Rects (" +
         rects +
         ");\n"
         "LayerSetImageMap Main Chars Rects;\n"
         "LayerSetCharWidths Main Chars (" +
         widths +
         ");\n"
         "LayerSetCharOffsets Main Chars (" +
         offsets +
         ");\n"
         "# A tab in a text is white space: it shows as a space.\n"
         "SetCharMap ('\t') (' ');\n";
}

void BitmapFont(DataOutput& out, const std::string& id, const std::string& name, Face face, int pixelSize) {
  TextPainter text(face, pixelSize);
  const int ascent = text.Ascent(), lineHeight = text.Ascent() + text.Descent();
  std::vector<PlacedGlyph> glyphs;
  const Canvas sheet = RenderSheet(text, lineHeight, ascent, glyphs);
  if (!sheet.SavePNG(out.PathOf("fonts/" + name + ".png"))) throw std::runtime_error("cannot write font " + name);
  out.WriteFile("fonts/" + name + ".txt", Descriptor(name + ".png", pixelSize, ascent, glyphs));
  out.AddFont(id, "fonts/" + name + ".txt");
}

// The glyph font of the file list: cells 14 pixels tall drawn from their top, with its table of one
// line per character: the character, then (x,y,width,height).
void GlyphSheet(DataOutput& out) {
  TextPainter text(Face::kSans, 12);
  std::vector<PlacedGlyph> glyphs;
  const Canvas sheet = RenderSheet(text, 14, 11, glyphs);
  out.AddImage("IMAGE_CNFONT", "cnfont", sheet);
  std::string table;
  for (const PlacedGlyph& g : glyphs)
    table += std::string(1, static_cast<char>(g.character)) + "(" + std::to_string(g.x) + "," + std::to_string(g.y) +
             "," + std::to_string(g.advance) + "," + std::to_string(g.height) + ")\n";
  out.WriteFile("fonts/unicode.txt", table);
}

}  // namespace

void MakeFonts(DataOutput& out) {
  BitmapFont(out, "FONT_DEFAULT", "default", Face::kSansBold, 12);
  BitmapFont(out, "FONT_ARIAL", "arial", Face::kArial, 14);
  BitmapFont(out, "FONT_ARIAL12", "arial12", Face::kArial, 13);
  BitmapFont(out, "FONT_ARIAL13", "arial13", Face::kArialBold, 14);
  BitmapFont(out, "FONT_LEVELTEXT", "leveltext", Face::kSansBold, 15);
  GlyphSheet(out);
}

}  // namespace gamedata
