// Enabling windows, and what the input and the dialog manager ask of child windows: a child's id and
// the child under a point.
#include "platform/win/window/PaintedWindows.h"
#include "platform/win/window/Window.h"
#include "platform/win/window/WindowTable.h"

BOOL EnableWindow(HWND window, BOOL enable) {
  bool wasDisabled = false;
  bool changed = false;
  if (!plat::WindowTable::Instance().Update(window, [&](plat::WindowRecord& record) {
        wasDisabled = (record.style & WS_DISABLED) != 0;
        changed = wasDisabled == (enable != FALSE);
        record.style = enable ? (record.style & ~WS_DISABLED) : (record.style | WS_DISABLED);
      }))
    return FALSE;
  if (changed) {
    if (!enable && GetFocus() == window) SetFocus(nullptr);
    SendMessage(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    plat::RepaintLater(window);
  }
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
  auto record = plat::WindowTable::Instance().Find(window);
  return record && !(record->style & WS_DISABLED) ? TRUE : FALSE;
}

int GetDlgCtrlID(HWND window) {
  auto record = plat::WindowTable::Instance().Find(window);
  return record && (record->style & WS_CHILD) ? static_cast<int>(record->id) : 0;
}

HWND ChildWindowFromPoint(HWND parent, POINT point) {
  RECT client;
  if (!GetClientRect(parent, &client) || !PtInRect(&client, point)) return nullptr;
  auto children = plat::WindowTable::Instance().ChildrenOf(parent);
  // The last made lies on top.
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    if (it->visible && PtInRect(&it->windowRect, point)) return it->handle;
  }
  return parent;
}
