// The header every WAV file the program writes starts with (the sound caches, the game's generated
// sounds): "RIFF" and its size, "WAVE", the 16-byte "fmt " chunk of integer PCM, any chunks the writer
// adds, and the "data" chunk's tag and size; the sample bytes follow it. Little-endian throughout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/audio/PcmFormat.h"

namespace plat::audio {

// otherChunks: whole chunks (tag, size, body) that go between "fmt " and "data", counted in the RIFF size.
std::string WavHeader(const PcmFormat& format, std::uint32_t dataBytes, std::string_view otherChunks = {});

}  // namespace plat::audio
