// The GDI calls themselves: handles checked, state kept per device context, text drawn by the
// rasterizer.
#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/DeviceContexts.h"
#include "platform/gdi/FontTable.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/TextRasterizer.h"
#include "platform/util/ClampToInt.h"

using plat::gdi::DeviceContextState;

namespace {

// A copy of the context's state; false for an unknown handle.
bool StateOf(HDC dc, DeviceContextState& state) {
  return plat::gdi::WithContext(dc, [&](DeviceContextState& live) { state = live; });
}

int TextLength(LPCSTR text, int length) {
  if (!text) return 0;
  return length < 0 ? plat::ClampToInt(std::strlen(text)) : length;
}

}  // namespace

HFONT CreateFontIndirectA(const LOGFONTA* logFont) {
  if (!logFont) return nullptr;
  return plat::gdi::AddFont(std::make_shared<plat::gdi::GdiFont>(*logFont));
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCSTR faceName) {
  LOGFONTA logFont{};
  logFont.lfHeight = height;
  logFont.lfWidth = width;
  logFont.lfEscapement = escapement;
  logFont.lfOrientation = orientation;
  logFont.lfWeight = weight;
  logFont.lfItalic = static_cast<BYTE>(italic);
  logFont.lfUnderline = static_cast<BYTE>(underline);
  logFont.lfStrikeOut = static_cast<BYTE>(strikeOut);
  logFont.lfCharSet = static_cast<BYTE>(charSet);
  logFont.lfOutPrecision = static_cast<BYTE>(outPrecision);
  logFont.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  logFont.lfQuality = static_cast<BYTE>(quality);
  logFont.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (faceName) std::strncpy(logFont.lfFaceName, faceName, LF_FACESIZE - 1);
  return CreateFontIndirectA(&logFont);
}

int GetObjectA(HANDLE object, int size, LPVOID buffer) {
  auto font = plat::gdi::FindFont(static_cast<HGDIOBJ>(object));
  if (!font) return 0;
  if (!buffer) return static_cast<int>(sizeof(LOGFONTA));
  const int copied = std::clamp(size, 0, static_cast<int>(sizeof(LOGFONTA)));
  std::memcpy(buffer, &font->LogFont(), static_cast<std::size_t>(copied));
  return copied;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  auto font = plat::gdi::FindFont(object);
  if (!font) return nullptr;
  HGDIOBJ previous = nullptr;
  if (!plat::gdi::WithContext(dc, [&](DeviceContextState& state) {
        previous = plat::gdi::HandleOf(state.font.get());
        state.font = font;
      }))
    return nullptr;
  return previous;
}

BOOL DeleteObject(HGDIOBJ object) { return plat::gdi::RemoveFont(object) ? TRUE : FALSE; }

HDC GetDC(HWND) { return plat::gdi::OpenWindowContext(); }

int ReleaseDC(HWND, HDC dc) { return plat::gdi::CloseWindowContext(dc) ? 1 : 0; }

int GetDeviceCaps(HDC dc, int index) {
  DeviceContextState state;
  if (!StateOf(dc, state)) return 0;
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
      return 96;
    case BITSPIXEL:
      if (const plat::SurfaceDC* surface = plat::SurfaceDCOf(dc))
        return static_cast<int>(surface->format.dwRGBBitCount);
      return 32;
    default:
      return 0;
  }
}

int SetBkMode(HDC dc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  int previous = 0;
  plat::gdi::WithContext(dc, [&](DeviceContextState& state) {
    previous = state.bkMode;
    state.bkMode = mode;
  });
  return previous;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
  COLORREF previous = CLR_INVALID;
  plat::gdi::WithContext(dc, [&](DeviceContextState& state) {
    previous = state.textColor;
    state.textColor = color & 0xFFFFFF;
  });
  return previous;
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  int result = RGN_ERROR;
  plat::gdi::WithContext(dc, [&](DeviceContextState& state) {
    RECT wanted{left, top, std::max(left, right), std::max(top, bottom)};
    if (state.clipped) {
      wanted.left = std::max(wanted.left, state.clip.left);
      wanted.top = std::max(wanted.top, state.clip.top);
      wanted.right = std::max(wanted.left, std::min(wanted.right, state.clip.right));
      wanted.bottom = std::max(wanted.top, std::min(wanted.bottom, state.clip.bottom));
    }
    state.clip = wanted;
    state.clipped = true;
    result = wanted.left < wanted.right && wanted.top < wanted.bottom ? SIMPLEREGION : NULLREGION;
  });
  return result;
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
  if (length < 0 || (length > 0 && !text)) return FALSE;
  DeviceContextState state;
  if (!StateOf(dc, state)) return FALSE;
  const plat::SurfaceDC* surface = plat::SurfaceDCOf(dc);
  if (!surface) return FALSE;
  return plat::gdi::RasterizeText(*surface, state, x, y, text, length) ? TRUE : FALSE;
}

BOOL GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics) {
  DeviceContextState state;
  if (!metrics || !StateOf(dc, state) || !state.font) return FALSE;
  *metrics = state.font->Metrics();
  return TRUE;
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size) {
  DeviceContextState state;
  if (!size || length < 0 || (length > 0 && !text) || !StateOf(dc, state) || !state.font) return FALSE;
  size->cx = state.font->TextWidth(text, length);
  size->cy = state.font->Metrics().tmHeight;
  return TRUE;
}

int DrawTextExA(HDC dc, LPSTR text, int length, LPRECT rect, UINT format, LPDRAWTEXTPARAMS) {
  DeviceContextState state;
  if (!rect || format != (DT_CALCRECT | DT_NOPREFIX) || !StateOf(dc, state) || !state.font) return 0;
  const int size = TextLength(text, length);

  // The lines as they would show, broken at newlines.
  std::vector<std::string> lines(1);
  for (int i = 0; i < size; ++i) {
    const char c = text[i];
    if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < size && text[i + 1] == '\n') ++i;
      lines.emplace_back();
      continue;
    }
    lines.back() += c;
  }

  long long widest = 0;
  for (const std::string& line : lines)
    widest = std::max<long long>(widest, state.font->TextWidth(line.data(), static_cast<int>(line.size())));
  const long long height =
      static_cast<long long>(state.font->Metrics().tmHeight) * static_cast<long long>(lines.size());
  rect->right = plat::ClampToInt(rect->left + widest);
  rect->bottom = plat::ClampToInt(rect->top + height);
  return plat::ClampToInt(height);
}

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const long long product = static_cast<long long>(number) * numerator;
  const long long magnitude = product < 0 ? -product : product;
  const long long divisor = denominator < 0 ? -static_cast<long long>(denominator) : denominator;
  // Rounded half away from zero.
  long long result = (magnitude + divisor / 2) / divisor;
  if ((product < 0) != (denominator < 0)) result = -result;
  if (result > INT_MAX || result < INT_MIN) return -1;
  return static_cast<int>(result);
}

namespace plat {

void ForgetDeviceContext(HDC dc) { gdi::ForgetContext(dc); }

}  // namespace plat
