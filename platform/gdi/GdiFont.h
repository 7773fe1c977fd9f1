// A GDI font object: its LOGFONTA and the FreeType face that serves it at its pixel size, with the
// text metrics GDI reports and each character's antialiased glyph (rendered once, on first use). A
// control code without a glyph in the face is no box: a tab is a space, any other nothing.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"

struct FT_FaceRec_;

namespace plat::gdi {

struct FreeTypeLibrary;

class GdiFont {
 public:
  // Characters no larger than this many pixels are made; bigger requests are held to it.
  static constexpr int MAX_EM_PIXELS = 1024;
  static constexpr int DEFAULT_EM_PIXELS = 16;

  // A glyph's coverage (0..255, width x height, row after row), where its top left lies from the pen
  // on the baseline, and how far the pen moves.
  struct Glyph {
    std::vector<std::uint8_t> coverage;
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;  // rows above the baseline
    int advance = 0;
  };

  // Without a usable font file the font still exists: it has metrics of 0 and draws nothing.
  explicit GdiFont(const LOGFONTA& logFont);
  ~GdiFont();
  GdiFont(const GdiFont&) = delete;
  GdiFont& operator=(const GdiFont&) = delete;

  const LOGFONTA& LogFont() const { return mLogFont; }
  const TEXTMETRICA& Metrics() const { return mMetrics; }
  // Of a Windows-1252 character code. Safe to call from several threads.
  const Glyph& GlyphOf(unsigned char code);
  int TextWidth(const char* text, int length);
  // Rows below the baseline and thickness of the underline and of the strike-out line.
  int UnderlineOffset() const { return mUnderlineOffset; }
  int StrikeOutOffset() const { return mStrikeOutOffset; }
  int LineThickness() const { return mLineThickness; }

 private:
  void LoadFace();
  void Render(unsigned char code, Glyph& glyph);

  // Held by every font, so the library outlives the last face even at exit.
  std::shared_ptr<FreeTypeLibrary> mLibrary;
  LOGFONTA mLogFont;
  TEXTMETRICA mMetrics{};
  FT_FaceRec_* mFace = nullptr;
  bool mEmbolden = false;
  bool mSlant = false;
  int mUnderlineOffset = 0;
  int mStrikeOutOffset = 0;
  int mLineThickness = 1;
  std::mutex mGlyphLock;
  std::array<std::unique_ptr<Glyph>, 256> mGlyphs;
};

}  // namespace plat::gdi
