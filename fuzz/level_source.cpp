// Feeds arbitrary bytes to the data generator's level compiler (as a level source text) and to its
// level and template readers; whatever they read must read the same again once written. The records are
// compared as written bytes: the files carry any float bit for bit, NaN included, and NaN equals nothing.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "game/data/Levels.h"
#include "game/data/ObjectRecords.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  try {
    for (const gamedata::CompiledLevel& level : gamedata::CompileLevelSource(bytes, "fuzz"))
      if (!gamedata::CheckLevel(level.contents).empty()) __builtin_trap();
  } catch (const std::runtime_error&) {
  }
  if (auto level = gamedata::DecodeLevel(bytes)) {
    const std::string written = gamedata::EncodeLevel(*level);
    const auto again = gamedata::DecodeLevel(written);
    if (!again || gamedata::EncodeLevel(*again) != written) __builtin_trap();
  }
  if (auto templates = gamedata::DecodeTemplates(bytes)) {
    const std::string written = gamedata::EncodeTemplates(*templates);
    const auto again = gamedata::DecodeTemplates(written);
    if (!again || gamedata::EncodeTemplates(*again) != written) __builtin_trap();
  }
  return 0;
}
