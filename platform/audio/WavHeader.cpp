#include "platform/audio/WavHeader.h"

#include "platform/audio/WavFormat.h"

namespace plat::audio {
namespace {

constexpr std::uint32_t kPcmFormatTag = 1;

void PutLE(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

}  // namespace

std::string WavHeader(const PcmFormat& format, std::uint32_t dataBytes, std::string_view otherChunks) {
  const auto frameBytes = static_cast<std::uint32_t>(format.FrameBytes());
  const auto rate = static_cast<std::uint32_t>(format.rate);
  std::string header = "RIFF";
  // "WAVE", the "fmt " chunk, the others, and the "data" chunk.
  PutLE(header, static_cast<std::uint32_t>(4 + 8 + kWavFormatBytes + otherChunks.size() + 8) + dataBytes, 4);
  header += "WAVEfmt ";
  PutLE(header, kWavFormatBytes, 4);
  PutLE(header, kPcmFormatTag, 2);
  PutLE(header, static_cast<std::uint32_t>(format.channels), 2);
  PutLE(header, rate, 4);
  PutLE(header, rate * frameBytes, 4);
  PutLE(header, frameBytes, 2);
  PutLE(header, static_cast<std::uint32_t>(format.bits), 2);
  header += otherChunks;
  header += "data";
  PutLE(header, dataBytes, 4);
  return header;
}

}  // namespace plat::audio
