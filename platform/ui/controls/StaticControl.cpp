// STATIC: text on the dialog's face, wrapped at words, left, centred or right aligned; grey when
// disabled. It takes no focus and no input.
#include "platform/gdi/GdiFont.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/controls/TextWrap.h"

namespace plat {
namespace {

class Static final : public Control {
 public:
  using Control::Control;

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_GETDLGCODE) return DLGC_STATIC;
    return Control::Handle(message, wParam, lParam);
  }

  void Paint(ControlCanvas& canvas, int width, int height) override {
    canvas.Fill(RECT{0, 0, width, height}, GetSysColor(COLOR_BTNFACE));
    auto font = Font();
    const std::string text = Text();
    const int lineHeight = font->Metrics().tmHeight;
    const COLORREF color = Enabled() ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
    int y = 0;
    for (const TextLine& line : WrapText(*font, text, width)) {
      std::string_view shown = std::string_view(text).substr(line.start, line.length);
      const int lineWidth = TextWidthOf(*font, shown);
      int x = 0;
      if ((Style() & 0x3) == SS_CENTER) x = (width - lineWidth) / 2;
      if ((Style() & 0x3) == SS_RIGHT) x = width - lineWidth;
      canvas.Text(x, y, shown, *font, color);
      y += lineHeight;
      if (y >= height) break;
    }
  }
};

}  // namespace

std::unique_ptr<Control> MakeStatic(HWND window) { return std::make_unique<Static>(window); }

}  // namespace plat
