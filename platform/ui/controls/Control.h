// The base of the layer's standard controls: one object per control window, made at WM_NCCREATE and
// gone after WM_NCDESTROY, that answers the control's messages and draws it into its top-level
// window's canvas. Only the control's own thread touches it. Internal to the layer.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/controls/ControlCanvas.h"
#include "platform/ui/controls/Controls.h"

namespace plat {

class Control {
 public:
  explicit Control(HWND window) : mWindow(window) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // The control's answer to a message; what it does not handle goes to DefWindowProc.
  virtual LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // Draws the whole window rectangle (width x height) into the view.
  virtual void Paint(ControlCanvas& canvas, int width, int height) = 0;

 protected:
  HWND Window() const { return mWindow; }
  DWORD Style() const;
  bool Enabled() const;
  bool Focused() const;
  std::string Text() const;
  // WM_COMMAND with the control's id and the code, sent to the parent.
  void Notify(WORD code);
  void Invalidate();
  std::shared_ptr<gdi::GdiFont> Font() const { return ControlFont(mFont); }
  HFONT mFont = nullptr;

 private:
  HWND mWindow;
};

// Null for windows that are not standard controls.
[[nodiscard]] Control* FindControl(HWND window);
// Registers "BUTTON", "EDIT", "LISTBOX" and "STATIC" once for the process, and has the windows the
// layer paints drawn with their controls (ComposeWindow).
void RegisterControlClasses();

// The controls themselves.
[[nodiscard]] std::unique_ptr<Control> MakeButton(HWND window);
[[nodiscard]] std::unique_ptr<Control> MakeStatic(HWND window);
[[nodiscard]] std::unique_ptr<Control> MakeEdit(HWND window);
[[nodiscard]] std::unique_ptr<Control> MakeListBox(HWND window);

}  // namespace plat
