// The crash report's reading of a linker map file on arbitrary bytes: the input up to its first NUL is
// the map's text, the rest a report whose logical addresses the map names. Without a map the report
// must stay as it is.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/app/crash/CrashHandler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  const std::string map = input.substr(0, split);
  const std::string report = split == std::string::npos ? map : input.substr(split + 1);
  std::string annotated = report;
  Kit::CrashHandler::AnnotateFromMap(annotated, map);
  std::string unnamed = report;
  Kit::CrashHandler::AnnotateFromMap(unnamed, std::string());
  if (unnamed != report) __builtin_trap();
  return 0;
}
