#include "platform/ui/dialogs/DialogTemplateWriter.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/win/system/CodePage.h"

namespace plat {
namespace {

constexpr DWORD kSetFont = 0x40;  // DS_SETFONT
constexpr std::size_t kCountOffset = 8;

WORD AtomOf(std::string_view className) {
  std::string name(className);
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
  if (name == "BUTTON") return 0x0080;
  if (name == "EDIT") return 0x0081;
  if (name == "STATIC") return 0x0082;
  if (name == "LISTBOX") return 0x0083;
  if (name == "SCROLLBAR") return 0x0084;
  if (name == "COMBOBOX") return 0x0085;
  return 0;
}

}  // namespace

DialogTemplateWriter::DialogTemplateWriter(DWORD style, DWORD exStyle, short x, short y, short cx, short cy,
                                           std::string_view title, WORD pointSize, std::string_view faceName) {
  Dword(style | kSetFont);
  Dword(exStyle);
  Word(0);  // the item count, raised by AddItem
  for (short value : {x, y, cx, cy}) Word(static_cast<WORD>(value));
  Word(0);  // no menu
  Word(0);  // the dialog class
  String(title);
  Word(pointSize);
  String(faceName);
}

void DialogTemplateWriter::AddItem(DWORD style, DWORD exStyle, short x, short y, short cx, short cy, WORD id,
                                   std::string_view className, std::string_view text) {
  Align();
  Dword(style);
  Dword(exStyle);
  for (short value : {x, y, cx, cy}) Word(static_cast<WORD>(value));
  Word(id);
  if (WORD atom = AtomOf(className)) {
    Word(0xFFFF);
    Word(atom);
  } else {
    String(className);
  }
  String(text);
  Word(0);  // no creation data
  const WORD count = static_cast<WORD>(mBytes[kCountOffset] | (mBytes[kCountOffset + 1] << 8)) + 1;
  mBytes[kCountOffset] = static_cast<BYTE>(count & 0xFF);
  mBytes[kCountOffset + 1] = static_cast<BYTE>(count >> 8);
}

void DialogTemplateWriter::Word(WORD value) {
  mBytes.push_back(static_cast<BYTE>(value & 0xFF));
  mBytes.push_back(static_cast<BYTE>(value >> 8));
}

void DialogTemplateWriter::Dword(DWORD value) {
  Word(static_cast<WORD>(value & 0xFFFF));
  Word(static_cast<WORD>(value >> 16));
}

void DialogTemplateWriter::String(std::string_view text) {
  for (char c : text) Word(static_cast<WORD>(Cp1252ToUnicode(static_cast<unsigned char>(c))));
  Word(0);
}

void DialogTemplateWriter::Align() {
  while (mBytes.size() % 4) mBytes.push_back(0);
}

}  // namespace plat
