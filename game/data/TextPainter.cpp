#include "game/data/TextPainter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <stdexcept>

namespace gamedata {
namespace {

std::vector<std::string> FaceFiles(Face face) {
  auto both = [](const char* name) {
    return std::vector<std::string>{std::string("/usr/share/fonts/truetype/liberation/") + name,
                                    std::string("/usr/share/fonts/truetype/liberation2/") + name};
  };
  switch (face) {
    case Face::kSans:
      return {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"};
    case Face::kSansBold:
      return {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"};
    case Face::kSerifBold:
      return {"/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"};
    case Face::kArial:
      return both("LiberationSans-Regular.ttf");
    case Face::kArialBold:
      return both("LiberationSans-Bold.ttf");
  }
  return {};
}

}  // namespace

struct TextPainter::Library {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~Library() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

std::u32string DecodeUtf8(const std::string& utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
    ++i;
    for (; extra > 0 && i < utf8.size(); --extra, ++i) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    out.push_back(cp);
  }
  return out;
}

TextPainter::TextPainter(Face face, int pixelSize) : mLibrary(std::make_unique<Library>()) {
  if (FT_Init_FreeType(&mLibrary->library) != 0) throw std::runtime_error("FreeType does not start");
  for (const std::string& file : FaceFiles(face)) {
    if (FT_New_Face(mLibrary->library, file.c_str(), 0, &mLibrary->face) == 0) break;
    mLibrary->face = nullptr;
  }
  if (!mLibrary->face) throw std::runtime_error("a font of fonts-dejavu-core or fonts-liberation is missing");
  FT_Set_Pixel_Sizes(mLibrary->face, 0, static_cast<FT_UInt>(pixelSize));
  mAscent = static_cast<int>(std::lround(mLibrary->face->size->metrics.ascender / 64.0));
  mDescent = static_cast<int>(std::lround(-mLibrary->face->size->metrics.descender / 64.0));
}

TextPainter::~TextPainter() = default;

Glyph TextPainter::Render(char32_t character) const {
  Glyph glyph;
  FT_Face face = mLibrary->face;
  if (FT_Load_Char(face, character, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) return glyph;
  const FT_Bitmap& bitmap = face->glyph->bitmap;
  glyph.width = static_cast<int>(bitmap.width);
  glyph.height = static_cast<int>(bitmap.rows);
  glyph.left = face->glyph->bitmap_left;
  glyph.top = face->glyph->bitmap_top;
  glyph.advance = static_cast<int>(std::lround(face->glyph->advance.x / 64.0));
  glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.height);
  for (int y = 0; y < glyph.height; ++y)
    for (int x = 0; x < glyph.width; ++x) glyph.coverage[y * glyph.width + x] = bitmap.buffer[y * bitmap.pitch + x];
  return glyph;
}

int TextPainter::Layout(const std::string& utf8, int pen, const std::function<void(int, const Glyph&)>& place) const {
  FT_UInt previous = 0;
  FT_Face face = mLibrary->face;
  for (char32_t c : DecodeUtf8(utf8)) {
    const FT_UInt index = FT_Get_Char_Index(face, c);
    if (previous && index && FT_HAS_KERNING(face)) {
      FT_Vector kern;
      FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kern);
      pen += static_cast<int>(std::lround(kern.x / 64.0));
    }
    const Glyph glyph = Render(c);
    if (place) place(pen, glyph);
    pen += glyph.advance;
    previous = index;
  }
  return pen;
}

int TextPainter::Width(const std::string& utf8) const { return Layout(utf8, 0, nullptr); }

void TextPainter::Draw(Canvas& canvas, const std::string& utf8, float x, float baseline, const Paint& paint,
                       Blend blend) const {
  const int base = static_cast<int>(std::lround(baseline));
  Layout(utf8, static_cast<int>(std::lround(x)), [&](int pen, const Glyph& glyph) {
    for (int gy = 0; gy < glyph.height; ++gy)
      for (int gx = 0; gx < glyph.width; ++gx) {
        const unsigned char cover = glyph.coverage[gy * glyph.width + gx];
        if (!cover) continue;
        const int px = pen + glyph.left + gx, py = base - glyph.top + gy;
        canvas.Put(px, py, paint(px + 0.5f, py + 0.5f), cover / 255.0f, blend);
      }
  });
}

void TextPainter::DrawCaption(Canvas& canvas, const std::string& utf8, float centreX, float baseline,
                              const Paint& paint, const Rgba& outlineColour, int outline) const {
  const float x = centreX - Width(utf8) / 2.0f;
  Canvas layer(canvas.Width(), canvas.Height());
  Draw(layer, utf8, x, baseline, Solid(outlineColour));
  // Grow the outline by taking the strongest neighbour, one pixel per round.
  for (int round = 0; round < outline; ++round) {
    Canvas grown = layer;
    for (int y = 0; y < layer.Height(); ++y)
      for (int xx = 0; xx < layer.Width(); ++xx) {
        float best = layer.At(xx, y).a;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = xx + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= layer.Width() || ny >= layer.Height()) continue;
            const float weight = (dx != 0 && dy != 0) ? 0.7f : 1.0f;
            best = std::max(best, layer.At(nx, ny).a * weight);
          }
        grown.At(xx, y) = WithAlpha(outlineColour, best);
      }
    layer = grown;
  }
  layer.DropShadow(1, 2, 1, 0.6f);
  Draw(layer, utf8, x, baseline, paint);
  canvas.Draw(layer, 0, 0);
}

}  // namespace gamedata
