// Opens the layer's own windows for a person to try: a window with every kind of standard control
// (push and default buttons, a disabled one, a label, single- and multi-line edit boxes, a read-only
// report, a list box with scroll bars), a modal dialog made from a template in memory, and the crash
// handler's error window on a thread of its own.
//
//   windows_show                   the controls window; close it to end
//   windows_show --shoot <folder>  shows the crash window and the dialog, reads back what each SDL
//                                  window holds, writes "crash.png" and "dialog.png" and checks them
//
// Exit status: 0 when everything was shown as laid out, 1 when not, 77 when there is no display.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "framework/app/crash/CrashHandler.h"
#include "framework/resource/Image.h"
#include "framework/resource/PNGWriter.h"
#include "platform/Windows.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/dialogs/DialogTemplateWriter.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/window/WindowPixels.h"

namespace {

constexpr int kSkipped = 77;
constexpr int kDialogButton = 10, kCrashButton = 11;

HWND MakeChild(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int width, int height,
               int id, HFONT font = nullptr, DWORD exStyle = 0) {
  HWND child = CreateWindowEx(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                              reinterpret_cast<HMENU>(static_cast<LONG_PTR>(id)), nullptr, nullptr);
  if (font) SendMessage(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

HWND MakeTopLevel(const char* className, WNDPROC proc, const char* title, DWORD style, int x, int y, int width,
                  int height) {
  WNDCLASS windowClass{};
  windowClass.lpfnWndProc = proc;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = className;
  RegisterClass(&windowClass);
  RECT outer{0, 0, width, height};
  AdjustWindowRect(&outer, style, FALSE);
  return CreateWindowEx(0, className, title, style, x, y, outer.right - outer.left, outer.bottom - outer.top, nullptr,
                        nullptr, nullptr, nullptr);
}

HFONT Font(int points, int weight, const char* face) {
  return CreateFontA(-MulDiv(points, 96, 72), 0, 0, 0, weight, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

// The crash handler's own error window, with a report of the usual shape, on a thread of its own as
// after a fault. Without an application object it offers "Close Now" only.
void RunCrashWindow() {
  std::string report =
      "Exception: Access Violation (code 0xc0000005) at address 000000000040123A in thread 1F4\r\n"
      "Module: quarvel\r\nLogical Address: 0010:000000000000023A\r\n\r\n";
  for (int frame = 0; frame < 12; ++frame)
    report += "000000000040123A 00007FFC1234FF70 0010:000000000000023A quarvel\r\n";
  report += "\r\nRAX:0000000000000000 RBX:00007FFDF0001000 RCX:00007FFC1234FF4C\r\n";
  Kit::CrashHandler::mExitLoop = false;
  Kit::CrashHandler::ShowErrorWindow("Exception at 0010:000000000000023A", report);
}

// The crash window once it is up (the newest window titled "Fatal Error!"), or nullptr.
HWND ShownCrashWindow() {
  HWND window = GetForegroundWindow();
  char title[32] = {};
  if (window == nullptr || GetWindowText(window, title, sizeof(title)) == 0) return nullptr;
  return std::strcmp(title, "Fatal Error!") == 0 && IsWindowVisible(window) ? window : nullptr;
}

// The dialog: a template in a global memory block, as the demo playback dialogs make theirs.
struct DialogScript {
  bool shoot = false;
  std::string folder;
  bool ok = true;
};
DialogScript gDialog;

bool Shoot(HWND window, const std::string& file, plat::WindowPixels* pixels);

INT_PTR TryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemText(dialog, 100, "1:30");
      SendDlgItemMessage(dialog, 100, EM_SETSEL, 0, -1);
      for (const char* line : {"Level start (00:01:30)", "Boss (00:00:45)", "Last ball (00:00:05)"})
        SendDlgItemMessage(dialog, 101, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
      SendDlgItemMessage(dialog, 101, LB_SETCURSEL, 1, 0);
      if (gDialog.shoot) SetTimer(dialog, 1, 400, nullptr);
      return TRUE;
    case WM_TIMER: {
      KillTimer(dialog, 1);
      plat::WindowPixels pixels;
      gDialog.ok = Shoot(dialog, gDialog.folder + "/dialog.png", &pixels);
      RECT edit;
      GetClientRect(GetDlgItem(dialog, 100), &edit);
      POINT field{edit.right / 2, edit.bottom - 4};
      ClientToScreen(GetDlgItem(dialog, 100), &field);
      ScreenToClient(dialog, &field);
      if (gDialog.ok && pixels.At(field.x, field.y) != 0xFFFFFFFFu) {
        std::fprintf(stderr, "dialog: the edit box's field is not white\n");
        gDialog.ok = false;
      }
      EndDialog(dialog, IDOK);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR RunDialog(HWND owner) {
  plat::DialogTemplateWriter writer(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 20, 20, 200, 120,
                                    "Try a dialog", 8, "Tahoma");
  writer.AddItem(WS_VISIBLE | SS_LEFT, 0, 5, 5, 190, 10, 102, "STATIC", "Time before the end (h:m:s):");
  writer.AddItem(WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 5, 16, 190, 13, 100, "EDIT", "");
  writer.AddItem(WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY, WS_EX_CLIENTEDGE, 5, 34, 190, 60, 101, "LISTBOX",
                 "");
  writer.AddItem(WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 30, 100, 60, 15, IDOK, "BUTTON", "Ok");
  writer.AddItem(WS_VISIBLE | WS_TABSTOP, 0, 110, 100, 60, 15, IDCANCEL, "BUTTON", "Cancel");
  HGLOBAL block = GlobalAlloc(GHND, 1024);
  void* bytes = GlobalLock(block);
  std::memcpy(bytes, writer.Bytes().data(), writer.Bytes().size());
  const INT_PTR result = DialogBoxIndirectParam(nullptr, static_cast<LPCDLGTEMPLATE>(bytes), owner, TryDialogProc, 0);
  GlobalUnlock(block);
  GlobalFree(block);
  return result;
}

// The controls window.
LRESULT ControlsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      PostQuitMessage(0);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kDialogButton && HIWORD(wParam) == BN_CLICKED) RunDialog(window);
      if (LOWORD(wParam) == kCrashButton && HIWORD(wParam) == BN_CLICKED) {
        plat::StartThread(RunCrashWindow).detach();
      }
      return 0;
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

int RunControlsWindow() {
  HWND window = MakeTopLevel("ControlsShow", ControlsProc, "Standard controls", WS_POPUP | WS_CAPTION | WS_SYSMENU, 80,
                             80, 520, 360);
  HFONT font = Font(8, FW_NORMAL, "Tahoma");
  MakeChild(window, "STATIC", "Buttons, edit boxes and a list box, drawn by the platform layer.", SS_LEFT, 10, 10, 500,
            16, 1, font);
  MakeChild(window, "BUTTON", "Dialog...", BS_DEFPUSHBUTTON, 10, 34, 110, 24, kDialogButton, font);
  MakeChild(window, "BUTTON", "Crash window...", BS_PUSHBUTTON, 130, 34, 110, 24, kCrashButton, font);
  MakeChild(window, "BUTTON", "Disabled", BS_PUSHBUTTON | WS_DISABLED, 250, 34, 110, 24, 3, font);
  MakeChild(window, "EDIT", "Type here", WS_BORDER | ES_AUTOHSCROLL, 10, 70, 350, 22, 4, font);
  MakeChild(window, "EDIT", "A multi-line box:\r\nwrapped at words, with a scroll bar.", ES_MULTILINE | WS_VSCROLL, 10,
            100, 240, 120, 5, font, WS_EX_CLIENTEDGE);
  std::string report;
  for (int line = 1; line <= 30; ++line) report += "Read-only line " + std::to_string(line) + "\r\n";
  MakeChild(window, "EDIT", report.c_str(), ES_MULTILINE | ES_READONLY | WS_BORDER | WS_VSCROLL, 260, 100, 250, 120, 6,
            font);
  HWND list = MakeChild(window, "LISTBOX", "", LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL, 10, 230, 500, 120, 7, font,
                        WS_EX_CLIENTEDGE);
  for (int item = 1; item <= 40; ++item) {
    const std::string line =
        "Item " + std::to_string(item) + ": a list line long enough to need the horizontal scroll bar of its list box";
    SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
  SendMessage(list, LB_SETHORIZONTALEXTENT, 700, 0);
  ShowWindow(window, SW_SHOWNORMAL);
  MSG msg;
  while (GetMessage(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  DestroyWindow(window);
  DeleteObject(font);
  return 0;
}

bool Shoot(HWND window, const std::string& file, plat::WindowPixels* pixels) {
  plat::WindowPixels drawn;
  if (!plat::ReadSdlWindowPixels(window, pixels) || !plat::ReadWindowPixels(window, &drawn)) {
    std::fprintf(stderr, "%s: the window shows nothing\n", file.c_str());
    return false;
  }
  if (pixels->width != drawn.width || pixels->height != drawn.height || pixels->argb != drawn.argb) {
    std::fprintf(stderr, "%s: the window does not show what was drawn\n", file.c_str());
    return false;
  }
  ImageLib::Image image;
  if (!image.Allocate(pixels->width, pixels->height)) return false;
  std::memcpy(image.GetBits(), pixels->argb.data(), pixels->argb.size() * 4);
  if (!ImageLib::WritePNGImage(file, image)) {
    std::fprintf(stderr, "%s: cannot be written\n", file.c_str());
    return false;
  }
  return true;
}

bool Expect(const plat::WindowPixels& pixels, int x, int y, COLORREF color, const char* what) {
  const std::uint32_t wanted = 0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
  if (pixels.At(x, y) == wanted) return true;
  std::fprintf(stderr, "crash window: %s at (%d, %d) is %08X, not %08X\n", what, x, y, pixels.At(x, y), wanted);
  return false;
}

int ShootAll(const std::string& folder) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) return kSkipped;
  bool ok = true;

  std::thread crashing = plat::StartThread(RunCrashWindow);
  HWND crash = nullptr;
  for (const DWORD until = GetTickCount() + 5000; crash == nullptr && GetTickCount() < until; Sleep(5))
    crash = ShownCrashWindow();
  if (crash == nullptr) {
    std::fprintf(stderr, "crash window: not shown\n");
    crashing.detach();
    return 1;
  }
  for (DWORD settle = GetTickCount() + 400; GetTickCount() < settle;) {
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    Sleep(5);
  }
  plat::WindowPixels pixels;
  if (Shoot(crash, folder + "/crash.png", &pixels)) {
    ok &= Expect(pixels, 300, 50, GetSysColor(COLOR_BTNFACE), "the read-only heading's face");
    ok &= Expect(pixels, 8, 150, GetSysColor(COLOR_WINDOWFRAME), "the report's border");
    ok &= Expect(pixels, 8, 268, GetSysColor(COLOR_WINDOWTEXT), "the default button's frame");
    ok &= Expect(pixels, 395, 150, GetSysColor(COLOR_BTNFACE), "the margin beside the report");
  } else {
    ok = false;
  }
  PostMessage(crash, WM_CLOSE, 0, 0);
  crashing.join();

  gDialog.shoot = true;
  gDialog.folder = folder;
  if (RunDialog(nullptr) != IDOK) ok = false;
  ok &= gDialog.ok;
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--shoot") == 0) return ShootAll(argv[2]);
  if (argc != 1) {
    std::fprintf(stderr, "usage: windows_show [--shoot <folder>]\n");
    return 2;
  }
  return RunControlsWindow();
}
