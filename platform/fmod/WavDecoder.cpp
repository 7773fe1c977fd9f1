#include <algorithm>
#include <cstring>

#include "platform/audio/WavFormat.h"
#include "platform/fmod/SoundFileDecoder.h"

namespace plat::fmod {

std::shared_ptr<audio::SampleBuffer> DecodeWav(const std::uint8_t* data, std::size_t size) {
  if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) return nullptr;
  bool haveFormat = false;
  audio::PcmFormat format;
  std::size_t at = 12;
  // Chunks are padded to even sizes in a standard WAV; the framework's cache files are not, so the
  // byte after an odd chunk is skipped only when it is a zero pad byte.
  while (size - at >= 8) {
    const std::uint8_t* chunk = data + at;
    std::size_t chunkSize = audio::ReadLE32(chunk + 4);
    std::size_t body = at + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (chunkSize < audio::kWavFormatBytes || size - body < audio::kWavFormatBytes) return nullptr;
      auto parsed = audio::ParseWavFormat(data + body);
      if (!parsed) return nullptr;
      format = *parsed;
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) return nullptr;
      std::size_t available = size - body;
      std::size_t bytes = std::min(chunkSize, available);
      bytes -= bytes % format.FrameBytes();
      if (bytes == 0 || bytes > kMaxDecodedBytes) return nullptr;
      auto samples = std::make_shared<audio::SampleBuffer>(format, bytes);
      std::memcpy(samples->Data(), data + body, bytes);
      return samples;
    }
    if (chunkSize > size - body) return nullptr;
    at = body + chunkSize;
    if ((chunkSize & 1) && at < size && data[at] == 0) ++at;
  }
  return nullptr;
}

}  // namespace plat::fmod
