// Drawing for the layer's own windows and controls: a view of a window's 32-bit canvas with an
// origin and a clip, plain fills, the sunken and raised edges of the classic look, and text in a GDI
// font through the layer's FreeType rasterizer. Internal to the layer.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/win/Types.h"

namespace plat {

namespace gdi {
class GdiFont;
}

// The font a control draws with: its WM_SETFONT font while that exists, else the layer's
// "MS Sans Serif" of 8 points.
[[nodiscard]] std::shared_ptr<gdi::GdiFont> ControlFont(HFONT font);
[[nodiscard]] int TextWidthOf(gdi::GdiFont& font, std::string_view text);

class ControlCanvas {
 public:
  // The whole canvas: pixels are 0x00RRGGBB, width x height, row after row.
  ControlCanvas(std::uint32_t* pixels, int width, int height);

  // The view of a window whose top left lies at origin (in this view's coordinates), clipped to its
  // size and to this view.
  ControlCanvas Inside(POINT origin, int width, int height) const;

  void Fill(const RECT& rect, COLORREF color);
  // A one-pixel outline.
  void Outline(const RECT& rect, COLORREF color);
  // Two-pixel edges of the classic look, drawn just inside rect.
  void SunkenEdge(const RECT& rect);
  void RaisedEdge(const RECT& rect, bool pressed);
  // The dotted rectangle around a focused item.
  void FocusRect(const RECT& rect);
  // Text with the top of its cell at (x, y), clipped to clip as well as the view.
  void Text(int x, int y, std::string_view text, gdi::GdiFont& font, COLORREF color, const RECT& clip);
  void Text(int x, int y, std::string_view text, gdi::GdiFont& font, COLORREF color);

 private:
  ControlCanvas(std::uint32_t* pixels, int canvasWidth, int canvasHeight, POINT origin, RECT clip);
  void Put(int x, int y, COLORREF color);  // view coordinates, clipped

  std::uint32_t* mPixels;
  int mCanvasWidth;
  int mCanvasHeight;
  POINT mOrigin;  // of the view, in canvas coordinates
  RECT mClip;     // in canvas coordinates
};

}  // namespace plat
