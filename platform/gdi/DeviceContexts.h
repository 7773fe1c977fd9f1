// What the GDI layer keeps per device context: the selected font, background mode and colour, text
// colour and clip rectangle. A window's context lives from GetDC to ReleaseDC; a surface's context
// (one a DirectDraw surface handed out) from its first use to the surface's ReleaseDC.
#pragma once

#include <functional>
#include <memory>

#include "platform/gdi/GdiFont.h"

namespace plat::gdi {

struct DeviceContextState {
  std::shared_ptr<GdiFont> font;
  int bkMode = OPAQUE;
  COLORREF bkColor = RGB(255, 255, 255);
  COLORREF textColor = RGB(0, 0, 0);
  bool clipped = false;
  RECT clip{};  // when clipped
};

[[nodiscard]] HDC OpenWindowContext();
bool CloseWindowContext(HDC dc);
// Runs use on the context's state under the table's lock; false (use not run) for a handle that is
// neither an open window context nor a live surface context.
bool WithContext(HDC dc, const std::function<void(DeviceContextState&)>& use);
void ForgetContext(HDC dc);

}  // namespace plat::gdi
