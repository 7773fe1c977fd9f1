// The module songs of the layer's "fmod.dll" (the FMUSIC calls), kept apart from its samples and channels.
#pragma once

namespace plat::fmod {

// Frees every loaded song, as closing the library does; their handles die with them.
void FreeAllSongs();

}  // namespace plat::fmod
