#include "game/play/GlyphFont.h"

#include <algorithm>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Rect.h"
#include "game/play/TextLineReader.h"
#include "platform/shell/Shell.h"
#include "platform/util/ClampToInt.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/system/CodePage.h"

GlyphFont gGlyphFont;

namespace {

// The beeps of a draw that cannot happen: Hz and ms alike.
// Far beyond any glyph table (a line is at most a few dozen characters): a bigger one is not read.
constexpr std::size_t kMaxGlyphTableBytes = 16u << 20;
constexpr DWORD kNoImageBeep = 111;
constexpr DWORD kNoGlyphsBeep = 222;

bool IsStreamSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

}  // namespace

int WideToInt(std::u16string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsStreamSpace(text[pos])) ++pos;
  const bool negative = pos < text.size() && text[pos] == u'-';
  if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) ++pos;
  long long value = 0;
  for (; pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9'; ++pos) {
    value = std::min(value * 10 + (text[pos] - u'0'), 1LL << 32);  // past the int range either way
  }
  return plat::ClampToInt(static_cast<double>(negative ? -value : value));
}

int AnsiToWide(const char* text, WCHAR* buffer, int bufferCount) {
  if (!text || !buffer || bufferCount <= 0) return 0;
  return MultiByteToWideChar(CP_ACP, 0, text, -1, buffer, bufferCount);
}

int WideToAnsi(const WCHAR* text, char* buffer, int bufferCount) {
  if (!text || !buffer || bufferCount <= 0) return 0;
  return WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, bufferCount, nullptr, nullptr);
}

void GlyphFont::Clear() {
  mGlyphs.clear();
  mFirstGlyphOf.clear();
}

void GlyphFont::Reset() {
  Clear();
  mImage = nullptr;
}

void GlyphFont::SetImage(Kit::Image* image) {
  if (image) mImage = image;
}

int GlyphFont::ParseRectField(std::u16string_view fieldText, int index) {
  const int field = std::clamp(index, 1, 4);
  for (int skipped = 1; skipped < field; ++skipped) {
    const std::size_t comma = fieldText.find(u',');
    if (comma == std::u16string_view::npos) return 0;
    fieldText.remove_prefix(comma + 1);
  }
  if (field < 4) fieldText = fieldText.substr(0, fieldText.find(u','));
  return WideToInt(fieldText);
}

bool GlyphFont::ParseLine(std::u16string_view line, GlyphRecord& record) {
  const std::size_t open = line.rfind(u'(');
  const std::size_t close = line.rfind(u')');
  if (line.empty() || open == std::u16string_view::npos || close == std::u16string_view::npos) return false;
  // The fields run from after the last "(" up to the line's last character, normally the ")".
  const std::size_t fieldsEnd = line.size() - 1;
  const std::u16string_view fields = open + 1 < fieldsEnd ? line.substr(open + 1, fieldsEnd - open - 1) : u"";
  record.mCharacter = line[0];
  record.mX = ParseRectField(fields, 1);
  record.mY = ParseRectField(fields, 2);
  record.mWidth = ParseRectField(fields, 3);
  record.mHeight = ParseRectField(fields, 4);
  return true;
}

void GlyphFont::Append(const GlyphRecord& record) {
  mFirstGlyphOf.try_emplace(record.mCharacter, mGlyphs.size());
  mGlyphs.push_back(record);
}

void GlyphFont::LoadFile(std::string path) {
  std::string text;
  if (plat::ReadWholeFile(plat::MapPath(path), &text, kMaxGlyphTableBytes) != plat::FileReadResult::kRead) return;
  TextLineReader lines(text, kMaxLineChars);
  std::string line;
  WCHAR wide[kMaxLineChars];
  for (TextLineReader::Result result; (result = lines.Next(line)) != TextLineReader::kEnd;) {
    if (result == TextLineReader::kTooLong || line.empty()) continue;
    const int count = MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), wide, kMaxLineChars);
    GlyphRecord record;
    if (count > 0 && ParseLine(std::u16string_view(wide, count), record)) Append(record);
  }
}

const GlyphRecord* GlyphFont::FindGlyph(std::uint16_t character) const {
  const auto found = mFirstGlyphOf.find(character);
  return found == mFirstGlyphOf.end() ? nullptr : &mGlyphs[found->second];
}

void GlyphFont::DrawString(Kit::Graphics* g, std::u16string text, float x, float y) const {
  if (!g) return;
  if (!mImage) {
    Beep(kNoImageBeep, kNoImageBeep);
    return;
  }
  if (mGlyphs.empty()) {
    Beep(kNoGlyphsBeep, kNoGlyphsBeep);
    return;
  }
  int penX = plat::ClampToInt(x);
  const int penY = plat::ClampToInt(y);
  for (char16_t character : text) {
    const GlyphRecord* glyph = FindGlyph(character);
    if (!glyph) continue;
    g->DrawImage(mImage, penX, penY, Kit::Rect(glyph->mX, glyph->mY, glyph->mWidth, glyph->mHeight));
    penX = plat::ClampToInt(static_cast<double>(penX) + glyph->mWidth);  // held at the int range
  }
}
