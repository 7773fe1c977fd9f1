// Reads every element of arbitrary input, comments included, until the end or the first error.
#include <cstdint>

#include "framework/resource/XMLParser.h"
#include "fuzz/FuzzInputFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzzsupport::WriteInputFile(data, size, ".xml");
  Kit::XMLParser parser;
  parser.SetAllowComments(size > 0 && (data[0] & 1));
  if (!parser.OpenFile(path)) return 0;
  Kit::XMLElement element;
  while (parser.NextElement(&element)) {
  }
  return 0;
}
