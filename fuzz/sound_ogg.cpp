// The sound manager's OGG Vorbis reader (through Tremor) on arbitrary bytes.
#include "fuzz/SoundReaderFuzz.h"

// Debian's Tremor keeps 4 bytes of some malformed headers that a failed ov_open never frees (a plain C
// program doing open-fail-clear shows it too); that leak is the library's, not the reader's.
extern "C" const char* __lsan_default_suppressions() { return "leak:libvorbisidec.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzzsupport::FuzzSoundReader(data, size, ".ogg", &Kit::DSoundManager::LoadOGGSound);
}
