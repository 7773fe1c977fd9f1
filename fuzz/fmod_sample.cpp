// fmod.dll's sample loader (WAV, OGG and MP3 by their first bytes) on arbitrary bytes, then one block
// of the loaded sample played in a loop.
#include <cstdint>
#include <vector>

#include "fuzz/FuzzInputFile.h"
#include "platform/audio/AudioOutput.h"
#include "platform/fmod/FMod.h"

// Debian's Tremor keeps 4 bytes of some malformed headers that a failed ov_open never frees (a plain C
// program doing open-fail-clear shows it too); that leak is the library's, not the reader's.
extern "C" const char* __lsan_default_suppressions() { return "leak:libvorbisidec.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool initialised = FSOUND_Init(44100, 8, 0) != 0;
  (void)initialised;
  std::string path = fuzzsupport::WriteInputFile(data, size, ".snd");
  if (FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), FSOUND_LOOP_NORMAL, 0)) {
    FSOUND_PlaySound(0, sample);
    std::vector<std::int16_t> out(2 * 512);
    plat::audio::SharedMixer().Mix(out.data(), 512);
    FSOUND_StopSound(0);
    FSOUND_Sample_Free(sample);
  }
  return 0;
}
