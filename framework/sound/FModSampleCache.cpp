#include "framework/sound/FModSampleCache.h"

#include <climits>
#include <cstdint>

#include "framework/sound/FModLibrary.h"
#include "framework/util/PathUtil.h"
#include "platform/audio/WavHeader.h"
#include "platform/win/files/FileReplace.h"
#include "platform/win/files/PathMap.h"

namespace Kit {

namespace {

void WriteCache(FMOD_INSTANCE& fmod, FSOUND_SAMPLE* sample, const std::string& cacheName) {
  int frequency = 0;
  fmod.FSOUND_Sample_GetDefaults(sample, &frequency, nullptr, nullptr, nullptr);
  unsigned int mode = fmod.FSOUND_Sample_GetMode(sample);
  const plat::audio::PcmFormat shape{(mode & FSOUND_MONO) ? 1 : 2, frequency, (mode & FSOUND_8BITS) ? 8 : 16};
  std::uint64_t dataSize = static_cast<std::uint64_t>(fmod.FSOUND_Sample_GetLength(sample)) * shape.FrameBytes();
  if (dataSize == 0 || dataSize > INT_MAX || frequency <= 0) return;
  void* part1 = nullptr;
  void* part2 = nullptr;
  unsigned int length1 = 0;
  unsigned int length2 = 0;
  if (!fmod.FSOUND_Sample_Lock(sample, 0, static_cast<int>(dataSize), &part1, &part2, &length1, &length2)) return;
  std::string file = plat::audio::WavHeader(shape, length1);
  file.append(static_cast<const char*>(part1), length1);
  fmod.FSOUND_Sample_Unlock(sample, part1, part2, length1, length2);
  // Written whole or not at all (a cut-off cache would be taken for the sound on every later run); one
  // that could not be written is made again at the next load.
  static_cast<void>(plat::ReplaceFileContents(plat::MapPath(cacheName), file));
}

}  // namespace

std::string FModSampleCacheName(const std::string& name) {
  return GetFileDir(name, true) + "cached_" + GetFileName(name) + ".wav";
}

FSOUND_SAMPLE* LoadFModSample(const std::string& name) {
  FMOD_INSTANCE& fmod = *gFModInstance;
  std::string cacheName = FModSampleCacheName(name);
  if (FSOUND_SAMPLE* cached = fmod.FSOUND_Sample_Load(FSOUND_FREE, cacheName.c_str(), 0, 0)) return cached;
  std::string oggName = name + ".ogg";
  FSOUND_SAMPLE* sample = fmod.FSOUND_Sample_Load(FSOUND_FREE, oggName.c_str(), 0, 0);
  if (!sample) return nullptr;
  WriteCache(fmod, sample, cacheName);
  return sample;
}

}  // namespace Kit
