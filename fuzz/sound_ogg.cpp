// The sound manager's OGG Vorbis reader (through Tremor) on arbitrary bytes.
#include "fuzz/SoundReaderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzzsupport::FuzzSoundReader(data, size, ".ogg", &Kit::DSoundManager::LoadOGGSound);
}
