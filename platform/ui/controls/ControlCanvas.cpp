#include "platform/ui/controls/ControlCanvas.h"

#include <algorithm>
#include <cstring>

#include "platform/ddraw/SurfaceDC.h"
#include "platform/gdi/FontTable.h"
#include "platform/gdi/TextRasterizer.h"
#include "platform/ui/controls/Controls.h"

namespace plat {
namespace {

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

std::uint32_t ToPixel(COLORREF color) {
  return (static_cast<std::uint32_t>(GetRValue(color)) << 16) | (static_cast<std::uint32_t>(GetGValue(color)) << 8) |
         GetBValue(color);
}

}  // namespace

std::shared_ptr<gdi::GdiFont> ControlFont(HFONT font) {
  if (font) {
    if (auto found = gdi::FindFont(reinterpret_cast<HGDIOBJ>(font))) return found;
  }
  static const std::shared_ptr<gdi::GdiFont> fallback = [] {
    LOGFONTA logFont{};
    logFont.lfHeight = -11;
    logFont.lfWeight = FW_NORMAL;
    std::strcpy(logFont.lfFaceName, "MS Sans Serif");
    return std::make_shared<gdi::GdiFont>(logFont);
  }();
  return fallback;
}

int TextWidthOf(gdi::GdiFont& font, std::string_view text) {
  return font.TextWidth(text.data(), static_cast<int>(text.size()));
}

ControlCanvas::ControlCanvas(std::uint32_t* pixels, int width, int height)
    : ControlCanvas(pixels, width, height, POINT{0, 0}, RECT{0, 0, width, height}) {}

ControlCanvas::ControlCanvas(std::uint32_t* pixels, int canvasWidth, int canvasHeight, POINT origin, RECT clip)
    : mPixels(pixels), mCanvasWidth(canvasWidth), mCanvasHeight(canvasHeight), mOrigin(origin), mClip(clip) {}

ControlCanvas ControlCanvas::Inside(POINT origin, int width, int height) const {
  POINT at{mOrigin.x + origin.x, mOrigin.y + origin.y};
  RECT area{at.x, at.y, at.x + std::max(width, 0), at.y + std::max(height, 0)};
  return ControlCanvas(mPixels, mCanvasWidth, mCanvasHeight, at, Intersect(mClip, area));
}

void ControlCanvas::Put(int x, int y, COLORREF color) {
  const LONG cx = mOrigin.x + x, cy = mOrigin.y + y;
  if (cx < mClip.left || cx >= mClip.right || cy < mClip.top || cy >= mClip.bottom) return;
  mPixels[static_cast<std::size_t>(cy) * mCanvasWidth + cx] = ToPixel(color);
}

void ControlCanvas::Fill(const RECT& rect, COLORREF color) {
  RECT area = Intersect(
      RECT{rect.left + mOrigin.x, rect.top + mOrigin.y, rect.right + mOrigin.x, rect.bottom + mOrigin.y}, mClip);
  const std::uint32_t pixel = ToPixel(color);
  for (LONG y = area.top; y < area.bottom; ++y)
    std::fill_n(mPixels + static_cast<std::size_t>(y) * mCanvasWidth + area.left, area.right - area.left, pixel);
}

void ControlCanvas::Outline(const RECT& rect, COLORREF color) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  Fill(RECT{rect.left, rect.top, rect.right, rect.top + 1}, color);
  Fill(RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, color);
  Fill(RECT{rect.left, rect.top, rect.left + 1, rect.bottom}, color);
  Fill(RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, color);
}

namespace {

// One ring of an edge: the top and left sides in one colour, the bottom and right in another.
void Ring(ControlCanvas& canvas, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  canvas.Fill(RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
  canvas.Fill(RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
  canvas.Fill(RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  canvas.Fill(RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

}  // namespace

void ControlCanvas::SunkenEdge(const RECT& rect) {
  Ring(*this, rect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
  Ring(*this, RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1}, GetSysColor(COLOR_3DDKSHADOW),
       GetSysColor(COLOR_3DLIGHT));
}

void ControlCanvas::RaisedEdge(const RECT& rect, bool pressed) {
  if (pressed) {
    Outline(rect, GetSysColor(COLOR_3DDKSHADOW));
    Outline(RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1}, GetSysColor(COLOR_BTNSHADOW));
    return;
  }
  Ring(*this, rect, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
  Ring(*this, RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1}, GetSysColor(COLOR_3DLIGHT),
       GetSysColor(COLOR_BTNSHADOW));
}

void ControlCanvas::FocusRect(const RECT& rect) {
  const COLORREF color = GetSysColor(COLOR_WINDOWTEXT);
  for (LONG x = rect.left; x < rect.right; x += 2) {
    Put(x, rect.top, color);
    Put(x, rect.bottom - 1, color);
  }
  for (LONG y = rect.top; y < rect.bottom; y += 2) {
    Put(rect.left, y, color);
    Put(rect.right - 1, y, color);
  }
}

void ControlCanvas::Text(int x, int y, std::string_view text, gdi::GdiFont& font, COLORREF color, const RECT& clip) {
  if (text.empty()) return;
  SurfaceDC surface;
  surface.pixels = reinterpret_cast<BYTE*>(mPixels);
  surface.pitch = mCanvasWidth * 4;
  surface.width = mCanvasWidth;
  surface.height = mCanvasHeight;
  surface.format.dwSize = sizeof(DDPIXELFORMAT);
  surface.format.dwRGBBitCount = 32;
  surface.format.dwRBitMask = 0xFF0000;
  surface.format.dwGBitMask = 0xFF00;
  surface.format.dwBBitMask = 0xFF;
  gdi::DeviceContextState state;
  state.font = std::shared_ptr<gdi::GdiFont>(std::shared_ptr<gdi::GdiFont>{}, &font);
  state.bkMode = TRANSPARENT;
  state.textColor = color;
  state.clipped = true;
  state.clip = Intersect(
      mClip, RECT{clip.left + mOrigin.x, clip.top + mOrigin.y, clip.right + mOrigin.x, clip.bottom + mOrigin.y});
  gdi::RasterizeText(surface, state, mOrigin.x + x, mOrigin.y + y, text.data(), static_cast<int>(text.size()));
}

void ControlCanvas::Text(int x, int y, std::string_view text, gdi::GdiFont& font, COLORREF color) {
  Text(x, y, text, font, color, RECT{-mOrigin.x, -mOrigin.y, mCanvasWidth - mOrigin.x, mCanvasHeight - mOrigin.y});
}

}  // namespace plat
