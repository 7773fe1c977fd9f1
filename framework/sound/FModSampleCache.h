// OGG music for the FMOD player, decoded whole and kept as a plain WAV beside the original so that
// later runs skip the decoding. The cache is used whenever it exists; it is never checked for
// staleness.
#pragma once

#include <string>

#include "platform/fmod/FMod.h"

namespace Kit {

// The cache file of a sound name given without extension: its folder, then "cached_", its file name
// and ".wav" ("music/start" gives "music/cached_start.wav", "start" gives "cached_start.wav").
std::string FModSampleCacheName(const std::string& name);

// The cache file when there is one, else name + ".ogg" (writing the cache); null when neither loads.
// Needs the shared "fmod.dll" wrapper.
FSOUND_SAMPLE* LoadFModSample(const std::string& name);

}  // namespace Kit
