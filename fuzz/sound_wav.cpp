// The sound manager's WAV reader (sound files and cache files, with their "dep " stamps) on arbitrary bytes.
#include "fuzz/SoundReaderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzzsupport::FuzzSoundReader(data, size, ".wav", &Kit::DSoundManager::LoadWAVSound);
}
