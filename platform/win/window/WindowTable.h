// The layer's records of every window: the state that the window calls read and change. Internal to
// the layer; callers outside platform/win use the Windows calls of Window.h.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win/window/Window.h"

struct SDL_Window;

namespace plat {

struct WindowClassRecord {
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  HICON icon = nullptr;
};

struct WindowRecord {
  HWND handle = nullptr;
  WindowClassRecord windowClass;
  WNDPROC proc = nullptr;
  std::string title;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;
  RECT windowRect{};  // outer rectangle, screen coordinates (parent client coordinates for children)
  RECT normalRect{};  // the outer rectangle to restore to while minimised
  LONG_PTR userData = 0;
  LONG_PTR id = 0;  // a child's control id (the menu argument of CreateWindowEx)
  HINSTANCE instance = nullptr;
  bool visible = false;
  bool minimised = false;
  bool needsPaint = false;
  // A top-level window whose class has a background brush: the layer paints it and its controls
  // (PaintedWindows.h). The other windows with an SDL window show what DirectDraw presents.
  bool painted = false;
  SDL_Window* sdl = nullptr;
  std::thread::id owner;
};

// Whether the window's class has this name (letter case ignored, as class names are).
[[nodiscard]] bool IsOfClass(const WindowRecord& record, const std::string& className);

// Registers the window classes that the layer brings itself, the standard controls ("BUTTON", "EDIT",
// "LISTBOX", "STATIC"), which also draw the windows that the layer paints; once, before the first window
// is made. The controls draw through GDI, which stands on this room, so the layer's wiring at the top of
// platform/ (BuiltinWindowClasses.cpp) defines it.
void RegisterBuiltinWindowClasses();

// The frame that a window of the style puts around its client area.
[[nodiscard]] RECT FrameOf(DWORD style);
[[nodiscard]] RECT ClientRectOnScreenOf(const WindowRecord& record);

class WindowTable {
 public:
  static WindowTable& Instance();

  bool RegisterClass(const WindowClassRecord& windowClass);
  std::optional<WindowClassRecord> FindClass(const std::string& name);

  HWND Add(WindowRecord record);
  void Remove(HWND window);
  std::optional<WindowRecord> Find(HWND window);
  // Runs `change` on the record under the table's lock; false when the window does not exist.
  bool Update(HWND window, const std::function<void(WindowRecord&)>& change);
  std::vector<WindowRecord> All();
  HWND FindBySdl(SDL_Window* sdlWindow);
  // Whether `window` is `ancestor` or lies below it; read without copying records (the pump asks often).
  bool IsWithin(HWND window, HWND ancestor);
  // A visible window of the thread that waits for WM_PAINT and passes the filter, or null.
  HWND FirstNeedingPaint(std::thread::id owner, HWND filter);
  // The main window: the window with an SDL window that the layer does not paint, if any.
  HWND SdlBacked();
  // The children of a window in creation order (which is their drawing order).
  std::vector<WindowRecord> ChildrenOf(HWND parent);
  // The top-level window above a window (the window itself when it is one).
  HWND TopLevelOf(HWND window);

 private:
  std::mutex mLock;
  std::map<std::string, WindowClassRecord> mClasses;  // lower-case names
  std::map<HWND, WindowRecord> mWindows;
  std::uintptr_t mNextHandle = 0x10010;
};

}  // namespace plat
