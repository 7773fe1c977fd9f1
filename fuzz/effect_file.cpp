// Feeds arbitrary bytes to the brick-effect table reader and looks up every record it made.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzInputFile.h"
#include "game/play/EffectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EffectTable table;
  LoadEffectFile(fuzzsupport::WriteInputFile(data, size, ".txt"), table);
  for (const BrickEffectRecord& record : table.Records()) {
    for (const char* key : {"hitname", "deadname", "explodename", "fireballname"}) {
      const std::string effect = table.Lookup(record.mBrickName, key);
      if (TextBefore(effect, ":").size() + TextAfter(effect, ":").size() > effect.size()) __builtin_trap();
    }
  }
  return 0;
}
