#include "platform/gdi/GdiFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gdi/FaceMap.h"
#include "platform/util/ClampToInt.h"

namespace plat::gdi {

// The one FreeType library of the process. Creating and freeing faces goes through its lock; each
// face is then used under its own font's lock.
struct FreeTypeLibrary {
  FreeTypeLibrary() {
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
  }
  ~FreeTypeLibrary() {
    if (library) FT_Done_FreeType(library);
  }
  FT_Library library = nullptr;
  std::mutex lock;
};

namespace {

std::shared_ptr<FreeTypeLibrary> TheLibrary() {
  static const std::shared_ptr<FreeTypeLibrary> library = std::make_shared<FreeTypeLibrary>();
  return library;
}

// Windows-1252 codes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::array<std::uint16_t, 32> kCp1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                       0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

FT_ULong ToUnicode(unsigned char code) { return code >= 0x80 && code < 0xA0 ? kCp1252High[code - 0x80] : code; }

bool IsControlCode(unsigned char code) { return code < 0x20 || code == 0x7F; }

int Ceil(double value) { return static_cast<int>(std::ceil(value - 1e-9)); }

}  // namespace

GdiFont::GdiFont(const LOGFONTA& logFont) : mLibrary(TheLibrary()), mLogFont(logFont) {
  mLogFont.lfFaceName[LF_FACESIZE - 1] = '\0';
  mMetrics.tmWeight = mLogFont.lfWeight == FW_DONTCARE ? FW_NORMAL : mLogFont.lfWeight;
  mMetrics.tmItalic = mLogFont.lfItalic ? 1 : 0;
  mMetrics.tmUnderlined = mLogFont.lfUnderline ? 1 : 0;
  mMetrics.tmStruckOut = mLogFont.lfStrikeOut ? 1 : 0;
  mMetrics.tmCharSet = mLogFont.lfCharSet;
  mMetrics.tmFirstChar = 0x1F;
  mMetrics.tmLastChar = 0xFF;
  mMetrics.tmDefaultChar = 0x1F;
  mMetrics.tmBreakChar = 0x20;
  mMetrics.tmDigitizedAspectX = 96;
  mMetrics.tmDigitizedAspectY = 96;
  LoadFace();
}

GdiFont::~GdiFont() {
  if (!mFace) return;
  std::lock_guard hold(mLibrary->lock);
  FT_Done_Face(mFace);
}

void GdiFont::LoadFace() {
  const bool bold = mMetrics.tmWeight >= 600;
  const FaceFile file = FindFaceFile(mLogFont.lfFaceName, bold, mLogFont.lfItalic != 0);
  FreeTypeLibrary& library = *mLibrary;
  if (file.path.empty() || !library.library) return;
  {
    std::lock_guard hold(library.lock);
    if (FT_New_Face(library.library, file.path.c_str(), 0, &mFace) != 0) {
      mFace = nullptr;
      return;
    }
  }
  mEmbolden = file.emboldened;
  mSlant = file.slanted;
  FT_Select_Charmap(mFace, FT_ENCODING_UNICODE);

  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(mFace, FT_SFNT_OS2));
  const double unitsPerEm = mFace->units_per_EM > 0 ? mFace->units_per_EM : 2048;
  const double ascender = os2 && os2->usWinAscent ? os2->usWinAscent : mFace->ascender;
  const double descender = os2 && os2->usWinDescent ? os2->usWinDescent : -static_cast<double>(mFace->descender);

  // A negative height asks for the character height, a positive one for the cell height.
  double em = DEFAULT_EM_PIXELS;
  if (mLogFont.lfHeight < 0)
    em = -static_cast<double>(mLogFont.lfHeight);
  else if (mLogFont.lfHeight > 0 && ascender + descender > 0)
    em = std::round(mLogFont.lfHeight * unitsPerEm / (ascender + descender));
  const int emPixels = static_cast<int>(std::clamp(em, 1.0, static_cast<double>(MAX_EM_PIXELS)));
  if (FT_Set_Pixel_Sizes(mFace, 0, static_cast<FT_UInt>(emPixels)) != 0) {
    std::lock_guard hold(library.lock);
    FT_Done_Face(mFace);
    mFace = nullptr;
    return;
  }

  const double scale = emPixels / unitsPerEm;
  mMetrics.tmAscent = Ceil(ascender * scale);
  mMetrics.tmDescent = Ceil(descender * scale);
  mMetrics.tmHeight = mMetrics.tmAscent + mMetrics.tmDescent;
  mMetrics.tmInternalLeading = std::max(0, mMetrics.tmHeight - emPixels);
  mMetrics.tmAveCharWidth =
      os2 && os2->xAvgCharWidth > 0 ? static_cast<LONG>(std::lround(os2->xAvgCharWidth * scale)) : emPixels / 2;
  mMetrics.tmMaxCharWidth = static_cast<LONG>(std::lround((mFace->bbox.xMax - mFace->bbox.xMin) * scale));
  mMetrics.tmPitchAndFamily = FT_IS_FIXED_WIDTH(mFace) ? FF_MODERN : (FF_SWISS | 0x02 | 0x04);

  mLineThickness = std::max(1, static_cast<int>(std::lround(mFace->underline_thickness * scale)));
  mUnderlineOffset = std::max(1, static_cast<int>(std::lround(-mFace->underline_position * scale)));
  const double strikeOut = os2 && os2->yStrikeoutPosition > 0 ? os2->yStrikeoutPosition : unitsPerEm * 0.26;
  mStrikeOutOffset = -static_cast<int>(std::lround(strikeOut * scale));
}

const GdiFont::Glyph& GdiFont::GlyphOf(unsigned char code) {
  std::lock_guard hold(mGlyphLock);
  std::unique_ptr<Glyph>& slot = mGlyphs[code];
  if (!slot) {
    slot = std::make_unique<Glyph>();
    Render(code, *slot);
  }
  return *slot;
}

int GdiFont::TextWidth(const char* text, int length) {
  long long width = 0;
  for (int i = 0; i < length; ++i) width += GlyphOf(static_cast<unsigned char>(text[i])).advance;
  return plat::ClampToInt(width);
}

void GdiFont::Render(unsigned char code, Glyph& glyph) {
  if (!mFace) return;
  // A control code the face has no glyph for would show as the face's missing-glyph box: instead a
  // tab takes the space's glyph, and any other such code draws nothing and takes no room.
  if (IsControlCode(code) && FT_Get_Char_Index(mFace, ToUnicode(code)) == 0) {
    if (code == '\t') Render(' ', glyph);
    return;
  }
  if (FT_Load_Char(mFace, ToUnicode(code), FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) != 0) return;
  FT_GlyphSlot slot = mFace->glyph;
  if (mEmbolden) FT_GlyphSlot_Embolden(slot);
  if (mSlant) FT_GlyphSlot_Oblique(slot);
  glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;

  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.width == 0 || bitmap.rows == 0) return;
  glyph.width = static_cast<int>(bitmap.width);
  glyph.height = static_cast<int>(bitmap.rows);
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.height);
  const int levels = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
  for (int y = 0; y < glyph.height; ++y) {
    const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
    if (bitmap.pitch < 0) row = bitmap.buffer + static_cast<std::ptrdiff_t>(glyph.height - 1 - y) * -bitmap.pitch;
    for (int x = 0; x < glyph.width; ++x)
      glyph.coverage[static_cast<std::size_t>(y) * glyph.width + x] =
          static_cast<std::uint8_t>(levels == 255 ? row[x] : row[x] * 255 / levels);
  }
}

}  // namespace plat::gdi
