#include "platform/audio/WavFormat.h"

#include <algorithm>

namespace plat::audio {

std::optional<PcmFormat> ParseWavFormat(const std::uint8_t* fmt) {
  if (ReadLE16(fmt) != 1) return std::nullopt;  // PCM only
  PcmFormat format;
  format.channels = ReadLE16(fmt + 2);
  format.rate = static_cast<int>(std::min<std::uint32_t>(ReadLE32(fmt + 4), 1u << 30));
  format.bits = ReadLE16(fmt + 14);
  if (!format.IsValid()) return std::nullopt;
  return format;
}

}  // namespace plat::audio
