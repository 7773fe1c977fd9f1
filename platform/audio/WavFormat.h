// The pieces of a RIFF WAVE file both WAV decoders read: little-endian numbers and the "fmt " chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/audio/PcmFormat.h"

namespace plat::audio {

// The part of a "fmt " chunk body the decoders need.
constexpr std::size_t kWavFormatBytes = 16;

[[nodiscard]] inline std::uint16_t ReadLE16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
[[nodiscard]] inline std::uint32_t ReadLE32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The format of a "fmt " chunk's first kWavFormatBytes bytes; nothing unless it is integer PCM the
// mixer plays.
[[nodiscard]] std::optional<PcmFormat> ParseWavFormat(const std::uint8_t* fmt);

}  // namespace plat::audio
