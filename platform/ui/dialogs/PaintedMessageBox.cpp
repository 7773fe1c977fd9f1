#include "platform/ui/dialogs/PaintedMessageBox.h"

#include <algorithm>

#include "platform/gdi/GdiFont.h"
#include "platform/ui/controls/ControlCanvas.h"
#include "platform/ui/controls/TextWrap.h"
#include "platform/ui/dialogs/DialogTemplateWriter.h"
#include "platform/ui/dialogs/Dialogs.h"
#include "platform/win/process/Memory.h"
#include "platform/win/system/SystemInfo.h"

namespace plat {
namespace {

constexpr DWORD kBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
// Above a full-screen window, as a system message box is.
constexpr DWORD kBoxExStyle = WS_EX_TOPMOST;
constexpr WORD kTextId = 0xFFFF;
// In pixels.
constexpr int kMargin = 16;
constexpr int kWidestText = 480;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr int kButtonGap = 8;

struct BoxSetUp {
  const std::string* text;
  std::vector<MessageBoxButton> buttons;
  int closeAnswer;
};

// Sizes the text to its lines (wrapped at kWidestText), puts the buttons in a centred row below it,
// and the box in the middle of its owner, or of the screen.
void LayOut(HWND box, const BoxSetUp& setUp) {
  auto font = ControlFont(reinterpret_cast<HFONT>(SendMessage(box, WM_GETFONT, 0, 0)));
  const std::string& text = *setUp.text;
  const std::vector<TextLine> lines = WrapText(*font, text, kWidestText);
  int textWidth = 0;
  for (const TextLine& line : lines)
    textWidth = std::max(textWidth, TextWidthOf(*font, std::string_view(text).substr(line.start, line.length)));
  const int textHeight = static_cast<int>(lines.size()) * static_cast<int>(font->Metrics().tmHeight);
  const int count = static_cast<int>(setUp.buttons.size());
  const int rowWidth = count * kButtonWidth + (count - 1) * kButtonGap;
  const int clientWidth = std::max(textWidth, rowWidth) + 2 * kMargin;
  const int clientHeight = kMargin + textHeight + kMargin + kButtonHeight + kMargin;

  MoveWindow(GetDlgItem(box, kTextId), kMargin, kMargin, clientWidth - 2 * kMargin, textHeight, FALSE);
  const int rowLeft = (clientWidth - rowWidth) / 2;
  for (int i = 0; i < count; ++i) {
    MoveWindow(GetDlgItem(box, setUp.buttons[i].id), rowLeft + i * (kButtonWidth + kButtonGap),
               kMargin + textHeight + kMargin, kButtonWidth, kButtonHeight, FALSE);
  }
  RECT outer{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&outer, kBoxStyle, FALSE, kBoxExStyle);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  HWND owner = GetParent(box);
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &area);
  const int x = area.left + (area.right - area.left - width) / 2;
  const int y = area.top + (area.bottom - area.top - height) / 2;
  MoveWindow(box, std::max(0, x), std::max(0, y), width, height, FALSE);
}

INT_PTR BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtr(box, GWLP_USERDATA, lParam);
      LayOut(box, *reinterpret_cast<const BoxSetUp*>(lParam));
      return TRUE;  // the focus goes to the first button
    }
    case WM_COMMAND: {
      const auto* setUp = reinterpret_cast<const BoxSetUp*>(GetWindowLongPtr(box, GWLP_USERDATA));
      if (!setUp || HIWORD(wParam) != BN_CLICKED) return FALSE;
      const int id = LOWORD(wParam);
      const bool isButton = std::any_of(setUp->buttons.begin(), setUp->buttons.end(),
                                        [id](const MessageBoxButton& button) { return button.id == id; });
      if (isButton) {
        EndDialog(box, id);
      } else if (id == IDCANCEL) {
        EndDialog(box, setUp->closeAnswer);  // Escape or the close box
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

std::optional<int> ShowPaintedMessageBox(HWND owner, const std::string& text, const std::string& caption,
                                         const std::vector<MessageBoxButton>& buttons, int closeAnswer) {
  if (buttons.empty()) return std::nullopt;
  // Sizes in the template are placeholders: the box lays itself out in pixels when it starts.
  DialogTemplateWriter writer(kBoxStyle, kBoxExStyle, 0, 0, 200, 80, caption, 8, "MS Sans Serif");
  writer.AddItem(WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0, 10, 10, kTextId, "STATIC", text);
  bool first = true;
  for (const MessageBoxButton& button : buttons) {
    const DWORD kind = first ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    writer.AddItem(WS_CHILD | WS_VISIBLE | WS_TABSTOP | kind, 0, 0, 0, 10, 10, static_cast<WORD>(button.id), "BUTTON",
                   button.label);
    first = false;
  }
  // In a global block, so that the template is read no further than its own bytes.
  const std::vector<BYTE>& bytes = writer.Bytes();
  HGLOBAL block = GlobalAlloc(GHND, bytes.size());
  if (!block) return std::nullopt;
  auto* copy = static_cast<BYTE*>(GlobalLock(block));
  std::copy(bytes.begin(), bytes.end(), copy);
  BoxSetUp setUp{&text, buttons, closeAnswer};
  if (owner && !IsWindow(owner)) owner = nullptr;
  const INT_PTR answer = DialogBoxIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(copy), owner, &BoxProc,
                                                reinterpret_cast<LPARAM>(&setUp));
  GlobalUnlock(block);
  GlobalFree(block);
  if (answer < 0) return std::nullopt;
  return static_cast<int>(answer);
}

}  // namespace plat
