// The text parsers of the string and path helpers on arbitrary bytes: numbers, XML entities,
// case-insensitive search and path resolution.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/util/PathUtil.h"
#include "framework/util/StringUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  int number = 0;
  Kit::StringToInt(text, number);
  double real = 0;
  Kit::StringToDouble(text, real);
  Kit::XMLDecodeString(text);
  Kit::Trim(text);

  std::size_t split = text.find('\0');
  std::string first = text.substr(0, split);
  std::string second = split == std::string::npos ? std::string() : text.substr(split + 1);
  std::string secondTerminated = second.substr(0, second.find('\0'));
  Kit::StrFindNoCase(first.c_str(), secondTerminated.c_str());
  Kit::GetPathFrom(first, second);
  Kit::GetFileName(text, true);
  Kit::GetFileDir(text, true);
  return 0;
}
