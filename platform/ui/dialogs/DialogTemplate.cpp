#include "platform/ui/dialogs/DialogTemplate.h"

#include "platform/win/system/CodePage.h"

namespace plat {
namespace {

constexpr DWORD kSetFont = 0x40;  // DS_SETFONT

// Reads little-endian words from the template, never past its end.
class Reader {
 public:
  Reader(const BYTE* data, std::size_t size) : mData(data), mSize(size) {}

  bool Word(WORD* value) {
    if (mPos > mSize || mSize - mPos < 2) return false;
    *value = static_cast<WORD>(mData[mPos] | (mData[mPos + 1] << 8));
    mPos += 2;
    return true;
  }
  bool Dword(DWORD* value) {
    WORD low, high;
    if (!Word(&low) || !Word(&high)) return false;
    *value = low | (static_cast<DWORD>(high) << 16);
    return true;
  }
  bool Short(short* value) {
    WORD word;
    if (!Word(&word)) return false;
    *value = static_cast<short>(word);
    return true;
  }
  // A zero-terminated UTF-16 string, in the code page.
  bool String(std::string* text) {
    text->clear();
    for (;;) {
      WORD unit;
      if (!Word(&unit)) return false;
      if (unit == 0) return true;
      const int c = UnicodeToCp1252(unit);
      text->push_back(c < 0 ? '?' : static_cast<char>(c));
    }
  }
  // A string or an ordinal (0xFFFF and a word); an absent one is a lone 0.
  bool StringOrOrdinal(std::string* text, std::optional<WORD>* ordinal) {
    WORD first;
    if (!Word(&first)) return false;
    ordinal->reset();
    text->clear();
    if (first == 0) return true;
    if (first == 0xFFFF) {
      WORD value;
      if (!Word(&value)) return false;
      *ordinal = value;
      return true;
    }
    mPos -= 2;
    return String(text);
  }
  bool Skip(std::size_t count) {
    if (count > mSize - mPos) return false;
    mPos += count;
    return true;
  }
  bool AlignToDword() { return Skip((4 - mPos % 4) % 4); }

 private:
  const BYTE* mData;
  std::size_t mSize;
  std::size_t mPos = 0;
};

std::string ClassOfAtom(WORD atom) {
  switch (atom) {
    case 0x0080:
      return "BUTTON";
    case 0x0081:
      return "EDIT";
    case 0x0082:
      return "STATIC";
    case 0x0083:
      return "LISTBOX";
    case 0x0084:
      return "SCROLLBAR";
    case 0x0085:
      return "COMBOBOX";
    default:
      return "#" + std::to_string(atom);
  }
}

bool ReadItem(Reader& reader, DialogItem* item) {
  if (!reader.AlignToDword() || !reader.Dword(&item->style) || !reader.Dword(&item->exStyle) ||
      !reader.Short(&item->x) || !reader.Short(&item->y) || !reader.Short(&item->cx) || !reader.Short(&item->cy) ||
      !reader.Word(&item->id))
    return false;
  std::optional<WORD> atom, ordinal;
  if (!reader.StringOrOrdinal(&item->className, &atom)) return false;
  if (atom) item->className = ClassOfAtom(*atom);
  if (item->className.empty()) return false;
  if (!reader.StringOrOrdinal(&item->text, &ordinal)) return false;
  // The creation data: its size in bytes, counting the size word itself.
  WORD extra;
  if (!reader.Word(&extra)) return false;
  if (extra == 1) return false;
  return extra == 0 || reader.Skip(extra - 2u);
}

}  // namespace

std::optional<DialogTemplateData> ParseDialogTemplate(const BYTE* data, std::size_t size) {
  if (!data) return std::nullopt;
  Reader reader(data, size);
  DialogTemplateData dialog;
  WORD count;
  if (!reader.Dword(&dialog.style) || !reader.Dword(&dialog.exStyle) || !reader.Word(&count) ||
      !reader.Short(&dialog.x) || !reader.Short(&dialog.y) || !reader.Short(&dialog.cx) || !reader.Short(&dialog.cy))
    return std::nullopt;
  if ((dialog.style & 0xFFFF0000u) == 0xFFFF0000u) return std::nullopt;  // the extended form's signature
  std::string menuName;
  std::optional<WORD> menu, classAtom;
  if (!reader.StringOrOrdinal(&menuName, &menu) || !reader.StringOrOrdinal(&dialog.className, &classAtom) ||
      !reader.String(&dialog.title))
    return std::nullopt;
  dialog.hasMenu = menu.has_value() || !menuName.empty();
  if (classAtom) dialog.className = ClassOfAtom(*classAtom);
  if (dialog.style & kSetFont) {
    dialog.hasFont = true;
    if (!reader.Word(&dialog.pointSize) || !reader.String(&dialog.faceName)) return std::nullopt;
  }
  for (WORD index = 0; index < count; ++index) {
    DialogItem item;
    if (!ReadItem(reader, &item)) return std::nullopt;
    dialog.items.push_back(std::move(item));
  }
  return dialog;
}

}  // namespace plat
