// The layer's own message box: a modal dialog that the layer paints itself, as it paints the crash
// windows, for a desktop where SDL's message box cannot be shown (no zenity, no X core fonts). Internal
// to the layer.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/win/Types.h"

namespace plat {

struct MessageBoxButton {
  int id;
  const char* label;
};

// Shows the text under the caption with the buttons in a row, the first the default (Enter), and
// waits for an answer: the id of the button pressed, or `closeAnswer` when the box is closed or
// Escape is pressed. Nullopt when the box cannot be made.
[[nodiscard]] std::optional<int> ShowPaintedMessageBox(HWND owner, const std::string& text, const std::string& caption,
                                                       const std::vector<MessageBoxButton>& buttons, int closeAnswer);

}  // namespace plat
