// The HTTP response reader on arbitrary bytes, fed in pieces whose sizes the input chooses: the first
// byte is the piece size.
#include <cstddef>
#include <cstdint>

#include "framework/app/crash/HttpResponseParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = data[0] % 32 + 1;
  Kit::HttpResponseParser parser;
  for (std::size_t at = 1; at < size && !parser.Ended(); at += piece) {
    const std::size_t length = at + piece <= size ? piece : size - at;
    parser.Receive(reinterpret_cast<const char*>(data) + at, length);
  }
  return 0;
}
