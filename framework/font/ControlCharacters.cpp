#include "framework/font/ControlCharacters.h"

namespace Kit {

std::string TextAsDrawn(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const char laidOut = CharacterAsLaidOut(c);
    if (!IsControlCharacter(laidOut)) shown += laidOut;
  }
  return shown;
}

}  // namespace Kit
