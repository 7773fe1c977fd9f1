#include "framework/resource/XMLEntityDecoder.h"

namespace Kit {
namespace {

char EntityChar(std::string_view name) {
  if (name == "lt") return '<';
  if (name == "amp") return '&';
  if (name == "gt") return '>';
  if (name == "quot") return '"';
  if (name == "apos") return '\'';
  if (name == "nbsp") return ' ';
  if (name == "cr") return '\n';
  return '&';
}

}  // namespace

std::string DecodeXMLEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    size_t amp = text.find('&', pos);
    if (amp == std::string_view::npos) break;
    size_t semi = text.find(';', amp + 1);
    if (semi == std::string_view::npos) break;
    out.append(text.substr(pos, amp - pos));
    out += EntityChar(text.substr(amp + 1, semi - amp - 1));
    pos = semi + 1;
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace Kit
