// BUTTON: a push button (and the default push button, framed in black). A click is a press and a
// release over the button, by mouse or with the space bar; the parent hears BN_CLICKED.
#include "platform/gdi/GdiFont.h"
#include "platform/ui/controls/Control.h"
#include "platform/win/input/VirtualKeys.h"

namespace plat {
namespace {

class Button final : public Control {
 public:
  using Control::Control;

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_GETDLGCODE:
        return DLGC_BUTTON | ((Style() & 0xF) == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        SetFocus(Window());
        SetCapture(Window());
        mTracking = true;
        SetPressed(true);
        return 0;
      case WM_MOUSEMOVE:
        if (mTracking) SetPressed(Inside(lParam));
        return 0;
      case WM_LBUTTONUP: {
        if (!mTracking) return 0;
        const bool click = Inside(lParam);
        EndPress();
        if (click) Notify(BN_CLICKED);
        return 0;
      }
      case WM_CAPTURECHANGED:
        if (mTracking) EndPress();
        return 0;
      case WM_KEYDOWN:
        if (wParam == VK_SPACE && !mTracking) SetPressed(true);
        return 0;
      case WM_KEYUP:
        if (wParam == VK_SPACE && mPressed && !mTracking) {
          SetPressed(false);
          Notify(BN_CLICKED);
        }
        return 0;
      case WM_KILLFOCUS:
        if (mPressed && !mTracking) SetPressed(false);
        return Control::Handle(message, wParam, lParam);
      case BM_CLICK:
        if (Enabled()) Notify(BN_CLICKED);
        return 0;
      case BM_GETSTATE:
        return (mPressed ? BST_PUSHED : 0) | (Focused() ? BST_FOCUS : 0);
      case BM_SETSTATE:
        SetPressed(wParam != 0);
        return 0;
      case BM_SETSTYLE:
        SetWindowLongPtr(Window(), GWL_STYLE, static_cast<LONG_PTR>((Style() & ~0xFFFFu) | (wParam & 0xFFFF)));
        if (lParam) Invalidate();
        return 0;
      default:
        return Control::Handle(message, wParam, lParam);
    }
  }

  void Paint(ControlCanvas& canvas, int width, int height) override {
    RECT face{0, 0, width, height};
    canvas.Fill(face, GetSysColor(COLOR_BTNFACE));
    const bool isDefault = (Style() & 0xF) == BS_DEFPUSHBUTTON || (Focused() && !mPressed);
    if (isDefault) {
      canvas.Outline(face, GetSysColor(COLOR_WINDOWTEXT));
      face = RECT{1, 1, width - 1, height - 1};
    }
    canvas.RaisedEdge(face, mPressed);
    auto font = Font();
    const std::string text = Text();
    const int shift = mPressed ? 1 : 0;
    const int textWidth = TextWidthOf(*font, text);
    const int x = (width - textWidth) / 2 + shift;
    const int y = (height - font->Metrics().tmHeight) / 2 + shift;
    const RECT inner{2, 2, width - 2, height - 2};
    if (Enabled()) {
      canvas.Text(x, y, text, *font, GetSysColor(COLOR_BTNTEXT), inner);
    } else {
      // Etched: a white copy beneath, then grey.
      canvas.Text(x + 1, y + 1, text, *font, GetSysColor(COLOR_BTNHIGHLIGHT), inner);
      canvas.Text(x, y, text, *font, GetSysColor(COLOR_GRAYTEXT), inner);
    }
    if (Focused()) canvas.FocusRect(RECT{4, 4, width - 4, height - 4});
  }

 private:
  bool Inside(LPARAM lParam) const {
    RECT client;
    GetClientRect(Window(), &client);
    return PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE;
  }
  void SetPressed(bool pressed) {
    if (pressed == mPressed) return;
    mPressed = pressed;
    Invalidate();
  }
  void EndPress() {
    mTracking = false;
    SetPressed(false);
    if (GetCapture() == Window()) ReleaseCapture();
  }

  bool mPressed = false;
  bool mTracking = false;
};

}  // namespace

std::unique_ptr<Control> MakeButton(HWND window) { return std::make_unique<Button>(window); }

}  // namespace plat
