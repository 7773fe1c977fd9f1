// Mouse cursors and the pointer position. The layer keeps its own model of both (readable from any
// thread, such as the cursor thread) and mirrors it onto SDL on the main thread.
#pragma once

#include "platform/win/Types.h"

#define MAKEINTRESOURCE(i) (reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(p) ((reinterpret_cast<ULONG_PTR>(p) >> 16) == 0)
#define IDC_ARROW MAKEINTRESOURCE(32512)
#define IDC_IBEAM MAKEINTRESOURCE(32513)
#define IDC_WAIT MAKEINTRESOURCE(32514)
#define IDC_CROSS MAKEINTRESOURCE(32515)
#define IDC_UPARROW MAKEINTRESOURCE(32516)
#define IDC_SIZENWSE MAKEINTRESOURCE(32642)
#define IDC_SIZENESW MAKEINTRESOURCE(32643)
#define IDC_SIZEWE MAKEINTRESOURCE(32644)
#define IDC_SIZENS MAKEINTRESOURCE(32645)
#define IDC_SIZEALL MAKEINTRESOURCE(32646)
#define IDC_NO MAKEINTRESOURCE(32648)
#define IDC_HAND MAKEINTRESOURCE(32649)
#define IDI_APPLICATION MAKEINTRESOURCE(32512)
#define IDI_HAND MAKEINTRESOURCE(32513)
#define IDI_ERROR IDI_HAND
#define IDI_QUESTION MAKEINTRESOURCE(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCE(32515)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ASTERISK MAKEINTRESOURCE(32516)
#define IDI_INFORMATION IDI_ASTERISK

// System cursors by their IDC_ id (the instance must be null); null for anything else.
HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// The system's IDI_ icons (instance null), and the program's icon resources by name (its instance):
// the pictures named by plat::AddIconResource (platform/win/window/IconResources.h); null for anything else.
HICON LoadIcon(HINSTANCE instance, LPCSTR name);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
// A monochrome cursor from an AND and an XOR mask, one bit per pixel, rows padded to 16 bits.
HCURSOR CreateCursor(HINSTANCE instance, int hotX, int hotY, int width, int height, const void* andMask,
                     const void* xorMask);
BOOL DestroyCursor(HCURSOR cursor);
// Null hides the pointer over the window. Returns the previous cursor.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
BOOL GetCursorPos(LPPOINT point);
BOOL SetCursorPos(int x, int y);

namespace plat {

[[nodiscard]] int SystemCursorId(HCURSOR cursor);  // the IDC_ number, or 0 for mask cursors and null
[[nodiscard]] bool IsMaskCursor(HCURSOR cursor);
// The input translation moves the model with the real pointer (screen coordinates).
void SetPointerPositionFromInput(POINT screen);

}  // namespace plat
