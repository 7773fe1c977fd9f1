// Dialog boxes from dialog templates in memory: the modal dialog, its dialog procedure and the
// dialog manager's keys (Tab between controls, Enter for the default button, Escape for Cancel).
#pragma once

#include "platform/ui/controls/Controls.h"
#include "platform/ui/dialogs/MessageBox.h"

using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// The header of a dialog template; the menu, class, title and (with DS_SETFONT) font follow it as
// 16-bit words, then the items, each on a 4-byte boundary.
#pragma pack(push, 2)
struct DLGTEMPLATE {
  DWORD style;
  DWORD dwExtendedStyle;
  WORD cdit;
  short x;
  short y;
  short cx;
  short cy;
};
// An item's header; its class, text and creation data follow it as 16-bit words.
struct DLGITEMTEMPLATE {
  DWORD style;
  DWORD dwExtendedStyle;
  short x;
  short y;
  short cx;
  short cy;
  WORD id;
};
#pragma pack(pop)
using LPCDLGTEMPLATE = const DLGTEMPLATE*;
using LPCDLGTEMPLATEA = LPCDLGTEMPLATE;

constexpr DWORD DS_SETFONT = 0x40;
constexpr DWORD DS_MODALFRAME = 0x80;
constexpr DWORD DS_CENTER = 0x0800;

// Creates the dialog (its position is in dialog units from the owner's client area), sends
// WM_INITDIALOG with param, and runs its modal loop until EndDialog; the owner is disabled meanwhile.
// Returns EndDialog's result, or -1 when the template cannot be read, names a window class other than
// the dialog class "#32770" (no other class in the layer hands messages to a dialog procedure), or
// the dialog cannot be made.
INT_PTR DialogBoxIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE dialogTemplate, HWND owner, DLGPROC dialogProc,
                               LPARAM param);
INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATE dialogTemplate, HWND owner, DLGPROC dialogProc,
                                LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);
HWND GetDlgItem(HWND dialog, int id);
BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
UINT GetDlgItemText(HWND dialog, int id, LPSTR buffer, int size);
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);
LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
// Handles the dialog manager's keys for a message of the dialog's thread; TRUE when it did.
BOOL IsDialogMessage(HWND dialog, LPMSG msg);
BOOL IsDialogMessageA(HWND dialog, LPMSG msg);
