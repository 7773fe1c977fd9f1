// Message boxes: an SDL message box on a desktop with a display, else the layer's own painted box
// (where SDL's cannot be shown: no zenity, no X core fonts), standard error without a display, and in
// tests a scripted answer with a log of everything shown. While a box is up, a termination request
// ends the program, and the box goes with the program however it ends. Callable from any thread; the
// painted box needs the main thread's pump, as every window the layer paints.
#pragma once

#include <string>
#include <vector>

#include "platform/util/ScopedValue.h"
#include "platform/win/Types.h"

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONSTOP = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Texts are in the 8-bit code page. Without a display the box goes to standard error and the
// default button answers.
int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

namespace plat {

struct ShownMessageBox {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
  int answer;
};

// Test seam: while alive, message boxes are not shown; each takes the next scripted answer (the
// default button's once the script is used up) and is logged.
class ScopedMessageBoxScript {
 public:
  explicit ScopedMessageBoxScript(std::vector<int> answers = {});
  ~ScopedMessageBoxScript();
  ScopedMessageBoxScript(const ScopedMessageBoxScript&) = delete;
  ScopedMessageBoxScript& operator=(const ScopedMessageBoxScript&) = delete;

  std::vector<ShownMessageBox> Shown() const;
};

// Test seam: whether message boxes are shown in the layer's painted box, as where SDL's cannot be
// shown, whatever the video driver (the dummy driver of headless tests too); returns what held before.
bool SetPaintedMessageBoxesOnly(bool paintedOnly);

// The painted box while alive.
class ScopedPaintedMessageBoxes : public ScopedValue<bool, SetPaintedMessageBoxesOnly> {
 public:
  ScopedPaintedMessageBoxes() : ScopedValue(true) {}
};

// The button ids a box of this type offers, in order.
std::vector<int> MessageBoxButtons(UINT type);
// The first button: what a box answers with nobody to press one.
int DefaultMessageBoxAnswer(UINT type);

}  // namespace plat
