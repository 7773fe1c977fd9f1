// The sound manager's Sun AU reader (mu-law and 8-bit linear) on arbitrary bytes.
#include "fuzz/SoundReaderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzzsupport::FuzzSoundReader(data, size, ".au", &Kit::DSoundManager::LoadAUSound);
}
