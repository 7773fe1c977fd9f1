#include "platform/ui/controls/WindowComposition.h"

#include <algorithm>

#include "platform/ui/controls/Control.h"
#include "platform/win/window/PaintedWindows.h"
#include "platform/win/window/WindowTable.h"

namespace plat {
namespace {

// A class brush is a system colour index + 1, as window classes give it.
COLORREF BrushColor(HBRUSH brush) {
  const auto value = reinterpret_cast<LONG_PTR>(brush);
  if (value >= 1 && value <= 32) return GetSysColor(static_cast<int>(value - 1));
  return GetSysColor(COLOR_BTNFACE);
}

void PaintChildren(HWND parent, ControlCanvas& view) {
  for (const WindowRecord& child : WindowTable::Instance().ChildrenOf(parent)) {
    if (!child.visible) continue;
    const int width = child.windowRect.right - child.windowRect.left;
    const int height = child.windowRect.bottom - child.windowRect.top;
    ControlCanvas outer = view.Inside(POINT{child.windowRect.left, child.windowRect.top}, width, height);
    if (Control* control = FindControl(child.handle)) {
      control->Paint(outer, width, height);
    } else if (child.windowClass.background) {
      outer.Fill(RECT{0, 0, width, height}, BrushColor(child.windowClass.background));
    }
    const RECT frame = FrameOf(child.style);
    ControlCanvas client =
        outer.Inside(POINT{frame.left, frame.top}, width - frame.left - frame.right, height - frame.top - frame.bottom);
    PaintChildren(child.handle, client);
  }
}

}  // namespace

WindowPixels ComposeWindow(HWND window) {
  WindowPixels pixels;
  auto record = WindowTable::Instance().Find(window);
  if (!record) return pixels;
  const RECT client = ClientRectOnScreenOf(*record);
  pixels.width = std::min(static_cast<int>(client.right - client.left), kLargestPaintedSide);
  pixels.height = std::min(static_cast<int>(client.bottom - client.top), kLargestPaintedSide);
  const COLORREF face = BrushColor(record->windowClass.background);
  pixels.argb.assign(static_cast<std::size_t>(pixels.width) * pixels.height,
                     (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face));
  ControlCanvas canvas(pixels.argb.data(), pixels.width, pixels.height);
  PaintChildren(window, canvas);
  for (std::uint32_t& pixel : pixels.argb) pixel |= 0xFF000000u;
  return pixels;
}

}  // namespace plat
