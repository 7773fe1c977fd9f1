// The nine mouse messages the application queues, records and hands to the widgets (the wheel
// apart), each with what the widgets see of it. The window procedure, the input queue, the demo
// recording and the widget manager's held buttons all read this one table.
#pragma once

#include <cstdint>

#include "platform/win/window/Messages.h"

namespace Kit {

struct MouseMessage {
  UINT mMessage;
  // The widgets' click code: 1 left, 2 left double, -1 right, -2 right double, 3 middle; 0 a move.
  int mClickCode;
  bool mPress;  // a press (single or double); otherwise a release or a move
  // The widget manager's held-button bit of the button pressed or released; 0 for a move.
  std::uint32_t mButton;
};

inline constexpr MouseMessage kMouseMessages[] = {
    {WM_MOUSEMOVE, 0, false, 0},     {WM_LBUTTONDOWN, 1, true, 1},  {WM_LBUTTONUP, 1, false, 1},
    {WM_LBUTTONDBLCLK, 2, true, 1},  {WM_RBUTTONDOWN, -1, true, 2}, {WM_RBUTTONUP, -1, false, 2},
    {WM_RBUTTONDBLCLK, -2, true, 2}, {WM_MBUTTONDOWN, 3, true, 4},  {WM_MBUTTONUP, 3, false, 4},
};

// The entry of a mouse message; null for every other message.
inline const MouseMessage* FindMouseMessage(UINT message) {
  for (const MouseMessage& entry : kMouseMessages)
    if (entry.mMessage == message) return &entry;
  return nullptr;
}

}  // namespace Kit
