// Writes dialog templates in memory as DialogBoxIndirectParam reads them: the header with DS_SETFONT,
// the title and font, then each item on a 4-byte boundary with its class (the atom of a standard
// control, or the name) and text, in UTF-16 converted from the code page.
#pragma once

#include <string_view>
#include <vector>

#include "platform/win/Types.h"

namespace plat {

class DialogTemplateWriter {
 public:
  DialogTemplateWriter(DWORD style, DWORD exStyle, short x, short y, short cx, short cy, std::string_view title,
                       WORD pointSize, std::string_view faceName);

  void AddItem(DWORD style, DWORD exStyle, short x, short y, short cx, short cy, WORD id, std::string_view className,
               std::string_view text);
  // The template so far; its item count is that of the items added.
  const std::vector<BYTE>& Bytes() const { return mBytes; }

 private:
  void Word(WORD value);
  void Dword(DWORD value);
  void String(std::string_view text);
  void Align();

  std::vector<BYTE> mBytes;
};

}  // namespace plat
