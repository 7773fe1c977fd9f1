// The reader of dialog templates in memory: the dialog's header, menu, class, title and font, and
// its items with their classes (an atom of the standard controls or a name), texts and creation data.
// Texts are UTF-16 in the template and come out in the code page. Internal to the layer.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/Types.h"

namespace plat {

struct DialogItem {
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  WORD id = 0;
  std::string className;  // "BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX" or the name
  std::string text;       // empty for a resource ordinal
};

struct DialogTemplateData {
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  bool hasMenu = false;
  std::string className;  // empty: the layer's dialog class
  std::string title;
  bool hasFont = false;
  WORD pointSize = 0;
  std::string faceName;
  std::vector<DialogItem> items;
};

// Reads the template in the first size bytes; nullopt when it runs past them, when a string has no
// terminator within them, when an item's creation data lies about its size, or for the extended
// template form, which the layer does not read.
[[nodiscard]] std::optional<DialogTemplateData> ParseDialogTemplate(const BYTE* data, std::size_t size);

}  // namespace plat
